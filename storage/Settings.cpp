#include "storage/Settings.h"

#include "framework/MessageBox.h"
#include "storage/FileAccess.h"
#include "storage/Paths.h"

namespace {
const wchar_t OpenFailedText[] =
    L"Sorry! The configuration file is unable to be opened, please restart the computer and try again.";
const wchar_t DiskFullText[] =
    L"Sorry! The configuration file is unable to be saved because the disk is full, please free some space on it "
    L"and try again.";
const wchar_t WriteProtectedText[] =
    L"Sorry! The configuration file is unable to be saved because the disk is write-protected, please make it "
    L"writable and try again.";

const wchar_t* SaveFailedText(DWORD error)
{
    if (IsDiskFullError(error))
        return DiskFullText;
    if (IsWriteProtectError(error))
        return WriteProtectedText;
    return OpenFailedText;
}

const std::wstring& PathOrDefault(const std::wstring& path)
{
    return path.empty() ? SettingsPath : path;
}
}  // namespace

bool ReadSettings(CConfigurations& settings, const std::wstring& path)
{
    const std::wstring& file = PathOrDefault(path);
    if (!PathExists(file, false))
        return false;
    // Two readers never need to exclude each other.
    CFileHandle handle(CreateFileRetrying(file, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    if (!handle.IsOpen()) {
        ShowError(nullptr, OpenFailedText);
        return false;
    }
    std::string bytes;
    if (!ReadWholeFile(handle.Get(), bytes))
        return false;
    handle.Close();
    return ParseSettingsText(DecodeUtf8(bytes), settings);
}

namespace {
// False with GetLastError telling why.
bool SaveSettingsFile(const CConfigurations& settings, const std::wstring& file)
{
    if (PathExists(file, false)) {
        // The new text goes in beside the file; this only learns whether another program holds it.
        if (!CanOpenForWriting(file, 0))
            return false;
    } else if (!CreateFolderOf(file)) {
        return false;
    }
    return SaveFileReplacing(file, EncodeUtf8(FormatSettingsText(settings)), 0);
}
}  // namespace

bool WriteSettings(const CConfigurations& settings, const std::wstring& path)
{
    // Whichever step failed, the settings did not reach the disk: say so once.
    if (!SaveSettingsFile(settings, PathOrDefault(path))) {
        ShowError(nullptr, SaveFailedText(GetLastError()));
        return false;
    }
    return true;
}

bool CreateSettingsFile(const std::wstring& path)
{
    if (!CreateFolderOf(path))
        return false;
    CFileHandle file(CreateFileRetrying(path, GENERIC_WRITE, 0, CREATE_NEW));
    return file.IsOpen();
}
