#include "app/QVNApp.h"

BOOL CQVNApp::InitInstance()
{
    return FALSE;
}

int CQVNApp::ExitInstance()
{
    return CWinApp::ExitInstance();
}
