#include <windows.h>
#include <commctrl.h>

#include <cwchar>

#include "GalleryDlg.h"

// `--hover` puts the pointer over a toolbar button once the gallery is up.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    CGalleryDlg gallery;
    gallery.HoverOnStart = commandLine && std::wcsstr(commandLine, L"--hover") != nullptr;
    gallery.DoModal();
    return 0;
}
