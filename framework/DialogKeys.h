#pragma once
// Keyboard shortcuts for a dialog run modally. The dialog manager's loop has no accelerator step,
// but it hands every message to the thread's message filter first: there the table is translated
// for the keys pressed anywhere inside the dialog, and its commands reach the dialog as WM_COMMAND
// (high word 1), as from any accelerator.

#include <windows.h>

class CDialogKeys {
public:
    CDialogKeys() = default;
    CDialogKeys(const CDialogKeys&) = delete;
    CDialogKeys& operator=(const CDialogKeys&) = delete;
    ~CDialogKeys() { Detach(); }

    // Loads the accelerator table resource and starts translating for the dialog's windows.
    bool Attach(HWND dialog, UINT tableId);
    void Detach();

private:
    static LRESULT CALLBACK FilterProc(int code, WPARAM wParam, LPARAM lParam);
    bool Translate(MSG& message) const;

    HWND m_dialog = nullptr;
    HACCEL m_table = nullptr;
    HHOOK m_hook = nullptr;
};
