#pragma once
// Reading and writing "settings.xml". An empty path means SettingsPath.

#include <string>

#include "storage/Configurations.h"

bool ReadSettings(CConfigurations& settings, const std::wstring& path = std::wstring());
// False after telling the user, once, whichever step failed.
bool WriteSettings(const CConfigurations& settings, const std::wstring& path = std::wstring());
bool CreateSettingsFile(const std::wstring& path);
