#include "storage/History.h"

#include "model/TextRules.h"
#include "storage/FileAccess.h"
#include "storage/HistoryText.h"
#include "storage/Paths.h"

CHistoryLists HistoryLists;

namespace {
struct HistoryFile {
    CStringArray CHistoryLists::*List;
    const wchar_t* Name;
};

// The fixed order in which every operation handles the lists.
const HistoryFile HistoryFiles[] = {
    {&CHistoryLists::Company, L"Company.his"},         {&CHistoryLists::Website, L"Website.his"},
    {&CHistoryLists::UserName, L"UserName.his"},       {&CHistoryLists::UserCompany, L"UserCompany.his"},
    {&CHistoryLists::Email, L"Email.his"},             {&CHistoryLists::CodeName, L"CodeName.his"},
};

bool AddIfNew(CStringArray& list, const std::wstring& value)
{
    if (value.empty() || FindText(list, value, true) != -1)
        return false;
    list.Add(value);
    return true;
}
}  // namespace

void ClearHistoryLists()
{
    for (const HistoryFile& file : HistoryFiles)
        (HistoryLists.*file.List).RemoveAll();
}

void LoadHistoryLists()
{
    ClearHistoryLists();
    if (!FolderExists(HistoryFolder, true)) {
        CreateDirectoryW(HistoryFolder.c_str(), nullptr);
        return;
    }
    for (const HistoryFile& file : HistoryFiles)
        ReadHistoryFile(HistoryFolder + file.Name, HistoryLists.*file.List);
}

void SaveHistoryLists()
{
    if (!FolderExists(HistoryFolder, true))
        CreateDirectoryW(HistoryFolder.c_str(), nullptr);
    for (const HistoryFile& file : HistoryFiles)
        WriteHistoryFile(HistoryFolder + file.Name, HistoryLists.*file.List);
}

int ReadHistoryFile(const std::wstring& path, CStringArray& list)
{
    CFileHandle file(CreateFileRetrying(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    if (!file.IsOpen())
        return -1;
    std::string bytes;
    if (!ReadWholeFile(file.Get(), bytes))
        return 0;
    int before = list.GetSize();
    ParseHistoryBytes(bytes, list);
    return list.GetSize() - before;
}

int WriteHistoryFile(const std::wstring& path, const CStringArray& list)
{
    if (PathExists(path, true))
        return -1;
    if (PathExists(path, false) && !CanOpenForWriting(path, FILE_SHARE_READ))
        return -1;
    if (!SaveFileReplacing(path, FormatHistoryBytes(list), FILE_SHARE_READ))
        return -1;
    return list.GetSize();
}

void AddRecordToHistory(const CSoftware& record,
                        const std::function<void(HistoryListId, const std::wstring&)>& onAdded)
{
    const std::pair<HistoryListId, const std::wstring*> fields[] = {
        {HistoryCompany, &record.BasicInfo.Company},    {HistoryWebsite, &record.BasicInfo.Website},
        {HistoryUserName, &record.RegInfo.UserName},    {HistoryUserCompany, &record.RegInfo.UserCompany},
        {HistoryEmail, &record.RegInfo.UserEmail},
    };
    for (const auto& field : fields) {
        CStringArray& list = HistoryLists.*HistoryFiles[field.first].List;
        if (AddIfNew(list, *field.second) && onAdded)
            onAdded(field.first, *field.second);
    }
    SaveHistoryLists();
}

bool AddCodeNameToHistory(const std::wstring& codeName)
{
    return AddIfNew(HistoryLists.CodeName, codeName);
}
