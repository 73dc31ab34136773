#include "framework/DialogKeys.h"

#include <algorithm>
#include <vector>

#include "framework/App.h"

namespace {
// The tables in use on this thread, which is the user-interface thread.
std::vector<const CDialogKeys*>& ActiveKeys()
{
    static std::vector<const CDialogKeys*> keys;
    return keys;
}
}  // namespace

bool CDialogKeys::Attach(HWND dialog, UINT tableId)
{
    Detach();
    m_table = LoadAcceleratorsW(ResourceInstance(), MAKEINTRESOURCEW(tableId));
    if (!m_table || !dialog)
        return false;
    m_hook = SetWindowsHookExW(WH_MSGFILTER, FilterProc, nullptr, GetCurrentThreadId());
    if (!m_hook)
        return false;
    m_dialog = dialog;
    ActiveKeys().push_back(this);
    return true;
}

void CDialogKeys::Detach()
{
    auto& keys = ActiveKeys();
    keys.erase(std::remove(keys.begin(), keys.end(), this), keys.end());
    if (m_hook)
        UnhookWindowsHookEx(m_hook);
    m_hook = nullptr;
    m_dialog = nullptr;
    m_table = nullptr;  // a table loaded from resources is freed with the module
}

bool CDialogKeys::Translate(MSG& message) const
{
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)
        return false;
    // Only keys meant for this dialog: not for a dialog or box it opened, which has its own root.
    if (!message.hwnd || !IsWindow(m_dialog) || GetAncestor(message.hwnd, GA_ROOT) != m_dialog ||
        !IsWindowEnabled(m_dialog))
        return false;
    return TranslateAcceleratorW(m_dialog, m_table, &message) != 0;
}

LRESULT CALLBACK CDialogKeys::FilterProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == MSGF_DIALOGBOX && lParam) {
        MSG& message = *reinterpret_cast<MSG*>(lParam);
        for (const CDialogKeys* keys : ActiveKeys())
            if (keys->Translate(message))
                return TRUE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
