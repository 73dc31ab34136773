#pragma once
// The platform tab control (WC_TABCONTROL) bound to an object; thin wrappers over its messages.

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/Window.h"

class CTabCtrl : public CWindow {
public:
    CTabCtrl() = default;

    int GetItemCount() const { return static_cast<int>(SendMessageW(m_hWnd, TCM_GETITEMCOUNT, 0, 0)); }
    int GetCurSel() const { return static_cast<int>(SendMessageW(m_hWnd, TCM_GETCURSEL, 0, 0)); }
    // Returns the previous selection, or -1.
    int SetCurSel(int index) { return static_cast<int>(SendMessageW(m_hWnd, TCM_SETCURSEL, index, 0)); }
    // Returns the new tab's index, or -1.
    int InsertItem(int index, const std::wstring& text, int image = -1)
    {
        TCITEMW item{};
        item.mask = TCIF_TEXT | (image >= 0 ? TCIF_IMAGE : 0);
        item.pszText = const_cast<wchar_t*>(text.c_str());
        item.iImage = image;
        return static_cast<int>(SendMessageW(m_hWnd, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item)));
    }
    bool DeleteAllItems() { return SendMessageW(m_hWnd, TCM_DELETEALLITEMS, 0, 0) != FALSE; }
    bool GetItemRect(int index, RECT& rect) const
    {
        return SendMessageW(m_hWnd, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)) != FALSE;
    }
    // Display area from a window rectangle (larger false), or the reverse.
    void AdjustRect(bool larger, RECT& rect) const
    {
        SendMessageW(m_hWnd, TCM_ADJUSTRECT, larger, reinterpret_cast<LPARAM>(&rect));
    }
    HIMAGELIST GetImageList() const
    {
        return reinterpret_cast<HIMAGELIST>(SendMessageW(m_hWnd, TCM_GETIMAGELIST, 0, 0));
    }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0)); }
};
