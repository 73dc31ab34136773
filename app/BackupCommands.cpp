#include "app/BackupCommands.h"

#include "framework/MessageBox.h"
#include "storage/Backups.h"
#include "storage/Configurations.h"
#include "storage/Paths.h"

namespace {
// While a foreground wait runs, the result is its own: the main window's handler leaves it.
bool WaitingInForeground = false;

// Waits for the runner to go idle while the thread's windows go on painting. Input to the owner
// is blocked by disabling it, as a modal dialog would.
void WaitPumping(HWND owner)
{
    HANDLE idle = Snapshots().IdleEvent();
    const bool disable = owner && IsWindow(owner) && IsWindowEnabled(owner);
    if (disable)
        EnableWindow(owner, FALSE);
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    bool quit = false;
    int quitCode = 0;
    while (!quit && MsgWaitForMultipleObjects(1, &idle, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                quitCode = static_cast<int>(message.wParam);
                break;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (quit) {
        // Hand the quit back to the loop it was meant for, once the snapshot is whole.
        Snapshots().Wait(INFINITE);
        PostQuitMessage(quitCode);
    }
    Snapshots().Wait(INFINITE);
    SetCursor(previous);
    if (disable)
        EnableWindow(owner, TRUE);
}
}  // namespace

std::wstring SnapshotFailedQuestion(const std::wstring& problem)
{
    return L"Sorry! The backup of your softwares could not be taken before this change.\n\n" + problem +
           L"\n\nDo you want to go on without a backup ?";
}

std::wstring DailySnapshotFailedText(const std::wstring& problem)
{
    return L"Sorry! Today's backup of your softwares could not be taken.\n\n" + problem +
           L"\n\nYour softwares are untouched. You can choose another backups folder in Options, Backups...";
}

bool StartDailySnapshot()
{
    const std::wstring folder = BackupFolderInForce();
    if (folder.empty() || !FolderExists(Settings.DataFolder, true) || HasSnapshotOfDay(folder, LocalStampNow()))
        return false;
    return Snapshots().Start(SnapshotJobNow(SnapshotReason::Daily));
}

CSnapshotResult RunSnapshot(HWND owner, SnapshotReason reason)
{
    WaitingInForeground = true;
    // One at a time: a background snapshot still running ends first.
    if (Snapshots().IsRunning())
        WaitPumping(owner);
    std::optional<CSnapshotResult> result;
    if (Snapshots().Start(SnapshotJobNow(reason))) {
        WaitPumping(owner);
        result = Snapshots().TakeResult();
    }
    WaitingInForeground = false;
    if (result)
        return *result;
    CSnapshotResult failed;
    failed.Reason = reason;
    failed.Problem = L"There is not enough memory to take a backup.";
    return failed;
}

bool TakeSnapshot(HWND owner, SnapshotReason reason)
{
    const CSnapshotResult result = RunSnapshot(owner, reason);
    return result.Written || AskQuestion(owner, SnapshotFailedQuestion(result.Problem));
}

void OnBackgroundSnapshotDone(HWND owner)
{
    if (WaitingInForeground)
        return;
    std::optional<CSnapshotResult> result = Snapshots().TakeResult();
    if (result && !result->Written)
        ShowWarning(owner, DailySnapshotFailedText(result->Problem));
}

void WaitForSnapshots(DWORD milliseconds)
{
    Snapshots().Wait(milliseconds);
}
