#pragma once
// The licences that expire within the reminder window or have expired, soonest first: name,
// version, expiry and days left. "Show in a Tab" ends it with IDOK, so that the main window shows
// the same records in its "Due (N)" tab; "Close" ends it with IDCANCEL.

#include <string>
#include <vector>

#include "framework/Gdi.h"
#include "model/LicenceDates.h"
#include "skin/BitmapButton5S.h"
#include "skin/BitmapDialog.h"

class CReminderDlg : public CommCtrl::CBitmapDialog {
public:
    CReminderDlg(const std::vector<CDueRecord>& due, int windowDays, HWND parent);

    static constexpr int Width = 460;
    static constexpr int Height = 300;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnDpiChanged() override;

private:
    void PlaceControls();
    void SizeColumns();
    void FillList();

    const std::vector<CDueRecord>& m_due;
    int m_windowDays;
    CommCtrl::CBitmapButton5S m_show;
    CommCtrl::CBitmapButton5S m_close;
};

// The dialog's texts.
extern const wchar_t* const ReminderTitle;
// "These licences expire within 30 days or have expired:"
std::wstring ReminderIntroText(int windowDays);
// For the menu command when nothing is due: "No licence expires within 30 days."
std::wstring NothingDueText(int windowDays);
// The list's column headings, in order.
extern const wchar_t* const ReminderColumns[4];
