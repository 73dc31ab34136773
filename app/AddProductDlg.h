#pragma once
// The dialog in which a new software is typed: a details pane in add mode with OK and Cancel.
// The caller owns the record and stores it only after IDOK.

#include "app/ItemInfoDlg.h"
#include "framework/Gdi.h"
#include "skin/BitmapButton5S.h"
#include "skin/BitmapDialog.h"

class CAddProductDlg : public CommCtrl::CBitmapDialog {
public:
    CAddProductDlg(CSoftware* record, HWND parent);

    void SetSoftware(CSoftware* record);
    // 330 pixels high for the first page, 500 for the second; creates the pane the first time.
    void UpdateLayout();

    CItemInfoDlg& Pane() { return m_pane; }

    static constexpr int DialogWidth = 306;
    static constexpr int BasicPageHeight = 330;
    static constexpr int RegistrationPageHeight = 500;

protected:
    BOOL OnInitDialog() override;
    // OK closes the dialog only when the pane took every value.
    void OnOK() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnDpiChanged() override;

private:
    void PlaceButtons();

    CItemInfoDlg m_pane;
    CommCtrl::CBitmapButton5S m_ok;
    CommCtrl::CBitmapButton5S m_cancel;
    bool m_paneCreated = false;
    bool m_buttonsSkinned = false;
};
