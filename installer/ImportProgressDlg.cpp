#include "installer/ImportProgressDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "framework/App.h"
#include "framework/MessageBox.h"
#include "installer/InstallerText.h"
#include "res/resource.h"
#include "storage/Configurations.h"
#include "storage/FileAccess.h"
#include "storage/Paths.h"

const wchar_t* const ImportFailedText = L"An error occured while importing the installer!";
const wchar_t* const ExportFailedText = L"An error occured while exporting the installer!";

namespace {
bool CancelRequestedNow(const CopyJob& job)
{
    EnterCriticalSection(job.CancelLock);
    bool requested = *job.CancelRequested != 0;
    LeaveCriticalSection(job.CancelLock);
    return requested;
}

void PostToDialog(const CopyJob& job, UINT message, WPARAM wParam = 0)
{
    if (IsWindow(job.ProgressWindow))
        PostMessageW(job.ProgressWindow, message, wParam, 0);
}

void Observe(const CopyJob& job, CopyStage stage, uint64_t copied = 0)
{
    if (job.Observer)
        job.Observer(stage, copied);
}

// The worker's last acts: the job goes, then the event tells the dialog that nothing of its
// state is used any more.
void FinishJob(CopyJob* job)
{
    Observe(*job, CopyStage::Finished);
    HANDLE done = *job->DoneEvent;
    delete job;
    SetEvent(done);
}

HANDLE OpenSource(const std::wstring& path)
{
    // Others may go on writing the source, but nobody else reads it meanwhile.
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// The one buffer of a copy, page-aligned as file systems like it best.
class CCopyBuffer {
public:
    explicit CCopyBuffer(DWORD size)
        : m_data(size > 0 ? VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE) : nullptr)
    {
    }
    CCopyBuffer(const CCopyBuffer&) = delete;
    CCopyBuffer& operator=(const CCopyBuffer&) = delete;
    ~CCopyBuffer()
    {
        if (m_data)
            VirtualFree(m_data, 0, MEM_RELEASE);
    }
    void* Data() const { return m_data; }

private:
    void* m_data;
};

void RegisterProgressClass()
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)registered;
}
}  // namespace

CopyOutcome CopyChunks(HANDLE source, HANDLE destination, const CopyJob& job)
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(source, &size) || size.QuadPart < 0)
        return CopyOutcome::Failed;
    const uint64_t length = static_cast<uint64_t>(size.QuadPart);
    const DWORD chunkSize = job.ChunkSize > 0 ? job.ChunkSize : CopyChunkSize;
    // A small installer needs no more room than its own length.
    CCopyBuffer buffer(static_cast<DWORD>(std::min<uint64_t>(chunkSize, length)));
    if (length > 0 && !buffer.Data())
        return CopyOutcome::Failed;
    uint64_t copied = 0;
    int posted = 0;
    for (;;) {
        if (CancelRequestedNow(job))
            return CopyOutcome::Cancelled;
        if (copied >= length)
            return CopyOutcome::Complete;  // an empty source
        // Never past the measured length, so a source that grows meanwhile is copied as it was.
        const DWORD wanted = static_cast<DWORD>(std::min<uint64_t>(chunkSize, length - copied));
        DWORD got = 0;
        if (!ReadFile(source, buffer.Data(), wanted, &got, nullptr))
            return CopyOutcome::Failed;
        // The source ended before the length it had when the copy began: it shrank meanwhile.
        if (got == 0)
            return CopyOutcome::Failed;
        DWORD written = 0;
        if (!WriteFile(destination, buffer.Data(), got, &written, nullptr) || written != got)
            return CopyOutcome::Failed;
        copied += got;
        if (job.Sink)
            job.Sink->Consume(buffer.Data(), got);
        Observe(job, CopyStage::Chunk, copied);
        if (copied >= length)
            return CopyOutcome::Complete;
        int percentage = CopyPercentage(copied, length);
        if (percentage > posted && !CancelRequestedNow(job) && IsWindow(job.ProgressWindow)) {
            PostMessageW(job.ProgressWindow, MSG_COPY_PROGRESS, static_cast<WPARAM>(percentage), 0);
            posted = percentage;
        }
    }
}

std::wstring UniqueExportPath(const std::wstring& path)
{
    std::wstring stem;
    std::wstring extension;
    SplitExtension(path, stem, extension);
    std::wstring candidate = path;
    for (int k = 1; PathExists(candidate, false); ++k)
        candidate = NumberedPath(stem, k, extension);
    return candidate;
}

DWORD WINAPI ImportWorker(LPVOID parameter)
{
    CopyJob* job = static_cast<CopyJob*>(parameter);
    const std::wstring finalPath = ImportedInstallerPath(job->DataFolder, *job->SoftwareItem);
    const std::wstring temporaryPath = finalPath + L".tmp";

    CopyOutcome outcome = CopyOutcome::Failed;
    bool created = false;
    {
        CFileHandle destination(
            CreateFileRetrying(temporaryPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, CREATE_ALWAYS));
        if (destination.IsOpen()) {
            created = true;
            CFileHandle source(OpenSource(*job->FilePath));
            if (source.IsOpen())
                outcome = CopyChunks(source.Get(), destination.Get(), *job);
            // The copy replaces the earlier one, so it must be on the disk before it takes its name.
            if (outcome == CopyOutcome::Complete && !FlushFileBuffers(destination.Get()))
                outcome = CopyOutcome::Failed;
        }
    }
    if (outcome == CopyOutcome::Complete && job->Sink && !CancelRequestedNow(*job))
        job->Sink->Complete(temporaryPath);

    if (CancelRequestedNow(*job)) {
        DeleteFileRetrying(temporaryPath);
    } else {
        Observe(*job, CopyStage::Committing);
        // Replacing in one step keeps the earlier copy whenever the new one cannot take its place.
        if (outcome == CopyOutcome::Complete &&
            !MoveFileRetrying(temporaryPath, finalPath, MOVEFILE_REPLACE_EXISTING))
            outcome = CopyOutcome::Failed;
        // A partial copy is of no use, and on a full disk it holds the very room the user must
        // free. Only a file this import made is removed.
        if (outcome != CopyOutcome::Complete && created)
            DeleteFileRetrying(temporaryPath);
        PostToDialog(*job, outcome == CopyOutcome::Complete ? MSG_COPY_DONE : MSG_COPY_FAILED);
    }
    FinishJob(job);
    return 0;
}

DWORD WINAPI ExportWorker(LPVOID parameter)
{
    CopyJob* job = static_cast<CopyJob*>(parameter);
    std::wstring destinationPath = *job->FilePath;
    bool deleteFailed = false;
    if (job->Overwrite && PathExists(destinationPath, false))
        deleteFailed = !DeleteFileW(destinationPath.c_str());
    if (!job->Overwrite || deleteFailed)
        destinationPath = UniqueExportPath(*job->FilePath);

    const std::wstring& sourcePath = job->SoftwareItem->InstallerInfo.InstallerPath;
    CopyOutcome outcome = CopyOutcome::Failed;
    bool created = false;
    if (PathExists(sourcePath, false)) {
        CFileHandle destination(CreateFileW(destinationPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (destination.IsOpen()) {
            created = true;
            CFileHandle source(OpenSource(sourcePath));
            if (source.IsOpen())
                outcome = CopyChunks(source.Get(), destination.Get(), *job);
            // Reported done, the copy may be taken away at once (a removable disk): it must be whole.
            if (outcome == CopyOutcome::Complete && !FlushFileBuffers(destination.Get()))
                outcome = CopyOutcome::Failed;
        }
    }

    if (CancelRequestedNow(*job)) {
        if (created)
            DeleteFileW(destinationPath.c_str());
    } else {
        Observe(*job, CopyStage::Committing);
        PostToDialog(*job, outcome == CopyOutcome::Complete ? MSG_COPY_DONE : MSG_COPY_FAILED);
    }
    FinishJob(job);
    return 0;
}

CImportProgressDlg::CImportProgressDlg(HWND owner) : CDialog(IDD_IMPORT_PROGRESS, owner)
{
    InitializeCriticalSection(&CancelLock);
}

CImportProgressDlg::~CImportProgressDlg()
{
    WaitForWorker();
    DeleteCriticalSection(&CancelLock);
}

INT_PTR CImportProgressDlg::RunCopy(CSoftware& record, const std::wstring& path, int32_t direction, bool overwrite)
{
    Direction = direction;
    m_record = &record;
    m_path = &path;
    m_overwrite = overwrite;
    SetCancelRequested(0);
    RegisterProgressClass();

    HWND fixedOwner = m_parent;
    if (!m_parent)
        m_parent = CWinApp::MainWindowHandle();
    m_initialised = false;
    m_resultAtDestroy = CopyCancelled;
    INT_PTR result = DoModal();
    m_parent = fixedOwner;
    m_record = nullptr;
    m_path = nullptr;

    if (result == CopyComplete || result == CopyCancelled || result == CopyFailed)
        return result;
    // Never shown (so no worker ran), or destroyed from outside before it ended itself.
    result = m_initialised ? m_resultAtDestroy : CopyFailed;
    if (result == CopyFailed)
        ShowMessageBox(nullptr, FailureText(), MB_OK | MB_ICONERROR);
    return result;
}

bool CImportProgressDlg::IsCancelRequested()
{
    EnterCriticalSection(&CancelLock);
    bool requested = CancelRequested != 0;
    LeaveCriticalSection(&CancelLock);
    return requested;
}

void CImportProgressDlg::SetCancelRequested(int32_t value)
{
    EnterCriticalSection(&CancelLock);
    CancelRequested = value;
    LeaveCriticalSection(&CancelLock);
}

BOOL CImportProgressDlg::OnInitDialog()
{
    m_initialised = true;
    m_progress = GetDlgItem(IDC_PROGRESS);
    SendMessageW(m_progress, PBM_SETRANGE32, 0, 100);
    SendMessageW(m_progress, PBM_SETPOS, 0, 0);
    CenterOverOwner();
    // The worker starts once the window it reports to exists.
    if (!StartWorker())
        PostMessageW(m_hWnd, MSG_COPY_FAILED, 0, 0);
    return TRUE;
}

bool CImportProgressDlg::StartWorker()
{
    DoneEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!DoneEvent)
        return false;
    auto job = std::make_unique<CopyJob>();
    job->DoneEvent = &DoneEvent;
    job->CancelRequested = &CancelRequested;
    job->SoftwareItem = m_record;
    job->ProgressWindow = m_hWnd;
    job->FilePath = m_path;
    job->Overwrite = m_overwrite ? 1 : 0;
    job->CancelLock = &CancelLock;
    job->DataFolder = Settings.DataFolder;
    job->Observer = m_observer;
    job->Sink = Direction == CopyImport ? m_sink : nullptr;
    m_worker = CreateThread(nullptr, 0, Direction == CopyImport ? ImportWorker : ExportWorker, job.get(), 0, nullptr);
    if (!m_worker) {
        CloseHandle(DoneEvent);
        DoneEvent = nullptr;
        return false;
    }
    job.release();  // the worker deletes it
    return true;
}

void CImportProgressDlg::WaitForWorker()
{
    if (DoneEvent) {
        WaitForSingleObject(DoneEvent, INFINITE);
        CloseHandle(DoneEvent);
        DoneEvent = nullptr;
    }
    if (m_worker) {
        WaitForSingleObject(m_worker, INFINITE);
        CloseHandle(m_worker);
        m_worker = nullptr;
    }
}

void CImportProgressDlg::OnCancel()
{
    SetCancelRequested(1);
    WaitForWorker();
    INT_PTR result = TakeLateReport();
    if (result == CopyFailed)
        ReportFailure();
    else
        EndDialog(result);
}

INT_PTR CImportProgressDlg::TakeLateReport()
{
    // A worker that finished just before it saw the request has already posted its report, and an
    // import that completed has already replaced the earlier copy: report what really happened.
    MSG report;
    if (PeekMessageW(&report, m_hWnd, MSG_COPY_DONE, MSG_COPY_DONE, PM_REMOVE))
        return CopyComplete;
    if (PeekMessageW(&report, m_hWnd, MSG_COPY_FAILED, MSG_COPY_FAILED, PM_REMOVE))
        return CopyFailed;
    return CopyCancelled;
}

const wchar_t* CImportProgressDlg::FailureText() const
{
    return Direction == CopyImport ? ImportFailedText : ExportFailedText;
}

void CImportProgressDlg::ReportFailure()
{
    ShowMessageBox(m_hWnd, FailureText(), MB_OK | MB_ICONERROR);
    EndDialog(CopyFailed);
}

INT_PTR CImportProgressDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, bool& handled)
{
    switch (message) {
    case MSG_COPY_DONE:
        handled = true;
        EndDialog(CopyComplete);
        return 0;
    case MSG_COPY_FAILED:
        handled = true;
        ReportFailure();
        return 0;
    case MSG_COPY_PROGRESS:
        handled = true;
        SendMessageW(m_progress, PBM_SETPOS, wParam, 0);
        return 0;
    default:
        return 0;
    }
}

void CImportProgressDlg::OnDestroy()
{
    // Destroyed without Cancel (its owner went away): stop the worker first, within one chunk.
    SetCancelRequested(1);
    WaitForWorker();
    m_resultAtDestroy = TakeLateReport();
    SetCancelRequested(0);
    m_progress = nullptr;
}

void CImportProgressDlg::CenterOverOwner()
{
    RECT dialog{};
    GetWindowRect(m_hWnd, &dialog);
    RECT area{};
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &area);
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    int width = dialog.right - dialog.left;
    int height = dialog.bottom - dialog.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
