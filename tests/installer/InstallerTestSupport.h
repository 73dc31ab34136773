#pragma once
// Helpers of the installer tests under Wine: data folders, files of known bytes, icons of known
// colours, registered file types, and ways to act on the progress dialog while its worker runs.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "installer/ImportProgressDlg.h"
#include "model/Software.h"
#include "tests/support/TempFolder.h"

// Waits for the condition, checking every millisecond, for at most timeoutMs.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// count bytes of a repeatable pattern that differs with the seed.
std::string PatternBytes(size_t count, unsigned seed);

// A record with a fixed GUID, the settings' data folder pointed at a fresh folder for the test,
// and the earlier data folder restored afterwards.
class CDataFolderScope {
public:
    CDataFolderScope();
    CDataFolderScope(const CDataFolderScope&) = delete;
    CDataFolderScope& operator=(const CDataFolderScope&) = delete;
    ~CDataFolderScope();

    const std::wstring& Path() const { return m_data; }
    std::wstring ImportedPath(const CSoftware& record) const;
    // Source files and export targets live beside the data folder.
    const CTempFolder& Files() const { return m_files; }

private:
    CTempFolder m_root;
    CTempFolder m_files;
    std::wstring m_data;
    std::wstring m_previous;
};

void SetTestId(CSoftware& record, uint32_t seed);

// Holds the dialog's worker at a known point: after its chunk-th chunk (stage Chunk) or at stage
// Committing or Finished. There it posts Message to the dialog (Cancel by default) and waits until
// the dialog has taken the cancel request, so the copy stops exactly there. Counts the chunks.
class CHoldWorker {
public:
    CHoldWorker(CImportProgressDlg& dialog, CopyStage stage, uint64_t chunk = 0);
    CHoldWorker(const CHoldWorker&) = delete;
    CHoldWorker& operator=(const CHoldWorker&) = delete;
    ~CHoldWorker();

    UINT Message = WM_COMMAND;
    WPARAM WParam = MAKEWPARAM(IDCANCEL, BN_CLICKED);
    // Posted before Message when not 0.
    UINT FirstMessage = 0;
    WPARAM FirstWParam = 0;
    // Runs on the worker thread at the hold point instead of posting, when set.
    std::function<void(HWND dialog)> AtHold;
    // At Finished, give a dialog that would close under its running worker time to do so.
    bool WatchWindowAtFinish = false;

    // Read once RunCopy has returned.
    uint64_t Chunks() const { return m_chunks; }
    bool Held() const { return m_held; }
    bool WindowAliveAtFinish() const { return m_windowAliveAtFinish; }

private:
    CImportProgressDlg& m_dialog;
    CopyStage m_stage;
    uint64_t m_chunk;
    uint64_t m_chunks = 0;
    bool m_held = false;
    bool m_windowAliveAtFinish = false;
};

// Three distinct icons installed as the shared icons for the test, and destroyed afterwards.
class CSharedIconsScope {
public:
    CSharedIconsScope();
    CSharedIconsScope(const CSharedIconsScope&) = delete;
    CSharedIconsScope& operator=(const CSharedIconsScope&) = delete;
    ~CSharedIconsScope();

private:
    IconHandle m_previous[3];
    HICON m_icons[3];
};

// Writes a one-image .ico file of the given size filled with one opaque colour (0xRRGGBB).
bool WriteIconFile(const std::wstring& path, int size, uint32_t rgb);
// A solid icon made in memory.
HICON MakeSolidIcon(int size, uint32_t rgb);
// The icon drawn at size x size over white, as 0xRRGGBB pixels, top row first.
std::vector<uint32_t> IconPixels(HICON icon, int size);
uint32_t CentrePixel(HICON icon, int size = 48);
// Whether the handle still names a live icon.
bool IconIsAlive(HICON icon);

// Registers an extension under the classes root with a class (named "QuorvaneTest." something)
// whose DefaultIcon holds iconText, and removes both again. An empty iconText registers the class
// without DefaultIcon. Wine 8 does not merge HKCU\Software\Classes into the classes root, so the
// keys go to the classes root itself, that is the test prefix's machine-wide classes.
class CRegisteredType {
public:
    CRegisteredType(const std::wstring& extension, const std::wstring& className, const std::wstring& iconText,
                    DWORD iconType = REG_SZ);
    CRegisteredType(const CRegisteredType&) = delete;
    CRegisteredType& operator=(const CRegisteredType&) = delete;
    ~CRegisteredType();
    bool Ok() const { return m_ok; }

private:
    std::wstring m_extension;
    std::wstring m_className;
    bool m_ok = false;
};
