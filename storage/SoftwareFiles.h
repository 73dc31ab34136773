#pragma once
// Meta-data files in the data folder: one per record, named by its GUID text.
// An empty folder argument means the data folder of the settings.

#include <windows.h>

#include <string>

#include "model/Software.h"

// The data folder is never made again when it vanished while the program runs: a save into a
// missing folder tells the user, naming it, and fails.
bool CreateSoftwareFile(const CSoftware& record, const std::wstring& folder = std::wstring());
// False after telling the user, once, whichever step failed.
bool SaveSoftwareFile(const CSoftware& record, const std::wstring& folder = std::wstring());
bool LoadSoftwareFile(CSoftware& record, const std::wstring& path);
bool DeleteSoftwareFile(const CSoftware& record, const std::wstring& folder = std::wstring());
// Number of records loaded, negated when some candidate failed.
int ScanDataFolder(CSoftwareArray& list, const std::wstring& folder = std::wstring(), bool clearFirst = true);

// Texts of the meta-data files' failures. A save that fails says why where the platform knows:
// a full disk or a write-protected one; any other cause keeps the general text.
extern const wchar_t* const MetaDataOpenFailedText;
extern const wchar_t* const MetaDataDiskFullText;
extern const wchar_t* const MetaDataWriteProtectedText;
const wchar_t* MetaDataSaveFailedText(DWORD error);
std::wstring DataFolderMissingText(const std::wstring& folder);
// True after telling the user that the folder cannot be found; false when it is there.
bool ReportIfDataFolderMissing(const std::wstring& folder);

// Refreshes a loaded record's display icon; set by the installer layer, none until then.
extern void (*RefreshIconAfterLoad)(CSoftware& record);
