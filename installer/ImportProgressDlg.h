#pragma once
// Copies an installer into the data folder or out of it on a worker thread, while a small modal
// dialog shows the percentage and offers Cancel. The worker and the dialog share only the cancel
// flag under its lock, the done event and the messages the worker posts.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "framework/Dialog.h"
#include "model/Software.h"

// Posted by the worker to its dialog.
constexpr UINT MSG_COPY_DONE = 2025;
constexpr UINT MSG_COPY_FAILED = 2026;
constexpr UINT MSG_COPY_PROGRESS = 2027;  // wParam: percentage

// Directions of a copy.
constexpr int32_t CopyExport = 0;
constexpr int32_t CopyImport = 1;

// Results of RunCopy; only CopyComplete counts as success.
constexpr INT_PTR CopyComplete = 1;
constexpr INT_PTR CopyCancelled = 2;
constexpr INT_PTR CopyFailed = 3;

extern const wchar_t* const ImportFailedText;
extern const wchar_t* const ExportFailedText;

// Bytes read and written per step of the copy: large enough to run at the speed of the disk,
// small enough that Cancel is taken within milliseconds even on a slow one.
constexpr DWORD CopyChunkSize = 1 << 20;

// Lets a test follow the worker, on the worker thread: after each chunk is written (with the bytes
// copied so far), once the worker has found no cancel request after the loop and is about to put
// the copy in place and report (Committing), and just before it signals that it is done (Finished).
enum class CopyStage { Chunk, Committing, Finished };
using CopyObserver = std::function<void(CopyStage stage, uint64_t copied)>;

// Sees every byte of an import as it is copied, on the worker thread, and the finished copy before
// it takes its name; so facts about the file cost no second pass over a large file.
class CCopySink {
public:
    virtual ~CCopySink() = default;
    virtual void Consume(const void* data, DWORD size) = 0;
    virtual void Complete(const std::wstring& copyPath) = 0;
};

// Handed to the worker as its only argument; the worker deletes it as its last act but one.
struct CopyJob {
    HANDLE* DoneEvent = nullptr;
    int32_t* CancelRequested = nullptr;
    CSoftware* SoftwareItem = nullptr;       // not owned
    HWND ProgressWindow = nullptr;           // the dialog's window, only ever posted to
    const std::wstring* FilePath = nullptr;  // import source or export destination
    int32_t Overwrite = 0;                   // export only
    CRITICAL_SECTION* CancelLock = nullptr;  // guards *CancelRequested
    std::wstring DataFolder;                 // the import's target folder, taken on the UI thread
    CopyObserver Observer;
    CCopySink* Sink = nullptr;               // not owned; lives until the copy has ended
    DWORD ChunkSize = CopyChunkSize;         // tests use small chunks to see many steps cheaply
};

enum class CopyOutcome { Complete, Cancelled, Failed };

// The chunk loop shared by both workers: copies the source's measured length in chunks through one
// buffer allocated per copy, checking the cancel flag before each chunk and posting the percentage
// whenever it grows. A read or write error, a short write, a source that ends before its measured
// length, or no memory for the buffer is a failure.
CopyOutcome CopyChunks(HANDLE source, HANDLE destination, const CopyJob& job);

// The path itself when nothing exists there, else stem(1)extension, stem(2)extension, ... with
// the split made in the file name only.
std::wstring UniqueExportPath(const std::wstring& path);

// Thread procedures; the argument is a CopyJob, which they delete.
DWORD WINAPI ImportWorker(LPVOID job);
DWORD WINAPI ExportWorker(LPVOID job);

// One object serves every copy of its owner's life; one copy runs at a time.
class CImportProgressDlg : public CDialog {
public:
    // A null owner means the application's main window at the time of each copy.
    explicit CImportProgressDlg(HWND owner = nullptr);
    ~CImportProgressDlg() override;

    // Copies path into the data folder as the record's imported installer (import), or the
    // record's imported installer to path (export; a taken name gets a number unless overwrite
    // is on and the old file can be deleted). Returns CopyComplete, CopyCancelled or CopyFailed;
    // the user has seen the failure text of the direction by then.
    virtual INT_PTR RunCopy(CSoftware& record, const std::wstring& path, int32_t direction, bool overwrite);

    void SetOwner(HWND owner) { m_parent = owner; }
    void SetCopyObserver(CopyObserver observer) { m_observer = std::move(observer); }
    // For the next copies until reset with null; the caller keeps it alive meanwhile.
    void SetCopySink(CCopySink* sink) { m_sink = sink; }

    int32_t GetDirection() const { return Direction; }
    bool IsCancelRequested();
    // True while a worker may still run: from the start of a copy until its window is gone.
    bool HasWorker() const { return DoneEvent != nullptr || m_worker != nullptr; }

protected:
    BOOL OnInitDialog() override;
    // Enter never closes the dialog.
    void OnOK() override {}
    // Cancel or Escape: stops the worker, waits for it, and ends the dialog.
    void OnCancel() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    // The window never goes away while its worker still runs.
    void OnDestroy() override;

private:
    bool StartWorker();
    void SetCancelRequested(int32_t value);
    void WaitForWorker();
    INT_PTR TakeLateReport();
    const wchar_t* FailureText() const;
    void ReportFailure();
    void CenterOverOwner();

    int32_t Direction = CopyImport;
    HANDLE DoneEvent = nullptr;
    int32_t CancelRequested = 0;
    CRITICAL_SECTION CancelLock;
    HWND m_progress = nullptr;

    HANDLE m_worker = nullptr;
    CSoftware* m_record = nullptr;
    const std::wstring* m_path = nullptr;
    bool m_overwrite = false;
    bool m_initialised = false;
    INT_PTR m_resultAtDestroy = CopyCancelled;
    CopyObserver m_observer;
    CCopySink* m_sink = nullptr;
};
