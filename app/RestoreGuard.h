#pragma once
// What the windows that replace the catalogue shown ask before they change anything: those that put
// a backup's files into the data folder, and Options when it switches to another folder. The window
// that shows the catalogue provides it, so those windows need not know it.

#include <windows.h>

#include <functional>

// Called with the window that asks (the owner of any question it puts), before a restore or a
// bringing back writes a file or takes its snapshot, or a new data folder is stored; false cancels
// the change.
using RestoreGuard = std::function<bool(HWND asking)>;

// Whether the change may go on: no guard lets it.
inline bool MayRestore(const RestoreGuard& guard, HWND asking)
{
    return !guard || guard(asking);
}
