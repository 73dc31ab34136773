#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "installer/ImportProgressDlg.h"
#include "installer/InstallerText.h"
#include "res/resource.h"
#include "storage/Configurations.h"
#include "storage/FileAccess.h"
#include "tests/installer/InstallerTestSupport.h"
#include "tests/support/BriefHolder.h"
#include "tests/support/InUseWait.h"
#include "tests/support/MessageBoxScript.h"

namespace {
class CopyTests : public testing::Test {
protected:
    CopyTests() { SetTestId(Record, 1); }

    // A source file beside the data folder.
    std::wstring Source(const std::string& bytes, const std::wstring& name = L"setup.exe")
    {
        std::wstring path = Folders.Files() / name;
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        return path;
    }
    std::wstring Imported() const { return Folders.ImportedPath(Record); }
    // Gives the record an imported installer holding bytes, as a finished import would.
    void GiveImportedInstaller(const std::string& bytes)
    {
        ASSERT_TRUE(WriteFileBytes(Imported(), bytes));
        Record.InstallerInfo.InstallerPath = Imported();
        Record.InstallerInfo.OriginalPath = L"C:\\Downloads\\setup.exe";
        Record.InstallerInfo.AttachMode = 1;
    }
    std::wstring OutFolder(const std::wstring& name = L"out\\")
    {
        std::wstring folder = Folders.Files() / name;
        CreateDirectoryW(folder.c_str(), nullptr);
        return folder;
    }

    CDataFolderScope Folders;
    CMessageBoxScript Boxes;
    CImportProgressDlg Dialog;
    CSoftware Record;
};

std::vector<std::wstring> FolderEntries(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return names;
}

// Records what the dialog showed: every progress position, and its template's layout.
class CProbeProgressDlg : public CImportProgressDlg {
public:
    std::vector<WPARAM> Posted;
    std::vector<LRESULT> BarPositions;
    DWORD Style = 0;
    RECT Client{};
    RECT ExpectedClient{};
    RECT BarRect{};
    RECT ExpectedBarRect{};
    RECT ButtonRect{};
    RECT ExpectedButtonRect{};
    std::wstring BarClass;
    std::wstring ButtonText;
    std::wstring FontFace;
    LRESULT RangeLow = -1;
    LRESULT RangeHigh = -1;
    LRESULT StartPosition = -1;

protected:
    BOOL OnInitDialog() override
    {
        BOOL result = CImportProgressDlg::OnInitDialog();
        Style = static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_STYLE));
        GetClientRect(m_hWnd, &Client);
        ExpectedClient = DialogRect(0, 0, 186, 47);
        BarRect = ControlRect(IDC_PROGRESS);
        ExpectedBarRect = DialogRect(7, 7, 172, 14);
        ButtonRect = ControlRect(IDCANCEL);
        ExpectedButtonRect = DialogRect(68, 26, 50, 14);
        wchar_t text[64] = {};
        GetClassNameW(GetDlgItem(IDC_PROGRESS), text, 64);
        BarClass = text;
        GetWindowTextW(GetDlgItem(IDCANCEL), text, 64);
        ButtonText = text;
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0)), sizeof font, &font);
        FontFace = font.lfFaceName;
        PBRANGE range{};
        SendMessageW(GetDlgItem(IDC_PROGRESS), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        RangeLow = range.iLow;
        RangeHigh = range.iHigh;
        StartPosition = SendMessageW(GetDlgItem(IDC_PROGRESS), PBM_GETPOS, 0, 0);
        return result;
    }
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override
    {
        INT_PTR result = CImportProgressDlg::OnMessage(message, wParam, lParam, handled);
        if (message == MSG_COPY_PROGRESS) {
            Posted.push_back(wParam);
            BarPositions.push_back(SendMessageW(GetDlgItem(IDC_PROGRESS), PBM_GETPOS, 0, 0));
        }
        return result;
    }

private:
    // As the dialog manager places a control: position and size converted one by one.
    RECT DialogRect(int x, int y, int width, int height)
    {
        RECT units{x, y, width, height};
        MapDialogRect(m_hWnd, &units);
        return RECT{units.left, units.top, units.left + units.right, units.top + units.bottom};
    }
    RECT ControlRect(int id)
    {
        RECT rect{};
        GetWindowRect(GetDlgItem(id), &rect);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
};

testing::AssertionResult SameRect(const RECT& a, const RECT& b)
{
    if (a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "(" << a.left << "," << a.top << ")-(" << a.right << "," << a.bottom
                                       << ") is not (" << b.left << "," << b.top << ")-(" << b.right << ","
                                       << b.bottom << ")";
}
}  // namespace

TEST_F(CopyTests, ImportCopiesTheSourceIntoTheDataFolderUnderTheRecordsName)
{
    // Whole chunks and a part of one.
    std::string bytes = PatternBytes(2 * CopyChunkSize + 12345, 1);
    std::wstring source = Source(bytes);

    EXPECT_EQ(Dialog.RunCopy(Record, source, CopyImport, false), CopyComplete);

    EXPECT_EQ(ReadFileBytes(Imported()), bytes);
    EXPECT_FALSE(FileExistsAt(Imported() + L".tmp"));
    EXPECT_EQ(ReadFileBytes(source), bytes);
    EXPECT_TRUE(Boxes.Shown().empty());
    EXPECT_TRUE(Record.InstallerInfo.InstallerPath.empty()) << "the copy alone never changes the record";
    EXPECT_FALSE(Dialog.HasWorker());
}

TEST_F(CopyTests, CancelledImportStopsWithinOneChunkAndKeepsTheEarlierCopy)
{
    GiveImportedInstaller("the earlier imported copy");
    std::wstring source = Source(PatternBytes(5 * CopyChunkSize + 77, 2));
    CHoldWorker hold(Dialog, CopyStage::Chunk, 3);

    EXPECT_EQ(Dialog.RunCopy(Record, source, CopyImport, false), CopyCancelled);

    EXPECT_TRUE(hold.Held());
    EXPECT_EQ(hold.Chunks(), 3u) << "no chunk may be copied once Cancel was taken";
    EXPECT_EQ(ReadFileBytes(Imported()), "the earlier imported copy");
    EXPECT_FALSE(FileExistsAt(Imported() + L".tmp"));
    EXPECT_TRUE(Boxes.Shown().empty());
    EXPECT_FALSE(Dialog.IsCancelRequested());
    EXPECT_FALSE(Dialog.HasWorker());
}

TEST_F(CopyTests, CancelledExportDeletesItsPartialCopyButNoOtherFile)
{
    GiveImportedInstaller(PatternBytes(7 * CopyChunkSize + 5, 3));
    std::wstring out = OutFolder();
    ASSERT_TRUE(WriteFileBytes(out + L"setup.exe", "the user's own file"));
    CHoldWorker hold(Dialog, CopyStage::Chunk, 5);

    EXPECT_EQ(Dialog.RunCopy(Record, out + L"setup.exe", CopyExport, false), CopyCancelled);

    EXPECT_EQ(hold.Chunks(), 5u);
    EXPECT_EQ(FolderEntries(out), std::vector<std::wstring>{L"setup.exe"});
    EXPECT_EQ(ReadFileBytes(out + L"setup.exe"), "the user's own file");
}

TEST_F(CopyTests, ProgressGrowsInWholePercentagesAndNeverShowsTheEnd)
{
    CProbeProgressDlg probe;
    // Three and a half chunks: the whole percentages after each of the three full ones.
    std::wstring source = Source(PatternBytes(3 * CopyChunkSize + CopyChunkSize / 2, 4));

    EXPECT_EQ(probe.RunCopy(Record, source, CopyImport, false), CopyComplete);

    EXPECT_EQ(probe.Posted, (std::vector<WPARAM>{28, 57, 85}));
    EXPECT_EQ(probe.BarPositions, (std::vector<LRESULT>{28, 57, 85}));
}

namespace {
// A window of our own that only collects what is posted to it.
struct CMessageWindow {
    HWND Handle = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ~CMessageWindow() { DestroyWindow(Handle); }
    std::vector<WPARAM> TakeProgress()
    {
        std::vector<WPARAM> posted;
        MSG message;
        while (PeekMessageW(&message, Handle, MSG_COPY_PROGRESS, MSG_COPY_PROGRESS, PM_REMOVE))
            posted.push_back(message.wParam);
        return posted;
    }
};
}  // namespace

TEST_F(CopyTests, ProgressIsPostedOnlyWhenTheWholePercentageGrows)
{
    int32_t cancel = 0;
    CRITICAL_SECTION lock;
    InitializeCriticalSection(&lock);
    CMessageWindow window;
    ASSERT_NE(window.Handle, nullptr);
    CopyJob job;
    job.CancelRequested = &cancel;
    job.CancelLock = &lock;
    job.ProgressWindow = window.Handle;
    auto copy = [this, &job](size_t length, DWORD chunk) {
        job.ChunkSize = chunk;
        std::string bytes = PatternBytes(length, 17);
        std::wstring sourcePath = Source(bytes, L"many-chunks.bin");
        std::wstring targetPath = Folders.Files() / L"many-chunks.copy";
        {
            CFileHandle source(CreateFileW(sourcePath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            CFileHandle target(CreateFileW(targetPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            EXPECT_EQ(CopyChunks(source.Get(), target.Get(), job), CopyOutcome::Complete);
        }
        EXPECT_EQ(ReadFileBytes(targetPath), bytes);
    };

    // 300 chunks: a new whole percentage every third chunk, each posted once, never 100.
    copy(30000, 100);
    std::vector<WPARAM> expected;
    for (WPARAM percentage = 1; percentage <= 99; ++percentage)
        expected.push_back(percentage);
    EXPECT_EQ(window.TakeProgress(), expected);

    // 7 chunks: every chunk moves the bar on by more than one.
    copy(7000, 1000);
    EXPECT_EQ(window.TakeProgress(), (std::vector<WPARAM>{14, 28, 42, 57, 71, 85}));
    DeleteCriticalSection(&lock);
}

TEST_F(CopyTests, TemplateIsAThinBorderedPopupWithABarAndCancel)
{
    CProbeProgressDlg probe;
    std::wstring source = Source(std::string());

    EXPECT_EQ(probe.RunCopy(Record, source, CopyImport, false), CopyComplete);

    EXPECT_TRUE(probe.Style & WS_POPUP);
    EXPECT_TRUE(probe.Style & WS_BORDER);
    EXPECT_FALSE(probe.Style & WS_DLGFRAME) << "no caption";
    EXPECT_FALSE(probe.Style & WS_THICKFRAME);
    EXPECT_TRUE(SameRect(probe.Client, probe.ExpectedClient));
    EXPECT_EQ(probe.BarClass, L"msctls_progress32");
    EXPECT_TRUE(SameRect(probe.BarRect, probe.ExpectedBarRect));
    EXPECT_EQ(probe.ButtonText, L"Cancel");
    EXPECT_TRUE(SameRect(probe.ButtonRect, probe.ExpectedButtonRect));
    EXPECT_EQ(probe.FontFace, L"Arial");
    EXPECT_EQ(probe.RangeLow, 0);
    EXPECT_EQ(probe.RangeHigh, 100);
    EXPECT_EQ(probe.StartPosition, 0);
}

TEST_F(CopyTests, ZeroLengthInstallerCompletesAtOnceInBothDirections)
{
    int chunks = 0;
    Dialog.SetCopyObserver([&chunks](CopyStage stage, uint64_t) { chunks += stage == CopyStage::Chunk; });
    std::wstring source = Source(std::string(), L"empty.msi");

    EXPECT_EQ(Dialog.RunCopy(Record, source, CopyImport, false), CopyComplete);
    EXPECT_TRUE(FileExistsAt(Imported()));
    EXPECT_EQ(ReadFileBytes(Imported()), "");

    Record.InstallerInfo.InstallerPath = Imported();
    Record.InstallerInfo.AttachMode = 1;
    std::wstring out = OutFolder();
    EXPECT_EQ(Dialog.RunCopy(Record, out + L"empty.msi", CopyExport, false), CopyComplete);
    EXPECT_TRUE(FileExistsAt(out + L"empty.msi"));
    EXPECT_EQ(chunks, 0);
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(CopyTests, ExportWritesTheCopyAndNumbersTakenNames)
{
    std::string bytes = PatternBytes(5000, 5);
    GiveImportedInstaller(bytes);
    std::wstring out = OutFolder();
    ASSERT_TRUE(WriteFileBytes(out + L"setup.exe", "the user's own file"));

    EXPECT_EQ(Dialog.RunCopy(Record, out + L"setup.exe", CopyExport, false), CopyComplete);
    EXPECT_EQ(Dialog.RunCopy(Record, out + L"setup.exe", CopyExport, false), CopyComplete);

    EXPECT_EQ(ReadFileBytes(out + L"setup.exe"), "the user's own file");
    EXPECT_EQ(ReadFileBytes(out + L"setup(1).exe"), bytes);
    EXPECT_EQ(ReadFileBytes(out + L"setup(2).exe"), bytes);
    EXPECT_EQ(ReadFileBytes(Imported()), bytes);
    EXPECT_EQ(Record.InstallerInfo.InstallerPath, Imported());
}

TEST_F(CopyTests, ExportNumbersTheFileNameEvenWhenAFolderNameHasADot)
{
    std::string bytes = PatternBytes(700, 6);
    GiveImportedInstaller(bytes);
    std::wstring out = OutFolder(L"release.v2\\");
    ASSERT_TRUE(WriteFileBytes(out + L"setup", "taken"));
    ASSERT_TRUE(WriteFileBytes(out + L"tool.v1.exe", "taken too"));

    EXPECT_EQ(Dialog.RunCopy(Record, out + L"setup", CopyExport, false), CopyComplete);
    EXPECT_EQ(Dialog.RunCopy(Record, out + L"tool.v1.exe", CopyExport, false), CopyComplete);

    EXPECT_EQ(ReadFileBytes(out + L"setup(1)"), bytes);
    EXPECT_EQ(ReadFileBytes(out + L"tool.v1(1).exe"), bytes);
    EXPECT_EQ(ReadFileBytes(out + L"setup"), "taken");
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(CopyTests, ExportWithOverwriteReplacesTheEarlierCopyOfThatName)
{
    std::string bytes = PatternBytes(3000, 7);
    GiveImportedInstaller(bytes);
    std::wstring out = OutFolder();
    ASSERT_TRUE(WriteFileBytes(out + L"setup.exe", "an earlier launch copy"));

    EXPECT_EQ(Dialog.RunCopy(Record, out + L"setup.exe", CopyExport, true), CopyComplete);

    EXPECT_EQ(ReadFileBytes(out + L"setup.exe"), bytes);
    EXPECT_EQ(FolderEntries(out), std::vector<std::wstring>{L"setup.exe"});
}

TEST_F(CopyTests, ExportWithOverwriteNumbersTheCopyWhenTheOldOneCannotBeDeleted)
{
    std::string bytes = PatternBytes(3000, 8);
    GiveImportedInstaller(bytes);
    std::wstring out = OutFolder();
    ASSERT_TRUE(WriteFileBytes(out + L"setup.exe", "still running"));
    // Held open as a running installer would be: it cannot be deleted meanwhile.
    CFileHandle running(CreateFileW((out + L"setup.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(running.IsOpen());

    EXPECT_EQ(Dialog.RunCopy(Record, out + L"setup.exe", CopyExport, true), CopyComplete);
    running.Close();

    EXPECT_EQ(ReadFileBytes(out + L"setup.exe"), "still running");
    EXPECT_EQ(ReadFileBytes(out + L"setup(1).exe"), bytes);
}

TEST_F(CopyTests, ExportWhoseSourceVanishedFailsAndCreatesNothing)
{
    GiveImportedInstaller("soon gone");
    ASSERT_TRUE(DeleteFileW(Imported().c_str()));
    std::wstring out = OutFolder();

    EXPECT_EQ(Dialog.RunCopy(Record, out + L"setup.exe", CopyExport, false), CopyFailed);

    ASSERT_EQ(Boxes.Shown().size(), 1u);
    EXPECT_EQ(Boxes.Shown()[0].Text, L"An error occured while exporting the installer!");
    EXPECT_EQ(Boxes.Shown()[0].Type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_NE(Boxes.Shown()[0].Owner, nullptr) << "the progress dialog owns the box";
    EXPECT_TRUE(FolderEntries(out).empty());
}

TEST_F(CopyTests, ImportFailuresShowTheImportText)
{
    GiveImportedInstaller("the earlier imported copy");

    EXPECT_EQ(Dialog.RunCopy(Record, Folders.Files() / L"missing.exe", CopyImport, false), CopyFailed);
    EXPECT_EQ(ReadFileBytes(Imported()), "the earlier imported copy");

    // A data folder that has gone away: the temporary file cannot be created.
    std::wstring source = Source("some installer");
    Settings.DataFolder = Folders.Path() + L"gone\\";
    EXPECT_EQ(Dialog.RunCopy(Record, source, CopyImport, false), CopyFailed);
    Settings.DataFolder = Folders.Path();

    EXPECT_EQ(Boxes.Texts(), (std::vector<std::wstring>{L"An error occured while importing the installer!",
                                                         L"An error occured while importing the installer!"}));
    EXPECT_EQ(Dialog.GetDirection(), CopyImport);
}

TEST_F(CopyTests, SourceThatShrinksDuringTheCopyFailsInsteadOfSpinning)
{
    GiveImportedInstaller("the earlier imported copy");
    std::wstring source = Source(PatternBytes(8 * CopyChunkSize, 9));
    CHoldWorker hold(Dialog, CopyStage::Chunk, 4);
    hold.AtHold = [&source](HWND) {
        // Another program cuts the file short while it is being copied.
        CFileHandle writer(CreateFileW(source.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(writer.IsOpen());
        LARGE_INTEGER end{};
        end.QuadPart = 4 * CopyChunkSize + 100;
        ASSERT_TRUE(SetFilePointerEx(writer.Get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(writer.Get()));
    };

    EXPECT_EQ(Dialog.RunCopy(Record, source, CopyImport, false), CopyFailed);

    EXPECT_EQ(hold.Chunks(), 5u) << "the last 100 bytes, then the end of the data";
    EXPECT_EQ(Boxes.Texts(), std::vector<std::wstring>{L"An error occured while importing the installer!"});
    EXPECT_EQ(ReadFileBytes(Imported()), "the earlier imported copy");
}

TEST_F(CopyTests, SourceThatGrowsDuringTheCopyIsCopiedAsItWasMeasured)
{
    std::string bytes = PatternBytes(2 * CopyChunkSize + 10, 18);
    std::wstring source = Source(bytes);
    CHoldWorker hold(Dialog, CopyStage::Chunk, 1);
    hold.AtHold = [&source](HWND) {
        // Another program goes on writing the file, as the source's sharing allows.
        CFileHandle writer(CreateFileW(source.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(writer.IsOpen());
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(writer.Get(), "appended later", 14, &written, nullptr));
    };

    EXPECT_EQ(Dialog.RunCopy(Record, source, CopyImport, false), CopyComplete);

    EXPECT_EQ(hold.Chunks(), 3u);
    EXPECT_EQ(ReadFileBytes(Imported()), bytes);
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(CopyTests, ImportWhoseCopyCannotTakeItsPlaceKeepsTheEarlierCopy)
{
    GiveImportedInstaller("the earlier imported copy");
    std::wstring source = Source(PatternBytes(3 * CopyChunkSize + 1, 16));
    // Another program opens the temporary file while it is written, as its sharing allows, and
    // keeps it open: it cannot be renamed.
    HANDLE opened = INVALID_HANDLE_VALUE;
    std::wstring temporary = Imported() + L".tmp";
    CHoldWorker hold(Dialog, CopyStage::Chunk, 2);
    hold.AtHold = [&opened, &temporary](HWND) {
        opened = CreateFileW(temporary.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    };

    INT_PTR result = Dialog.RunCopy(Record, source, CopyImport, false);
    CFileHandle reader(opened);
    ASSERT_TRUE(reader.IsOpen());
    EXPECT_EQ(result, CopyFailed);
    reader.Close();

    EXPECT_EQ(ReadFileBytes(Imported()), "the earlier imported copy");
    EXPECT_EQ(Boxes.Texts(), std::vector<std::wstring>{L"An error occured while importing the installer!"});
}

TEST_F(CopyTests, ChunkLoopTurnsReadAndWriteErrorsIntoFailures)
{
    std::string bytes = PatternBytes(2000, 10);
    std::wstring sourcePath = Source(bytes);
    std::wstring targetPath = Folders.Files() / L"target.bin";
    ASSERT_TRUE(WriteFileBytes(targetPath, ""));
    int32_t cancel = 0;
    CRITICAL_SECTION lock;
    InitializeCriticalSection(&lock);
    CopyJob job;
    job.CancelRequested = &cancel;
    job.CancelLock = &lock;
    auto open = [](const std::wstring& path, DWORD access) {
        return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };

    {
        // WriteFile returns FALSE on a destination that is not open for writing.
        CFileHandle source(open(sourcePath, GENERIC_READ));
        CFileHandle target(open(targetPath, GENERIC_READ));
        EXPECT_EQ(CopyChunks(source.Get(), target.Get(), job), CopyOutcome::Failed);
    }
    {
        // ReadFile returns FALSE on a source that is not open for reading.
        CFileHandle source(open(sourcePath, GENERIC_WRITE));
        CFileHandle target(open(targetPath, GENERIC_WRITE));
        EXPECT_EQ(CopyChunks(source.Get(), target.Get(), job), CopyOutcome::Failed);
    }
    {
        // WriteFile reports success with fewer bytes written: a non-blocking pipe nobody drains.
        std::wstring pipeName = L"\\\\.\\pipe\\quorvane_short_write_" + std::to_wstring(GetCurrentProcessId());
        CFileHandle server(CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_NOWAIT, 1,
                                            1024, 1024, 0, nullptr));
        ASSERT_TRUE(server.IsOpen());
        CFileHandle client(CreateFileW(pipeName.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(client.IsOpen());
        DWORD mode = PIPE_NOWAIT;
        ASSERT_TRUE(SetNamedPipeHandleState(client.Get(), &mode, nullptr, nullptr));
        CFileHandle source(open(sourcePath, GENERIC_READ));
        EXPECT_EQ(CopyChunks(source.Get(), client.Get(), job), CopyOutcome::Failed);
    }
    EXPECT_EQ(ReadFileBytes(targetPath), "");
    {
        cancel = 1;
        CFileHandle source(open(sourcePath, GENERIC_READ));
        CFileHandle target(open(targetPath, GENERIC_WRITE));
        EXPECT_EQ(CopyChunks(source.Get(), target.Get(), job), CopyOutcome::Cancelled);
        cancel = 0;
    }
    EXPECT_EQ(ReadFileBytes(targetPath), "");
    {
        CFileHandle source(open(sourcePath, GENERIC_READ));
        CFileHandle target(open(targetPath, GENERIC_WRITE));
        EXPECT_EQ(CopyChunks(source.Get(), target.Get(), job), CopyOutcome::Complete);
    }
    EXPECT_EQ(ReadFileBytes(targetPath), bytes);
    DeleteCriticalSection(&lock);
}

TEST_F(CopyTests, EnterNeverClosesTheDialog)
{
    std::wstring source = Source(PatternBytes(2 * CopyChunkSize + 3, 11));
    CHoldWorker hold(Dialog, CopyStage::Chunk, 1);
    hold.FirstMessage = WM_COMMAND;
    hold.FirstWParam = MAKEWPARAM(IDOK, BN_CLICKED);

    EXPECT_EQ(Dialog.RunCopy(Record, source, CopyImport, false), CopyCancelled);
    EXPECT_EQ(hold.Chunks(), 1u);
}

TEST_F(CopyTests, CancelAfterTheWorkerCommittedReportsTheCompletedCopy)
{
    GiveImportedInstaller("the earlier imported copy");
    std::string bytes = PatternBytes(4000, 12);
    std::wstring source = Source(bytes);
    {
        CHoldWorker hold(Dialog, CopyStage::Committing);
        EXPECT_EQ(Dialog.RunCopy(Record, source, CopyImport, false), CopyComplete);
        EXPECT_TRUE(hold.Held());
    }
    EXPECT_EQ(ReadFileBytes(Imported()), bytes) << "the result must say what happened to the files";

    std::wstring out = OutFolder();
    {
        CHoldWorker hold(Dialog, CopyStage::Committing);
        EXPECT_EQ(Dialog.RunCopy(Record, out + L"setup.exe", CopyExport, false), CopyComplete);
    }
    EXPECT_EQ(ReadFileBytes(out + L"setup.exe"), bytes);
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(CopyTests, ClosingTheWindowWaitsForItsWorker)
{
    GiveImportedInstaller("the earlier imported copy");
    std::wstring source = Source(PatternBytes(3 * CopyChunkSize + 3, 13));
    CHoldWorker hold(Dialog, CopyStage::Chunk, 2);
    hold.Message = WM_CLOSE;
    hold.WParam = 0;
    hold.WatchWindowAtFinish = true;

    EXPECT_EQ(Dialog.RunCopy(Record, source, CopyImport, false), CopyCancelled);

    EXPECT_EQ(hold.Chunks(), 2u);
    EXPECT_TRUE(hold.WindowAliveAtFinish());
    EXPECT_FALSE(FileExistsAt(Imported() + L".tmp"));
    EXPECT_EQ(ReadFileBytes(Imported()), "the earlier imported copy");
}

namespace {
LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP) {
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateOwnerWindow()
{
    static const ATOM atom = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = OwnerProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QuorvaneTestOwner";
        return RegisterClassW(&windowClass);
    }();
    (void)atom;
    return CreateWindowExW(0, L"QuorvaneTestOwner", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}
}  // namespace

TEST_F(CopyTests, DestroyingTheOwnerStopsTheWorkerBeforeTheWindowGoes)
{
    GiveImportedInstaller("the earlier imported copy");
    std::wstring source = Source(PatternBytes(3 * CopyChunkSize + 3, 14));
    HWND owner = CreateOwnerWindow();
    ASSERT_NE(owner, nullptr);
    CImportProgressDlg owned(owner);
    CHoldWorker hold(owned, CopyStage::Chunk, 2);
    hold.WatchWindowAtFinish = true;
    hold.AtHold = [&owner, &owned](HWND) {
        PostMessageW(owner, WM_APP, 0, 0);
        WaitUntil([&owned] { return owned.IsCancelRequested(); });
    };

    EXPECT_EQ(owned.RunCopy(Record, source, CopyImport, false), CopyCancelled);

    EXPECT_FALSE(IsWindow(owner));
    EXPECT_EQ(hold.Chunks(), 2u);
    EXPECT_TRUE(hold.WindowAliveAtFinish());
    EXPECT_FALSE(owned.HasWorker());
    EXPECT_FALSE(FileExistsAt(Imported() + L".tmp"));
    EXPECT_EQ(ReadFileBytes(Imported()), "the earlier imported copy");
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(CopyTests, TheNextCopyStartsClean)
{
    std::string bytes = PatternBytes(2 * CopyChunkSize + 15, 15);
    std::wstring source = Source(bytes);
    {
        CHoldWorker hold(Dialog, CopyStage::Chunk, 1);
        EXPECT_EQ(Dialog.RunCopy(Record, source, CopyImport, false), CopyCancelled);
    }
    EXPECT_FALSE(Dialog.IsCancelRequested());
    EXPECT_FALSE(Dialog.HasWorker());
    EXPECT_EQ(Dialog.RunCopy(Record, source, CopyImport, false), CopyComplete);
    EXPECT_EQ(ReadFileBytes(Imported()), bytes);

    EXPECT_EQ(Dialog.RunCopy(Record, Folders.Files() / L"missing.exe", CopyImport, false), CopyFailed);
    Record.InstallerInfo.InstallerPath = Imported();
    Record.InstallerInfo.AttachMode = 1;
    std::wstring out = OutFolder();
    EXPECT_EQ(Dialog.RunCopy(Record, out + L"setup.exe", CopyExport, false), CopyComplete);
    EXPECT_EQ(ReadFileBytes(out + L"setup.exe"), bytes);
    EXPECT_EQ(Dialog.GetDirection(), CopyExport);
    EXPECT_EQ(Boxes.Texts(), std::vector<std::wstring>{L"An error occured while importing the installer!"});
}

TEST(ExportNameTests, TakenNamesGetTheNextFreeNumber)
{
    CTempFolder folder;
    EXPECT_EQ(UniqueExportPath(folder / L"setup.exe"), folder / L"setup.exe");
    ASSERT_TRUE(WriteFileBytes(folder / L"setup.exe", "x"));
    ASSERT_TRUE(WriteFileBytes(folder / L"setup(1).exe", "x"));
    EXPECT_EQ(UniqueExportPath(folder / L"setup.exe"), folder / L"setup(2).exe");
    ASSERT_TRUE(CreateDirectoryW((folder / L"tools").c_str(), nullptr));
    EXPECT_EQ(UniqueExportPath(folder / L"tools"), folder / L"tools(1)") << "a folder takes the name too";
}

TEST_F(CopyTests, AnImportThatFailsMidCopyRemovesItsOwnPartialCopyAndNothingElse)
{
    GiveImportedInstaller("the earlier imported copy");
    // Files of others in the data folder, among them another record's import under way.
    const std::wstring otherTemporary = Folders.Path() + L"00000000-0000-0000-0000-000000000002_INSTALL.tmp";
    ASSERT_TRUE(WriteFileBytes(otherTemporary, "another import"));
    ASSERT_TRUE(WriteFileBytes(Folders.Path() + L"00000000-0000-0000-0000-000000000002", "a record"));
    std::vector<std::wstring> before = FolderEntries(Folders.Path());
    std::sort(before.begin(), before.end());

    std::wstring source = Source(PatternBytes(3 * CopyChunkSize, 41));
    bool partialSeen = false;
    CHoldWorker hold(Dialog, CopyStage::Chunk, 1);
    hold.AtHold = [&](HWND) {
        partialSeen = ReadFileBytes(Imported() + L".tmp").size() == CopyChunkSize;
        // The source is cut short meanwhile: the next read finds no data where the length said.
        CFileHandle writer(CreateFileW(source.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(writer.IsOpen());
        LARGE_INTEGER end{};
        end.QuadPart = CopyChunkSize;
        ASSERT_TRUE(SetFilePointerEx(writer.Get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(writer.Get()));
    };

    EXPECT_EQ(Dialog.RunCopy(Record, source, CopyImport, false), CopyFailed);

    EXPECT_TRUE(partialSeen) << "the partial copy was on the disk";
    EXPECT_FALSE(FileExistsAt(Imported() + L".tmp"));
    std::vector<std::wstring> after = FolderEntries(Folders.Path());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
    EXPECT_EQ(ReadFileBytes(Imported()), "the earlier imported copy");
    EXPECT_EQ(ReadFileBytes(otherTemporary), "another import");
    EXPECT_EQ(Boxes.Texts(), std::vector<std::wstring>{L"An error occured while importing the installer!"});
}

TEST_F(CopyTests, AnImportThatCannotWriteItsCopyLeavesAStrangersTemporaryAlone)
{
    // Another program's file stands where the partial copy would go and cannot be replaced.
    const std::wstring temporary = Imported() + L".tmp";
    ASSERT_TRUE(WriteFileBytes(temporary, "not ours"));
    CFileHandle holder(CreateFileW(temporary.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder.IsOpen());

    EXPECT_EQ(Dialog.RunCopy(Record, Source("new installer"), CopyImport, false), CopyFailed);
    holder.Close();

    EXPECT_EQ(ReadFileBytes(temporary), "not ours");
    EXPECT_FALSE(FileExistsAt(Imported()));
}

TEST_F(CopyTests, TheImportsRenameRidesOutAReaderOfTheEarlierCopy)
{
    CInUseWait wait(DefaultInUseWait);
    GiveImportedInstaller("the earlier imported copy");
    std::string bytes = PatternBytes(2 * CopyChunkSize + 5, 42);
    std::wstring source = Source(bytes);
    // A virus scanner looks at the earlier copy just as the new one is to take its name.
    std::unique_ptr<CBriefHolder> scanner;
    CHoldWorker hold(Dialog, CopyStage::Committing);
    hold.AtHold = [&](HWND) {
        scanner = std::make_unique<CBriefHolder>(Imported(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(scanner->WaitUntilHeld());
    };

    EXPECT_EQ(Dialog.RunCopy(Record, source, CopyImport, false), CopyComplete);

    ASSERT_TRUE(scanner);
    EXPECT_TRUE(scanner->Released()) << "the rename went through while the copy was held";
    EXPECT_TRUE(ReadFileBytes(Imported()) == bytes);
    EXPECT_FALSE(FileExistsAt(Imported() + L".tmp"));
    EXPECT_TRUE(Boxes.Shown().empty());
}
