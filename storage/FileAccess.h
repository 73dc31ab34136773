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

// Whether the existing file can be opened for writing with that sharing, as a save needs: false
// while another program holds it (or it is a folder or read-only).
bool CanOpenForWriting(const std::wstring& path, DWORD shareMode);

// Creates the folder part of path (up to its last backslash) when it is missing, one level only.
bool CreateFolderOf(const std::wstring& path);

// The file a save writes first: the target's path with ".tmp" appended.
std::wstring SaveTemporaryPath(const std::wstring& path);

// Writes bytes to the temporary file beside path (others may share as shareMode allows), checks
// that all of them were written and flushed, and only then puts the temporary file in place: over
// an existing file with ReplaceFileW, which keeps its attributes, ACL and creation time, or by a
// move where that is refused; a new file arrives by the move. Silent: callers report.
// On failure the old file is untouched and the temporary file is removed.
bool SaveFileReplacing(const std::wstring& path, const std::string& bytes, DWORD shareMode);

// The steps of a save, for tests that make one of them fail as a full disk or a crash would.
// Replace is the whole last step; ReplaceInPlace only the ReplaceFileW of an existing file, whose
// refusal falls back to the move.
enum class SaveStep { CreateTemporary, Write, Flush, Replace, ReplaceInPlace };
// Called before each step; returning true makes that step fail. At Write the failing save has
// written half the bytes and stops as a process killed there would: the temporary file stays.
using SaveFaultHook = std::function<bool(SaveStep step, const std::wstring& path)>;
SaveFaultHook SetSaveFaultHook(SaveFaultHook hook);
