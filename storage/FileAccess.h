#pragma once
// Whole-file reads and saves that never leave a damaged file behind.

#include <windows.h>

#include <functional>
#include <string>

// Owns one file handle.
class CFileHandle {
public:
    explicit CFileHandle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    ~CFileHandle() { Close(); }

    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE Get() const { return m_handle; }
    void Close()
    {
        if (IsOpen())
            CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle;
};

// Reads the whole file behind the handle; false when its size cannot be read or fewer bytes arrive.
bool ReadWholeFile(HANDLE file, std::string& bytes);

// UTF-8 up to the first NUL byte, as wide text; and wide text as UTF-8.
std::wstring DecodeUtf8(const std::string& bytes);
std::string EncodeUtf8(const std::wstring& text);

// Search indexers, virus scanners and backup or sync clients open a file for a moment, often just
// after it changed. Every open, replace, rename and delete of the program's own files therefore
// tries again for a while when such a program has the file, before the failure counts.
constexpr DWORD DefaultInUseWait = 2000;  // milliseconds
// How long to keep trying; returns the previous wait. Tests that hold a file for good shorten it.
DWORD SetInUseWait(DWORD milliseconds);
// What a failure may mean when another program has the file open just now. An open meets a
// sharing or lock violation, or a refusal while the file's deletion is pending. A rename, replace
// or delete is refused outright ("access denied") while any handle without delete sharing is open,
// so there that refusal counts too, unless the file is marked read-only.
enum class InUseRule { Open, Rename };
// Call it right after the failure; path is the file the operation changes.
bool IsFileInUseFailure(DWORD error, InUseRule rule = InUseRule::Open, const std::wstring& path = std::wstring());
// Runs attempt until it succeeds, fails for another reason, or the wait is over, pausing a little
// longer each time (10, 20, 40 ... ms). Returns the last result; GetLastError tells why it failed.
bool RetryWhileInUse(const std::function<bool()>& attempt, InUseRule rule = InUseRule::Open,
                     const std::wstring& path = std::wstring());
// CreateFileW (no security attributes, no template), DeleteFileW and MoveFileExW, retried so.
HANDLE CreateFileRetrying(const std::wstring& path, DWORD access, DWORD shareMode, DWORD disposition,
                          DWORD flags = FILE_ATTRIBUTE_NORMAL);
bool DeleteFileRetrying(const std::wstring& path);
bool MoveFileRetrying(const std::wstring& from, const std::wstring& to, DWORD flags);

// Whether the platform's error means the disk is full, or write-protected (read-only media).
bool IsDiskFullError(DWORD error);
bool IsWriteProtectError(DWORD error);

// Whether the existing file can be opened for writing with that sharing, as a save needs: false
// while another program holds it beyond the wait (or it is a folder or read-only).
bool CanOpenForWriting(const std::wstring& path, DWORD shareMode);

// Creates the folder part of path (up to its last backslash) when it is missing, one level only.
bool CreateFolderOf(const std::wstring& path);

// The file a save writes first: the target's path with ".tmp" appended.
std::wstring SaveTemporaryPath(const std::wstring& path);

// Writes bytes to the temporary file beside path (others may share as shareMode allows), checks
// that all of them were written and flushed, and only then puts the temporary file in place: over
// an existing file with ReplaceFileW, which keeps its attributes, ACL and creation time, or by a
// move where that is refused; a new file arrives by the move. Silent: callers report.
// On failure the old file is untouched, the temporary file is removed, and GetLastError tells what
// failed (a step made to fail by the hook below reports what the hook set, or ERROR_WRITE_FAULT).
bool SaveFileReplacing(const std::wstring& path, const std::string& bytes, DWORD shareMode);

// The steps of a save, for tests that make one of them fail as a full disk or a crash would.
// Replace is the whole last step; ReplaceInPlace only the ReplaceFileW of an existing file, whose
// refusal falls back to the move.
enum class SaveStep { CreateTemporary, Write, Flush, Replace, ReplaceInPlace };
// Called before each step; returning true makes that step fail, with the error the hook set (a
// test sets ERROR_DISK_FULL for a full disk), or ERROR_WRITE_FAULT when it set none. At Write the failing save has
// written half the bytes and stops as a process killed there would: the temporary file stays.
using SaveFaultHook = std::function<bool(SaveStep step, const std::wstring& path)>;
SaveFaultHook SetSaveFaultHook(SaveFaultHook hook);
