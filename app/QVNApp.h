#pragma once
// The application object: start-up and shutdown.

#include <windows.h>

#include <string>

#include "framework/App.h"

class CQVNApp : public CWinApp {
public:
    // Runs start-up and, inside it, the main window; always false, so no message loop follows.
    BOOL InitInstance() override;
    // Empties the scratch folder and gives up the single-instance marker.
    int ExitInstance() override;

    // The pipe's existence is the whole protocol between instances.
    static bool IsAnotherInstanceRunning();
    void CreateInstancePipe();

    HANDLE InstancePipe = nullptr;

protected:
    // The current user's application-data folder, below which the program keeps its own.
    virtual bool LocateAppDataFolder(std::wstring& folder);
    // The dialog in which a first start chooses its data folder; IDOK once the settings are saved.
    virtual INT_PTR RunOptionsDialog();
    // The main window, run modally; start-up ends when it returns.
    virtual void RunMainWindow();

private:
    bool m_oleReady = false;
    bool m_pathsReady = false;
};

// The single-instance marker.
extern const wchar_t* const InstancePipeName;
