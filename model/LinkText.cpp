#include "model/LinkText.h"

#include "model/TextRules.h"

namespace {
wchar_t LowerAscii(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// True when text begins with prefix (lower-case ASCII), ignoring ASCII letter case.
bool StartsWithAsciiNoCase(const std::wstring& text, const wchar_t* prefix)
{
    size_t i = 0;
    for (; prefix[i] != L'\0'; ++i) {
        if (i >= text.size() || LowerAscii(text[i]) != prefix[i])
            return false;
    }
    return true;
}
}  // namespace

std::wstring SafeLinkTarget(const std::wstring& text)
{
    std::wstring link = TrimText(text);
    for (wchar_t c : link) {
        if (c < L' ')
            return {};
    }
    // A scheme alone opens nothing useful.
    static const wchar_t* const schemes[] = {L"http://", L"https://", L"ftp://", L"mailto:"};
    for (const wchar_t* scheme : schemes) {
        if (StartsWithAsciiNoCase(link, scheme))
            return link.size() > std::char_traits<wchar_t>::length(scheme) ? link : std::wstring();
    }
    if (StartsWithAsciiNoCase(link, L"www.") && link.size() > 4)
        return L"http://" + link;
    return {};
}
