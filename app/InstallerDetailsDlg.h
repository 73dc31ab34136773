#pragma once
// Every fact recorded about one record's installer, the last check and its result, and a button
// that checks the file now. Values are read-only edits: each can be selected and copied.

#include <windows.h>

#include <functional>
#include <string>

#include "framework/Gdi.h"
#include "model/Software.h"
#include "skin/BitmapButton5S.h"
#include "skin/BitmapDialog.h"

class CInstallerDetailsDlg : public CommCtrl::CBitmapDialog {
public:
    using VerifyNow = std::function<void(HWND owner, CSoftware& record)>;
    CInstallerDetailsDlg(CSoftware& record, VerifyNow verifyNow, HWND owner);

    // The value shown in each row, top to bottom.
    static constexpr int RowCount = 11;
    static std::wstring RowValue(const CSoftware& record, int row);

    // The window's size at 96 DPI.
    static constexpr int Width = 600;
    static constexpr int Height = 362;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override { EndDialog(IDOK); }
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnDpiChanged() override;

private:
    void PlaceControls();
    void FillValues();

    CSoftware& m_record;
    VerifyNow m_verifyNow;
    CommCtrl::CBitmapButton5S m_verify;
    CommCtrl::CBitmapButton5S m_close;
    CScopedBrush m_whiteBrush;
};

extern const wchar_t* const InstallerDetailsTitle;
