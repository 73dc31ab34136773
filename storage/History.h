#pragma once
// The six autocomplete lists and their files in HistoryFolder.

#include <functional>
#include <string>

#include "framework/Array.h"
#include "model/Software.h"

class CHistoryLists {
public:
    CStringArray Company;
    CStringArray Website;
    CStringArray UserName;
    CStringArray UserCompany;
    CStringArray Email;
    CStringArray CodeName;
};

extern CHistoryLists HistoryLists;

void LoadHistoryLists();
void SaveHistoryLists();
void ClearHistoryLists();
// Appends the file's entries to list; -1 when it cannot be opened.
int ReadHistoryFile(const std::wstring& path, CStringArray& list);
// Rewrites the file from list; entries written, or -1 when it cannot be written.
int WriteHistoryFile(const std::wstring& path, const CStringArray& list);

// Which list a value went to, in the fixed order of the lists.
enum HistoryListId { HistoryCompany, HistoryWebsite, HistoryUserName, HistoryUserCompany, HistoryEmail, HistoryCodeName };

// Adds the record's Company, Website, UserName, UserCompany and UserEmail when not empty and not
// yet listed (a-z case ignored), telling onAdded of each, then saves all six lists.
void AddRecordToHistory(const CSoftware& record,
                        const std::function<void(HistoryListId, const std::wstring&)>& onAdded = {});
// Adds one code name by the same rule, without saving.
bool AddCodeNameToHistory(const std::wstring& codeName);
