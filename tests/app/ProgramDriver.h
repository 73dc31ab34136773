#pragma once
// Drives a started copy of the real program from outside, as a person would: its windows found by
// title, its message boxes read and answered, its controls clicked and typed into with window
// messages. Every wait is bounded.

#include <windows.h>

#include <functional>
#include <string>

constexpr DWORD ProgramWaitLimitMs = 30000;

// One started copy of a program, ended by force if it is left running.
class CProgram {
public:
    // Starts the executable at path (a Windows path).
    explicit CProgram(const std::wstring& path);
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;
    ~CProgram();

    bool Started() const { return m_started; }
    DWORD Id() const { return m_process.dwProcessId; }
    // True when the program ended within the limit.
    bool WaitForExit(DWORD limitMs = ProgramWaitLimitMs) const;
    // The program's exit code once it has ended; STILL_ACTIVE before.
    DWORD ExitCode() const;

    // The first visible top-level dialog of this program that matches, waiting for it up to the
    // limit; null when it does not come or the program ends first.
    HWND WaitForDialog(const std::function<bool(HWND)>& matches) const;
    // The window of this program so titled that is not a message box (they share the main
    // window's title).
    HWND WaitForWindow(const std::wstring& title) const;
    // Waits for a message box of this program other than the one already answered, and returns
    // its text.
    std::wstring WaitForMessageBox(HWND& box, HWND answered = nullptr) const;

private:
    PROCESS_INFORMATION m_process{};
    bool m_started = false;
};

// The executable of this build's program, beside the test executables' folders.
std::wstring BuiltProgramPath();

// Presses a button of a dialog or message box.
void Press(HWND dialog, int id);
// The first window below top with this control identifier (controls sit in child dialogs).
HWND FindControl(HWND top, int id);
// Clicks a control of whatever child dialog holds it, as its own button would; false when there is
// no such control.
bool Click(HWND top, int id);
// Sets a control's text across processes, bounded so a hung program fails; false when there is no
// such control or the program does not answer.
bool Type(HWND top, int id, const std::wstring& text);
std::wstring TextOf(HWND top, int id);
// Up to the limit, while the program runs.
bool WaitUntil(const CProgram& program, const std::function<bool()>& condition);
// Shown and enabled: a person could click it.
bool Usable(HWND top, int id);
