#include <windows.h>

#include "app/QVNApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    CQVNApp app;
    return app.Run();
}
