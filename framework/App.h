#pragma once
// The application object: wWinMain hands control to the one CWinApp of the process.

#include <windows.h>

class CWinApp {
public:
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // Start-up; false ends the program without a message loop (a dialog-based program runs its
    // main window modally inside InitInstance and returns false).
    virtual BOOL InitInstance() { return TRUE; }
    // Shutdown, always run after InitInstance; returns the process exit code.
    virtual int ExitInstance() { return m_exitCode; }

    // InitInstance, the message loop when it returned true, then ExitInstance.
    int Run();

    static CWinApp* Current() { return s_current; }
    // The main window of the current application, or null.
    static HWND MainWindowHandle();

    HWND m_pMainWnd = nullptr;

protected:
    int m_exitCode = 0;

private:
    static CWinApp* s_current;
};

// The module that holds the program's resources.
HINSTANCE ResourceInstance();
