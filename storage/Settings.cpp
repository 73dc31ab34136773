#include "storage/Settings.h"

#include "framework/MessageBox.h"
#include "storage/FileAccess.h"
#include "storage/Paths.h"

namespace {
const wchar_t OpenFailedText[] =
    L"Sorry! The configuration file is unable to be opened, please restart the computer and try again.";

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
    CFileHandle handle(
        CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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
        ShowError(nullptr, OpenFailedText);
        return false;
    }
    return true;
}

bool CreateSettingsFile(const std::wstring& path)
{
    if (!CreateFolderOf(path))
        return false;
    CFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsOpen();
}
