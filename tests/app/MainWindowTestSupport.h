#pragma once
// The real main window on a catalogue of the test's own, in temporary per-user and data folders,
// with the shell's dialogs, the shell's "open" and the Shift key answered by the test.

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "app/QVNDlg.h"
#include "model/Software.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempFolder.h"

struct SampleRecord {
    const wchar_t* Name;
    const wchar_t* Version;
    const wchar_t* Company;
    int Category;
    int Type;
    float Price = 0.0f;
    const wchar_t* UserName = L"";
};

// What the shell seams were asked, and how they answer.
struct ShellRequests {
    // Open-file dialog: the filters asked with, and the answer (empty: cancelled).
    std::vector<std::wstring> OpenFilters;
    std::wstring OpenAnswer;
    // Folder picker: the titles asked with, and the answer (empty: cancelled).
    std::vector<std::wstring> FolderTitles;
    std::wstring FolderAnswer;
    // Shell "open": what was opened, with owner and folder, and the result it gives.
    struct Opened {
        HWND Owner;
        std::wstring Target;
        std::wstring Directory;
    };
    std::vector<Opened> Opens;
    INT_PTR OpenResult = 42;
    bool Shift = false;
};

class CMainWindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the records into the data folder, loads them as start-up does (grouped by mode, the
    // catalogue sorted by name) and opens the main window.
    void Open(const std::vector<SampleRecord>& records, int classifyMode = 0);

    // The record of that name in the catalogue; fails the test when there is none.
    CSoftware* Find(const std::wstring& name) const;
    std::wstring MetaDataPath(const CSoftware& record) const;
    std::wstring ImportedPath(const CSoftware& record) const;
    // A file beside the data folder.
    std::wstring WriteSourceFile(const std::wstring& name, const std::string& bytes) const;

    // Posts a command as the toolbar (or the list pane) does and lets the window run it.
    void PostFromToolbar(WPARAM code);
    void PostFromListPane(WPARAM code);
    // Runs every queued message of this thread.
    static void Pump();

    // Selects exactly these entries of the current list and notifies the pane as a click does.
    void Select(const std::vector<int>& entries);
    // Selects tab k as a click on its header does.
    void SwitchTab(int tab);
    void ChooseClassify(int mode);
    void ChooseSortKey(int key);
    void ClickToolbarButton(int id);

    std::vector<std::wstring> TabNames() const;
    // The names of the entries of the current list, in order, and the selected positions.
    std::vector<std::wstring> ShownNames();
    std::vector<int> Selected();
    static std::vector<std::wstring> NamesOf(const CSoftwareArray& list);

    HWND Main() const { return Window->GetSafeHwnd(); }
    HWND ToolbarWindow() const { return Window->Toolbar().GetSafeHwnd(); }
    HWND ListPaneWindow() const { return Window->ListPane().GetSafeHwnd(); }

    CTempFolder Root;
    std::wstring Data;
    std::unique_ptr<CQVNDlg> Window;
    CMessageBoxScript Boxes;
    ShellRequests Shell;
    // What the add dialog does with its record before answering; IDCANCEL when unset.
    std::function<INT_PTR(CSoftware& record)> AddDialogStep;
    std::vector<HWND> AddDialogOwners;
    int OptionsRuns = 0;
    int AboutRuns = 0;

private:
    IconHandle m_previousIcons[3]{};
};

// A drop handle for WM_DROPFILES holding these paths; the receiver frees it.
HDROP MakeDropHandle(const std::vector<std::wstring>& paths);

// Six records across categories, companies, types and prices.
std::vector<SampleRecord> SixRecords();
