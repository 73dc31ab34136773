#include "storage/FileAccess.h"

#include <utility>

namespace {
SaveFaultHook& FaultHook()
{
    static SaveFaultHook hook;
    return hook;
}

bool Fails(SaveStep step, const std::wstring& path)
{
    return FaultHook() && FaultHook()(step, path);
}

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
    CFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, shareMode, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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
    CFileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, shareMode, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen())
        return false;
    if (Fails(SaveStep::Write, path)) {
        WriteAll(file.Get(), bytes.data(), bytes.size() / 2);
        return false;  // as if the process died here: the temporary file stays, the target is intact
    }
    bool written = WriteAll(file.Get(), bytes.data(), bytes.size());
    bool flushed = written && !Fails(SaveStep::Flush, path) && FlushFileBuffers(file.Get());
    file.Close();
    if (!flushed || Fails(SaveStep::Replace, path) || !PutInPlace(temporary, path)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}
