#pragma once
// Meta-data files in the data folder: one per record, named by its GUID text.
// An empty folder argument means the data folder of the settings.

#include <string>

#include "model/Software.h"

bool CreateSoftwareFile(const CSoftware& record, const std::wstring& folder = std::wstring());
// False after telling the user, once, whichever step failed.
bool SaveSoftwareFile(const CSoftware& record, const std::wstring& folder = std::wstring());
bool LoadSoftwareFile(CSoftware& record, const std::wstring& path);
bool DeleteSoftwareFile(const CSoftware& record, const std::wstring& folder = std::wstring());
// Number of records loaded, negated when some candidate failed.
int ScanDataFolder(CSoftwareArray& list, const std::wstring& folder = std::wstring(), bool clearFirst = true);

// Refreshes a loaded record's display icon; set by the installer layer, none until then.
extern void (*RefreshIconAfterLoad)(CSoftware& record);
