#pragma once
// Edits the text of one registration code; the title is the code's name.

#include <string>

#include "framework/Gdi.h"
#include "skin/BitmapButton5S.h"
#include "skin/BitmapDialog.h"

class CEditCodeDlg : public CommCtrl::CBitmapDialog {
public:
    // `code` is read when the dialog opens and replaced on Save, as typed (blanks kept).
    CEditCodeDlg(const std::wstring& title, std::wstring& code, HWND parent);

protected:
    BOOL OnInitDialog() override;
    // Save: an empty box is ignored and the dialog stays open.
    void OnOK() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnDpiChanged() override;

private:
    void PlaceControls();
    const std::wstring& m_title;
    std::wstring& m_code;
    CommCtrl::CBitmapButton5S m_save;
    CommCtrl::CBitmapButton5S m_cancel;
    CScopedBrush m_whiteBrush;
};
