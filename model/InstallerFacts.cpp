#include "model/InstallerFacts.h"

#include <cwctype>

const wchar_t* const TrustTrusted = L"Trusted";
const wchar_t* const TrustNotTrusted = L"Not trusted";
const wchar_t* const TrustUnsigned = L"Unsigned";

namespace {
// Version strings, product and signer names are short; anything longer came from a damaged file.
constexpr size_t MaxFactLength = 260;

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

int TwoDigits(const std::wstring& text, size_t at)
{
    return (text[at] - L'0') * 10 + (text[at + 1] - L'0');
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

std::wstring CleanFreeText(const std::wstring& text)
{
    std::wstring clean;
    for (wchar_t c : text) {
        if (static_cast<uint32_t>(c) >= 0x20 && c != 0x7F)
            clean += c;
    }
    if (clean.size() > MaxFactLength)
        clean.resize(MaxFactLength);
    return clean;
}
}  // namespace

const wchar_t* CheckResultText(InstallerCheckResult result)
{
    switch (result) {
    case InstallerCheckResult::Intact: return L"Intact";
    case InstallerCheckResult::Changed: return L"Changed";
    case InstallerCheckResult::Missing: return L"Missing";
    case InstallerCheckResult::Unreadable: return L"Unreadable";
    default: return L"";
    }
}

InstallerCheckResult ParseCheckResult(const std::wstring& text)
{
    for (InstallerCheckResult result : {InstallerCheckResult::Intact, InstallerCheckResult::Changed,
                                        InstallerCheckResult::Missing, InstallerCheckResult::Unreadable}) {
        if (text == CheckResultText(result))
            return result;
    }
    return InstallerCheckResult::None;
}

bool LastCheckFailed(const CExtraInfo& extra)
{
    const InstallerCheckResult result = ParseCheckResult(extra.InstallerCheck);
    return result != InstallerCheckResult::None && result != InstallerCheckResult::Intact;
}

std::wstring SizeText(uint64_t size)
{
    return std::to_wstring(size);
}

bool ParseSizeText(const std::wstring& text, uint64_t& size)
{
    if (text.empty() || text.size() > 20 || (text.size() > 1 && text[0] == L'0'))
        return false;
    uint64_t value = 0;
    for (wchar_t c : text) {
        if (!IsDigit(c))
            return false;
        const uint64_t digit = static_cast<uint64_t>(c - L'0');
        if (value > (UINT64_MAX - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    size = value;
    return true;
}

bool IsSha256Text(const std::wstring& text)
{
    if (text.size() != 64)
        return false;
    for (wchar_t c : text) {
        if (!IsDigit(c) && !(c >= L'a' && c <= L'f'))
            return false;
    }
    return true;
}

std::wstring HexText(const uint8_t* bytes, size_t count)
{
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring text;
    text.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
    return text;
}

bool IsTrustText(const std::wstring& text)
{
    return text == TrustTrusted || text == TrustNotTrusted || text == TrustUnsigned;
}

std::wstring TimestampText(int year, int month, int day, int hour, int minute, int second)
{
    wchar_t text[32] = {};
    swprintf(text, sizeof text / sizeof text[0], L"%04d-%02d-%02dT%02d:%02d:%02d", year, month, day, hour, minute,
             second);
    return text;
}

bool IsTimestampText(const std::wstring& text)
{
    // YYYY-MM-DDTHH:MM:SS
    static const wchar_t pattern[] = L"0000-00-00T00:00:00";
    if (text.size() != 19)
        return false;
    for (size_t i = 0; i < 19; ++i) {
        if (pattern[i] == L'0' ? !IsDigit(text[i]) : text[i] != pattern[i])
            return false;
    }
    const int year = TwoDigits(text, 0) * 100 + TwoDigits(text, 2);
    const int month = TwoDigits(text, 5);
    const int day = TwoDigits(text, 8);
    if (year < 1601 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    return TwoDigits(text, 11) < 24 && TwoDigits(text, 14) < 60 && TwoDigits(text, 17) < 60;
}

std::wstring GroupedSizeText(uint64_t size)
{
    const std::wstring digits = SizeText(size);
    std::wstring text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += L',';
        text += digits[i];
    }
    return text;
}

void DropInvalidInstallerFacts(CExtraInfo& extra)
{
    uint64_t size = 0;
    if (!ParseSizeText(extra.InstallerSize, size) || !IsSha256Text(extra.InstallerSha256)) {
        extra.InstallerSize.clear();
        extra.InstallerSha256.clear();
    }
    extra.InstallerVersion = CleanFreeText(extra.InstallerVersion);
    extra.InstallerProduct = CleanFreeText(extra.InstallerProduct);
    extra.InstallerSigner = CleanFreeText(extra.InstallerSigner);
    if (!IsTrustText(extra.InstallerTrust))
        extra.InstallerTrust.clear();
    if (!IsTimestampText(extra.InstallerAttached))
        extra.InstallerAttached.clear();
    // A check result means nothing without the time it was made.
    if (!IsTimestampText(extra.InstallerChecked) ||
        ParseCheckResult(extra.InstallerCheck) == InstallerCheckResult::None) {
        extra.InstallerChecked.clear();
        extra.InstallerCheck.clear();
    }
}

bool HasInstallerFacts(const CExtraInfo& extra)
{
    uint64_t size = 0;
    return ParseSizeText(extra.InstallerSize, size) && IsSha256Text(extra.InstallerSha256);
}

void RecordInstallerFacts(CExtraInfo& extra, const CInstallerFacts& facts, const std::wstring& attachedAt)
{
    extra.InstallerSize = SizeText(facts.Size);
    extra.InstallerSha256 = IsSha256Text(facts.Sha256) ? facts.Sha256 : std::wstring();
    if (extra.InstallerSha256.empty())
        extra.InstallerSize.clear();
    extra.InstallerVersion = CleanFreeText(facts.Version);
    extra.InstallerProduct = CleanFreeText(facts.Product);
    extra.InstallerSigner = CleanFreeText(facts.Signer);
    extra.InstallerTrust = IsTrustText(facts.Trust) ? facts.Trust : std::wstring();
    extra.InstallerAttached = IsTimestampText(attachedAt) ? attachedAt : std::wstring();
    extra.InstallerChecked.clear();
    extra.InstallerCheck.clear();
}

void ClearInstallerFacts(CExtraInfo& extra)
{
    for (std::wstring* field : {&extra.InstallerSize, &extra.InstallerSha256, &extra.InstallerVersion,
                                &extra.InstallerProduct, &extra.InstallerSigner, &extra.InstallerTrust,
                                &extra.InstallerAttached, &extra.InstallerChecked, &extra.InstallerCheck})
        field->clear();
}

void RecordInstallerCheck(CExtraInfo& extra, InstallerCheckResult result, const std::wstring& checkedAt)
{
    if (result == InstallerCheckResult::None || !IsTimestampText(checkedAt)) {
        extra.InstallerChecked.clear();
        extra.InstallerCheck.clear();
        return;
    }
    extra.InstallerChecked = checkedAt;
    extra.InstallerCheck = CheckResultText(result);
}

CInstallerChanges CompareInstallerFacts(const CExtraInfo& recorded, const CInstallerFacts& measured)
{
    CInstallerChanges changes;
    uint64_t size = 0;
    if (ParseSizeText(recorded.InstallerSize, size))
        changes.Size = size != measured.Size;
    if (IsSha256Text(recorded.InstallerSha256))
        changes.Content = recorded.InstallerSha256 != measured.Sha256;
    if (!measured.Trust.empty() && !recorded.InstallerTrust.empty())
        changes.Signer = recorded.InstallerSigner != measured.Signer || recorded.InstallerTrust != measured.Trust;
    return changes;
}

std::wstring SignerDescription(const std::wstring& signer, const std::wstring& trust)
{
    if (signer.empty() || trust == TrustUnsigned)
        return L"unsigned";
    return trust.empty() ? signer : signer + L" (" + trust + L")";
}

std::wstring ChangedInstallerQuestion(const std::wstring& nameAndVersion, const CInstallerChanges& changes,
                                      const CExtraInfo& recorded, const CInstallerFacts& measured)
{
    std::wstring text = nameAndVersion + L"'s installer has changed since it was attached:\n\n";
    if (changes.Size) {
        uint64_t size = 0;
        ParseSizeText(recorded.InstallerSize, size);
        text += L"Size: " + GroupedSizeText(measured.Size) + L" bytes now, " + GroupedSizeText(size) +
                L" bytes when attached.\n";
    }
    if (changes.Content)
        text += L"Content: its SHA-256 differs from the one recorded.\n";
    if (changes.Signer)
        text += L"Signer: " + SignerDescription(measured.Signer, measured.Trust) + L" now, " +
                SignerDescription(recorded.InstallerSigner, recorded.InstallerTrust) + L" when attached.\n";
    text += L"\nWould you like to continue ?";
    return text;
}
