#pragma once
// Records, lists and icon bookkeeping for the model tests.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/Catalogue.h"

// Records that outlive the lists a test sorts or groups.
class CRecordPool {
public:
    CSoftware* New()
    {
        m_records.push_back(std::make_unique<CSoftware>());
        return m_records.back().get();
    }
    CSoftware* Named(const std::wstring& name)
    {
        CSoftware* record = New();
        record->BasicInfo.Name = name;
        return record;
    }

private:
    std::vector<std::unique_ptr<CSoftware>> m_records;
};

inline std::vector<CSoftware*> Contents(const CSoftwareArray& list)
{
    return list.Items();
}

inline void Fill(CSoftwareArray& list, const std::vector<CSoftware*>& records)
{
    list.Items() = records;
}

// A stand-in icon handle that no platform function ever sees.
inline IconHandle FakeIcon(uintptr_t n)
{
    return reinterpret_cast<IconHandle>(0x10000 + n * 16);
}

// Records which icons the records destroy while it lives; puts the real destroyer back after.
class CIconRecorder {
public:
    CIconRecorder() : m_previous(SetIconDestroyer(&CIconRecorder::Record)) { Destroyed().clear(); }
    CIconRecorder(const CIconRecorder&) = delete;
    CIconRecorder& operator=(const CIconRecorder&) = delete;
    ~CIconRecorder() { SetIconDestroyer(m_previous); }

    static std::vector<IconHandle>& Destroyed()
    {
        static std::vector<IconHandle> destroyed;
        return destroyed;
    }

private:
    static void Record(IconHandle icon) { Destroyed().push_back(icon); }
    IconDestroyer m_previous;
};

// Sets the three shared icons for a test and restores them after.
class CSharedIcons {
public:
    CSharedIcons(IconHandle noInstaller, IconHandle file, IconHandle imported)
        : m_saved{NoInstallerIcon, FileIcon, ImportedIcon}
    {
        NoInstallerIcon = noInstaller;
        FileIcon = file;
        ImportedIcon = imported;
    }
    CSharedIcons(const CSharedIcons&) = delete;
    CSharedIcons& operator=(const CSharedIcons&) = delete;
    ~CSharedIcons()
    {
        NoInstallerIcon = m_saved[0];
        FileIcon = m_saved[1];
        ImportedIcon = m_saved[2];
    }

private:
    IconHandle m_saved[3];
};
