#pragma once
// Every fact recorded about one record's installer, the last check and its result, and a button
// that checks the file now. Values are read-only edits: each can be selected and copied.

#include <windows.h>

#include <functional>
#include <string>

#include "framework/Dialog.h"
#include "model/Software.h"

class CInstallerDetailsDlg : public CDialog {
public:
    using VerifyNow = std::function<void(HWND owner, CSoftware& record)>;
    CInstallerDetailsDlg(CSoftware& record, VerifyNow verifyNow, HWND owner);

    // The value shown in each row, top to bottom.
    static constexpr int RowCount = 11;
    static std::wstring RowValue(const CSoftware& record, int row);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override { EndDialog(IDOK); }
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;

private:
    void FillValues();

    CSoftware& m_record;
    VerifyNow m_verifyNow;
};
