#include "storage/FileAccess.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace {
constexpr LONG StatusDeletePending = static_cast<LONG>(0xC0000056);

std::atomic<DWORD> InUseWait{DefaultInUseWait};

SaveFaultHook& FaultHook()
{
    static SaveFaultHook hook;
    return hook;
}

bool Fails(SaveStep step, const std::wstring& path)
{
    if (!FaultHook())
        return false;
    SetLastError(ERROR_SUCCESS);
    if (!FaultHook()(step, path))
        return false;
    if (GetLastError() == ERROR_SUCCESS)
        SetLastError(ERROR_WRITE_FAULT);
    return true;
}

// A file whose deletion is pending refuses every new open with a plain "access denied"; only the
// status the system keeps beside the error tells it from a real refusal.
LONG LastNtStatus()
{
    using Query = LONG(WINAPI*)();
    static const Query query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetLastNtStatus")));
    return query ? query() : 0;
}

// Keeps the error of a failed step across the clean-up that follows it.
class CKeepLastError {
public:
    CKeepLastError() : m_error(GetLastError()) {}
    ~CKeepLastError() { SetLastError(m_error); }

private:
    DWORD m_error;
};

bool WriteAll(HANDLE file, const char* data, size_t size)
{
    while (size > 0) {
        DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// ReplaceFileW keeps what the old file carried beyond its bytes; some file systems refuse it, and
// a target removed meanwhile makes it fail too: the move then does the job.
bool PutInPlace(const std::wstring& temporary, const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    bool existing = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (existing && !Fails(SaveStep::ReplaceInPlace, path) &&
        ReplaceFileW(path.c_str(), temporary.c_str(), nullptr,
                     REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr))
        return true;
    return MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
           FALSE;
}
}  // namespace

DWORD SetInUseWait(DWORD milliseconds)
{
    return InUseWait.exchange(milliseconds);
}

bool IsFileInUseFailure(DWORD error, InUseRule rule, const std::wstring& path)
{
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_DELETE_PENDING:
        return true;
    case ERROR_ACCESS_DENIED: {
        if (LastNtStatus() == StatusDeletePending)
            return true;
        if (rule != InUseRule::Rename)
            return false;
        const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
        return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY);
    }
    default:
        return false;
    }
}

bool RetryWhileInUse(const std::function<bool()>& attempt, InUseRule rule, const std::wstring& path)
{
    const DWORD start = GetTickCount();
    DWORD pause = 10;
    for (;;) {
        if (attempt())
            return true;
        const DWORD error = GetLastError();
        if (!IsFileInUseFailure(error, rule, path))
            return false;
        const DWORD waited = GetTickCount() - start;
        const DWORD wait = InUseWait.load();
        if (waited >= wait) {
            SetLastError(error);
            return false;
        }
        Sleep(std::min(pause, wait - waited));
        pause = std::min<DWORD>(pause * 2, 200);
    }
}

HANDLE CreateFileRetrying(const std::wstring& path, DWORD access, DWORD shareMode, DWORD disposition, DWORD flags)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    RetryWhileInUse([&] {
        file = CreateFileW(path.c_str(), access, shareMode, nullptr, disposition, flags, nullptr);
        return file != INVALID_HANDLE_VALUE;
    });
    return file;
}

bool DeleteFileRetrying(const std::wstring& path)
{
    return RetryWhileInUse([&] { return DeleteFileW(path.c_str()) != FALSE; }, InUseRule::Rename, path);
}

bool MoveFileRetrying(const std::wstring& from, const std::wstring& to, DWORD flags)
{
    return RetryWhileInUse([&] { return MoveFileExW(from.c_str(), to.c_str(), flags) != FALSE; }, InUseRule::Rename,
                           to);
}

bool IsDiskFullError(DWORD error)
{
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
}

bool IsWriteProtectError(DWORD error)
{
    return error == ERROR_WRITE_PROTECT;
}

SaveFaultHook SetSaveFaultHook(SaveFaultHook hook)
{
    return std::exchange(FaultHook(), std::move(hook));
}

bool ReadWholeFile(HANDLE file, std::string& bytes)
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0 || size.QuadPart > 0x7FFFFFFF)
        return false;
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    size_t got = 0;
    while (got < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file, &bytes[got], static_cast<DWORD>(bytes.size() - got), &read, nullptr) || read == 0)
            return false;
        got += read;
    }
    return true;
}

std::wstring DecodeUtf8(const std::string& bytes)
{
    size_t length = bytes.find('\0');
    if (length == std::string::npos)
        length = bytes.size();
    if (length == 0)
        return std::wstring();
    int units = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(length), nullptr, 0);
    if (units <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(length), &text[0], units);
    return text;
}

std::string EncodeUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    if (size <= 0)
        return std::string();
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

bool CanOpenForWriting(const std::wstring& path, DWORD shareMode)
{
    CFileHandle file(CreateFileRetrying(path, GENERIC_WRITE, shareMode, OPEN_EXISTING));
    return file.IsOpen();
}

bool CreateFolderOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos)
        return true;
    std::wstring folder = path.substr(0, slash + 1);
    DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    return CreateDirectoryW(folder.c_str(), nullptr) != FALSE;
}

std::wstring SaveTemporaryPath(const std::wstring& path)
{
    return path + L".tmp";
}

bool SaveFileReplacing(const std::wstring& path, const std::string& bytes, DWORD shareMode)
{
    const std::wstring temporary = SaveTemporaryPath(path);
    if (Fails(SaveStep::CreateTemporary, path))
        return false;
    CFileHandle file(CreateFileRetrying(temporary, GENERIC_WRITE, shareMode, CREATE_ALWAYS));
    if (!file.IsOpen())
        return false;
    if (Fails(SaveStep::Write, path)) {
        CKeepLastError keep;
        WriteAll(file.Get(), bytes.data(), bytes.size() / 2);
        return false;  // as if the process died here: the temporary file stays, the target is intact
    }
    bool written = WriteAll(file.Get(), bytes.data(), bytes.size());
    bool flushed = written && !Fails(SaveStep::Flush, path) && FlushFileBuffers(file.Get());
    {
        CKeepLastError keep;
        file.Close();
    }
    if (!flushed || Fails(SaveStep::Replace, path) ||
        !RetryWhileInUse([&] { return PutInPlace(temporary, path); }, InUseRule::Rename, path)) {
        CKeepLastError keep;
        DeleteFileRetrying(temporary);
        return false;
    }
    return true;
}
