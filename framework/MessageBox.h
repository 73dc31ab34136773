#pragma once
// Every message box of the program goes through ShowMessageBox, so tests can answer them.

#include <windows.h>

#include <functional>
#include <string>

// The caption of every message box.
extern const wchar_t* const MessageBoxCaption;

using MessageBoxAnswerer =
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)>;

// Replaces the real message box; an empty answerer restores it. Returns the previous one.
MessageBoxAnswerer SetMessageBoxAnswerer(MessageBoxAnswerer answerer);

// A null owner means the application's main window, when there is one.
int ShowMessageBox(HWND owner, const std::wstring& text, UINT type);

// The program's four looks.
void ShowInformation(HWND owner, const std::wstring& text);  // information icon, OK
bool AskQuestion(HWND owner, const std::wstring& text);      // question icon, Yes and No; true for Yes
void ShowWarning(HWND owner, const std::wstring& text);      // warning icon, OK
void ShowError(HWND owner, const std::wstring& text);        // error icon, OK
