#include "app/DialogButtons.h"

#include "framework/Gdi.h"
#include "res/resource.h"

using CommCtrl::CBitmapButton5S;

namespace {
constexpr COLORREF CaptionColour = RGB(0, 0, 0);
constexpr COLORREF DisabledCaptionColour = RGB(128, 128, 128);
}  // namespace

void SkinDialogButton(CBitmapButton5S& button, HWND dialog, int id, ButtonArt art, UINT icon)
{
    button.SubclassDlgItem(id, dialog);
    int width = 70;
    switch (art) {
    case ButtonArt::Normal:
        button.LoadStateBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUSED, IDB_BUTTON_DISABLED);
        button.SetHoverBitmap(IDB_BUTTON_HOVER);
        break;
    case ButtonArt::Wide:
        width = 100;
        button.LoadStateBitmaps(IDB_WIDE_NORMAL, IDB_WIDE_PRESSED, IDB_WIDE_FOCUSED, IDB_WIDE_NORMAL);
        button.SetHoverBitmap(IDB_WIDE_HOVER);
        break;
    case ButtonArt::Long:
        width = 150;
        button.LoadStateBitmaps(IDB_LONG_NORMAL, IDB_LONG_PRESSED, IDB_LONG_FOCUSED, IDB_LONG_DISABLED);
        button.SetHoverBitmap(IDB_LONG_HOVER);
        break;
    }
    const RECT iconRect = icon ? RECT{2, 2, 18, 18} : RECT{0, 0, 0, 0};
    const RECT captionRect = icon ? RECT{20, 3, width, 17} : RECT{0, 3, width, 17};
    button.SetLayout(iconRect, captionRect, 6, L"Arial");
    button.SetTextColor(IsWindowEnabled(button.GetSafeHwnd()) ? CaptionColour : DisabledCaptionColour);
    if (icon)
        button.SetIcon(icon);
}

void EnableDialogButton(CBitmapButton5S& button, bool enabled)
{
    HWND window = button.GetSafeHwnd();
    const bool changed = (IsWindowEnabled(window) != FALSE) != enabled;
    button.SetTextColor(enabled ? CaptionColour : DisabledCaptionColour);
    EnableWindow(window, enabled);
    if (!changed)
        InvalidateRect(window, nullptr, FALSE);
}

void CentreOverOwner(HWND dialog)
{
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (!owner)
        return;
    RECT ownerRect{}, box{};
    GetWindowRect(owner, &ownerRect);
    GetWindowRect(dialog, &box);
    SetWindowPos(dialog, nullptr, ownerRect.left + (RectWidth(ownerRect) - RectWidth(box)) / 2,
                 ownerRect.top + (RectHeight(ownerRect) - RectHeight(box)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
