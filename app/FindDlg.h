#pragma once
// The find box: a small skinned window over the main window in which the user types what to find.
// It searches nothing itself: it tells its owner each change of the text, each request for the
// next match (Enter, the "Next" button) and its closing (Escape, the close button).

#include <functional>
#include <string>

#include "framework/Gdi.h"
#include "skin/BitmapButton5S.h"
#include "skin/BitmapDialog.h"

class CFindDlg : public CommCtrl::CBitmapDialog {
public:
    struct CHandlers {
        std::function<void(const std::wstring& text)> TextChanged;
        std::function<void()> Next;
        std::function<void()> Close;
    };
    explicit CFindDlg(CHandlers handlers);

    // Creates the box hidden, owned by the main window.
    bool Create(HWND owner);
    // Shows the box at the bottom of the given screen rectangle (the details pane's, whose lower
    // part is free on every tab), with the keyboard in its text box and the whole text selected.
    void ShowOver(const RECT& area);
    // Moves the box there without showing it or taking the keyboard.
    void PlaceOver(const RECT& area);
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    HWND TextBox() const { return GetDlgItem(IDC_TextBox); }

    static constexpr int IDC_TextBox = 4001;
    // The box at 96 DPI.
    static constexpr int Width = 290;
    static constexpr int Height = 64;

protected:
    BOOL OnInitDialog() override;
    // Enter: the next match.
    void OnOK() override;
    // Escape or the close button.
    void OnCancel() override;
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnDpiChanged() override;

private:
    void PlaceControls();

    CHandlers m_handlers;
    CommCtrl::CBitmapButton5S m_next;
    CScopedBrush m_whiteBrush;
};

// The title of the find box.
extern const wchar_t* const FindBoxTitle;
