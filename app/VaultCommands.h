#pragma once
// The main window's installer-vault commands: verify every installer, find moved ones, show one
// installer's details, and the check before Launch and Export.

#include <windows.h>

#include <functional>
#include <vector>

#include "model/Software.h"

class CVaultCommands {
public:
    // afterChange runs when records changed on the disk and in memory (repaint the list).
    void Connect(HWND mainWindow, std::function<void()> afterChange);

    void VerifyInstallers(const std::vector<CSoftware*>& records);
    // Looks for the given records' installers under a folder the user picks; with none given,
    // for every installer with facts whose file is gone.
    void FindMovedInstallers(HWND owner, std::vector<CSoftware*> missing, const std::vector<CSoftware*>& records);
    void ShowDetails(const std::vector<CSoftware*>& selected);
    // Checks one record's installer now and stores the result.
    void VerifyNow(HWND owner, CSoftware& record);
    // Before Launch and Export: false when the user stopped the check or chose not to go on with
    // a changed installer. A missing or unreadable file goes on, to the command's own texts.
    bool ConfirmIntact(CSoftware& record);

private:
    void Store(CSoftware& record);

    HWND m_mainWindow = nullptr;
    std::function<void()> m_afterChange;
};

// Texts of the vault commands.
extern const wchar_t* const NoInstallersToVerifyText;
extern const wchar_t* const OneDetailsOnlyText;
extern const wchar_t* const NoneMissingText;
extern const wchar_t* const SearchFolderTitle;
extern const wchar_t* const NothingFoundText;
// "%s(%s)'s installer was found at:\n%s\n\nWould you like to relink it ?"
std::wstring RelinkQuestion(const CSoftware& record, const std::wstring& path);
