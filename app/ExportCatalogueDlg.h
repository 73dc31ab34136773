#pragma once
// Asks what a catalogue export writes: every software or the selected ones, as CSV or as JSON.

#include "framework/Gdi.h"
#include "skin/BitmapButton5S.h"
#include "skin/BitmapDialog.h"

struct ExportChoice {
    bool Selection = false;  // the selected software rather than the whole catalogue
    bool Json = false;       // JSON rather than CSV
};

class CExportCatalogueDlg : public CommCtrl::CBitmapDialog {
public:
    // The choice comes in as the dialog opens with it and goes out on Export. "The selected
    // software" can be chosen only when something is selected.
    CExportCatalogueDlg(int allCount, int selectedCount, ExportChoice& choice, HWND parent);

    static constexpr int Width = 360;
    static constexpr int Height = 262;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnDpiChanged() override;

private:
    void PlaceControls();
    // The bold headings, from the dialog's font at its DPI.
    void MakeHeadingFont();

    int m_allCount;
    int m_selectedCount;
    ExportChoice& m_choice;
    CommCtrl::CBitmapButton5S m_export;
    CommCtrl::CBitmapButton5S m_cancel;
    CScopedFont m_headingFont;
};
