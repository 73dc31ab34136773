#include "framework/MessageBox.h"

#include <utility>

#include "framework/App.h"

const wchar_t* const MessageBoxCaption = L"Quorvane";

namespace {
MessageBoxAnswerer& Answerer()
{
    static MessageBoxAnswerer answerer;
    return answerer;
}
}  // namespace

MessageBoxAnswerer SetMessageBoxAnswerer(MessageBoxAnswerer answerer)
{
    return std::exchange(Answerer(), std::move(answerer));
}

int ShowMessageBox(HWND owner, const std::wstring& text, UINT type)
{
    if (!owner)
        owner = CWinApp::MainWindowHandle();
    if (Answerer())
        return Answerer()(owner, text, MessageBoxCaption, type);
    return MessageBoxW(owner, text.c_str(), MessageBoxCaption, type);
}

void ShowInformation(HWND owner, const std::wstring& text)
{
    ShowMessageBox(owner, text, MB_OK | MB_ICONINFORMATION);
}

bool AskQuestion(HWND owner, const std::wstring& text)
{
    return ShowMessageBox(owner, text, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void ShowWarning(HWND owner, const std::wstring& text)
{
    ShowMessageBox(owner, text, MB_OK | MB_ICONWARNING);
}

void ShowError(HWND owner, const std::wstring& text)
{
    ShowMessageBox(owner, text, MB_OK | MB_ICONERROR);
}
