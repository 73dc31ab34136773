#include "storage/SoftwareFiles.h"

#include <memory>

#include "framework/MessageBox.h"
#include "storage/Configurations.h"
#include "storage/FileAccess.h"
#include "storage/Paths.h"
#include "storage/SoftwareText.h"

void (*RefreshIconAfterLoad)(CSoftware& record) = nullptr;

const wchar_t* const MetaDataOpenFailedText =
    L"Sorry! The meta-data file is unable to be opened, please restart the computer and try again.";
const wchar_t* const MetaDataDiskFullText =
    L"Sorry! The meta-data file is unable to be saved because the disk is full, please free some space on it "
    L"and try again.";
const wchar_t* const MetaDataWriteProtectedText =
    L"Sorry! The meta-data file is unable to be saved because the disk is write-protected, please make it "
    L"writable and try again.";

std::wstring DataFolderMissingText(const std::wstring& folder)
{
    // Named as Explorer shows it: without the closing backslash, except for a drive's root.
    std::wstring shown = folder;
    if (shown.size() > 3 && shown.back() == L'\\')
        shown.pop_back();
    return L"Sorry! The data folder \"" + shown +
           L"\" can't be found, please make sure it is available and try again.";
}

bool ReportIfDataFolderMissing(const std::wstring& folder)
{
    if (FolderExists(folder, true))
        return false;
    ShowError(nullptr, DataFolderMissingText(folder));
    return true;
}

const wchar_t* MetaDataSaveFailedText(DWORD error)
{
    if (IsDiskFullError(error))
        return MetaDataDiskFullText;
    if (IsWriteProtectError(error))
        return MetaDataWriteProtectedText;
    return MetaDataOpenFailedText;
}

namespace {
const std::wstring& FolderOrData(const std::wstring& folder)
{
    return folder.empty() ? Settings.DataFolder : folder;
}

bool IsMissingFileError(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}
}  // namespace

bool CreateSoftwareFile(const CSoftware& record, const std::wstring& folder)
{
    // A data folder that vanished (a drive pulled out, the folder moved away) is not made again:
    // a new one would hold only this record, and the catalogue would seem lost.
    const std::wstring& dataFolder = FolderOrData(folder);
    if (!FolderExists(dataFolder, true))
        return false;
    CFileHandle file(CreateFileRetrying(dataFolder + FormatSoftwareId(record), GENERIC_WRITE, 0, CREATE_NEW));
    return file.IsOpen();
}

namespace {
// False with GetLastError telling why.
bool WriteSoftwareFile(const CSoftware& record, const std::wstring& dataFolder)
{
    // A record with a number outside its table or an unwritable price would give a file that
    // does not read back as written.
    if (!IsStorableRecord(record)) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    std::wstring path = dataFolder + FormatSoftwareId(record);
    // The new text goes in beside the file; this only learns whether another program holds it.
    // A file whose pending deletion ended meanwhile is simply written anew.
    if (PathExists(path, false) && !CanOpenForWriting(path, 0) && !IsMissingFileError(GetLastError()))
        return false;
    return SaveFileReplacing(path, EncodeUtf8(FormatSoftwareText(record)), 0);
}
}  // namespace

bool SaveSoftwareFile(const CSoftware& record, const std::wstring& folder)
{
    // Some callers, attach and detach among them, go on whatever the result: a change that did not
    // reach the disk is always told, once, whichever step failed.
    const std::wstring& dataFolder = FolderOrData(folder);
    if (ReportIfDataFolderMissing(dataFolder))
        return false;
    if (!WriteSoftwareFile(record, dataFolder)) {
        ShowError(nullptr, MetaDataSaveFailedText(GetLastError()));
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
    // Two readers never need to exclude each other.
    CFileHandle file(CreateFileRetrying(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    if (!file.IsOpen()) {
        // A file that is simply not there is no error worth a message.
        if (!IsMissingFileError(GetLastError()))
            ShowError(nullptr, MetaDataOpenFailedText);
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
    return DeleteFileRetrying(path);
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
