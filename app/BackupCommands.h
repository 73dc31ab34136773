#pragma once
// When backups are taken: the day's first start (in the background), and before every change of
// many records at once (in the foreground, the window kept painting).

#include <windows.h>

#include <string>

#include "storage/Backups.h"
#include "storage/SnapshotText.h"

// Posted to the main window when a background snapshot has ended.
constexpr UINT MSG_SNAPSHOT_DONE = WM_APP + 460;

// At start-up: starts the day's first snapshot on a worker thread, unless the backups folder
// already holds one of today. True when one was started.
bool StartDailySnapshot();

// Takes a snapshot on the worker thread and waits for it, the owner disabled but painting.
CSnapshotResult RunSnapshot(HWND owner, SnapshotReason reason);

// Before a change of many records (deleting several, an import, a restore, bringing records back):
// takes a snapshot and waits for it, the owner disabled but painting. True when the change may go
// on: the snapshot was written, or it failed and the user chose to go on without one.
bool TakeSnapshot(HWND owner, SnapshotReason reason);

// The main window's answer to MSG_SNAPSHOT_DONE: tells the user when the background one failed.
void OnBackgroundSnapshotDone(HWND owner);

// At exit: lets a running snapshot finish, for at most the time given.
void WaitForSnapshots(DWORD milliseconds = 30000);

// Texts, for tests.
std::wstring SnapshotFailedQuestion(const std::wstring& problem);
std::wstring DailySnapshotFailedText(const std::wstring& problem);
