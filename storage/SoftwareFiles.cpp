#include "storage/SoftwareFiles.h"

#include <memory>

#include "framework/MessageBox.h"
#include "storage/Configurations.h"
#include "storage/FileAccess.h"
#include "storage/Paths.h"
#include "storage/SoftwareText.h"

void (*RefreshIconAfterLoad)(CSoftware& record) = nullptr;

namespace {
const wchar_t OpenFailedText[] =
    L"Sorry! The meta-data file is unable to be opened, please restart the computer and try again.";

const std::wstring& FolderOrData(const std::wstring& folder)
{
    return folder.empty() ? Settings.DataFolder : folder;
}

// The folder exists as a directory, or a single-level create makes it.
bool EnsureFolder(const std::wstring& folder)
{
    return PathExists(folder, true) || CreateDirectoryW(folder.c_str(), nullptr);
}

bool IsMissingFileError(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}
}  // namespace

bool CreateSoftwareFile(const CSoftware& record, const std::wstring& folder)
{
    const std::wstring& dataFolder = FolderOrData(folder);
    if (!EnsureFolder(dataFolder))
        return false;
    std::wstring path = dataFolder + FormatSoftwareId(record);
    CFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsOpen();
}

namespace {
bool WriteSoftwareFile(const CSoftware& record, const std::wstring& dataFolder)
{
    // A record with a number outside its table or an unwritable price would give a file that
    // does not read back as written.
    if (!IsStorableRecord(record))
        return false;
    std::wstring path = dataFolder + FormatSoftwareId(record);
    if (PathExists(path, false)) {
        // The new text goes in beside the file; this only learns whether another program holds it.
        if (!CanOpenForWriting(path, 0))
            return false;
    } else if (!EnsureFolder(dataFolder)) {
        return false;
    }
    return SaveFileReplacing(path, EncodeUtf8(FormatSoftwareText(record)), 0);
}
}  // namespace

bool SaveSoftwareFile(const CSoftware& record, const std::wstring& folder)
{
    // Some callers, attach and detach among them, go on whatever the result: a change that did not
    // reach the disk is always told, once, whichever step failed.
    if (!WriteSoftwareFile(record, FolderOrData(folder))) {
        ShowError(nullptr, OpenFailedText);
        return false;
    }
    return true;
}

bool LoadSoftwareFile(CSoftware& record, const std::wstring& path)
{
    if (path.empty())
        return false;
    size_t slash = path.find_last_of(L'\\');
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    if (name.size() != 36)
        return false;
    CSoftware loaded;
    if (!ParseSoftwareId(name, loaded))
        return false;
    CFileHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) {
        // A file that is simply not there is no error worth a message.
        if (!IsMissingFileError(GetLastError()))
            ShowError(nullptr, OpenFailedText);
        return false;
    }
    std::string bytes;
    if (!ReadWholeFile(file.Get(), bytes))
        return false;
    file.Close();
    if (!ParseSoftwareText(DecodeUtf8(bytes), loaded))
        return false;
    record.ReleaseIcon();
    record = loaded;
    if (RefreshIconAfterLoad)
        RefreshIconAfterLoad(record);
    return true;
}

bool DeleteSoftwareFile(const CSoftware& record, const std::wstring& folder)
{
    std::wstring path = FolderOrData(folder) + FormatSoftwareId(record);
    return DeleteFileW(path.c_str()) != FALSE;
}

int ScanDataFolder(CSoftwareArray& list, const std::wstring& folder, bool clearFirst)
{
    const std::wstring& dataFolder = FolderOrData(folder);
    if (clearFirst)
        list.RemoveAll();
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((dataFolder + L"*-*-*-*-*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int loaded = 0;
    bool failed = false;
    do {
        std::wstring name = entry.cFileName;
        if (name.size() != 36)
            continue;
        auto record = std::make_unique<CSoftware>();
        if (LoadSoftwareFile(*record, dataFolder + name)) {
            list.Add(record.release());
            ++loaded;
        } else {
            failed = true;
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return failed ? -loaded : loaded;
}
