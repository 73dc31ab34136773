#include "app/Links.h"

#include "framework/MessageBox.h"
#include "framework/Shell.h"
#include "model/LinkText.h"
#include "storage/Paths.h"

const wchar_t* const LinkFailureMessage = L"Failed to open the hyper-link, please try again.";

bool OpenLink(HWND owner, const std::wstring& text)
{
    std::wstring target = SafeLinkTarget(text);
    if (!target.empty() && ShellOpen(owner, target, TempFolder) > 32)
        return true;
    ShowError(owner, LinkFailureMessage);
    return false;
}
