#pragma once
// The result of checking every attached installer: one row per installer, failures first, and
// the way to look for the missing ones elsewhere.

#include <windows.h>

#include <functional>
#include <vector>

#include "installer/InstallerVault.h"
#include "skin/BitmapButton5S.h"
#include "skin/BitmapDialog.h"

class CVerifyResultDlg : public CommCtrl::CBitmapDialog {
public:
    // findMoved runs the search for the missing installers of the list, owned by this window.
    using FindMoved = std::function<void(HWND owner, const std::vector<CSoftware*>& missing)>;
    // showDetails opens one record's installer details, owned by this window (a double-click).
    using ShowDetails = std::function<void(HWND owner, CSoftware& record)>;
    CVerifyResultDlg(std::vector<CVerifyEntry> entries, FindMoved findMoved, ShowDetails showDetails, HWND owner);

    // "3 installers checked: 1 intact, 1 changed, 1 missing, 0 unreadable."
    static std::wstring SummaryText(const std::vector<CVerifyEntry>& entries);

    // The window's size at 96 DPI.
    static constexpr int Width = 600;
    static constexpr int Height = 400;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override { EndDialog(IDOK); }
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnDpiChanged() override;

private:
    void PlaceControls();
    void SizeColumns();
    // A double-click or Enter on a row opens that installer's details.
    void OnOpenRow();
    void FillRows();
    std::vector<CSoftware*> StillMissing() const;

    std::vector<CVerifyEntry> m_entries;
    FindMoved m_findMoved;
    ShowDetails m_showDetails;
    CommCtrl::CBitmapButton5S m_findMovedButton;
    CommCtrl::CBitmapButton5S m_close;
};

extern const wchar_t* const VerifyResultTitle;
