#include "framework/App.h"

CWinApp* CWinApp::s_current = nullptr;

CWinApp::CWinApp()
{
    s_current = this;
}

CWinApp::~CWinApp()
{
    if (s_current == this)
        s_current = nullptr;
}

HWND CWinApp::MainWindowHandle()
{
    if (!s_current || !s_current->m_pMainWnd || !IsWindow(s_current->m_pMainWnd))
        return nullptr;
    return s_current->m_pMainWnd;
}

int CWinApp::Run()
{
    if (InitInstance()) {
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        m_exitCode = static_cast<int>(msg.wParam);
    }
    return ExitInstance();
}

HINSTANCE ResourceInstance()
{
    return GetModuleHandleW(nullptr);
}
