#pragma once
// Shared helpers of the storage tests under Wine.

#include <windows.h>

#include <string>

#include "storage/FileAccess.h"

// Opens the file for reading and writing without sharing, as another program holding it would.
inline HANDLE HoldFileExclusively(const std::wstring& path)
{
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// Makes every save whose target ends with the given name fail at one step while it lives.
class CSaveFault {
public:
    CSaveFault(SaveStep step, std::wstring nameSuffix)
    {
        m_previous = SetSaveFaultHook([step, nameSuffix, this](SaveStep at, const std::wstring& path) {
            bool matches = at == step && path.size() >= nameSuffix.size() &&
                           path.compare(path.size() - nameSuffix.size(), nameSuffix.size(), nameSuffix) == 0;
            if (matches)
                ++m_hits;
            return matches;
        });
    }
    CSaveFault(const CSaveFault&) = delete;
    CSaveFault& operator=(const CSaveFault&) = delete;
    ~CSaveFault() { SetSaveFaultHook(m_previous); }
    int Hits() const { return m_hits; }

private:
    SaveFaultHook m_previous;
    int m_hits = 0;
};
