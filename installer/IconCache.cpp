#include "installer/IconCache.h"

#include "installer/IconExtraction.h"
#include "installer/InstallerText.h"

CIconCache InstallerIcons;

namespace {
// File names compare without regard to case, so "C:\Setup.exe" and "c:\SETUP.EXE" share a handle.
std::wstring SourceKey(const std::wstring& file, int32_t index)
{
    std::wstring key = file;
    if (!key.empty())
        CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    key += L'|';
    key += std::to_wstring(index);
    return key;
}
}  // namespace

CIconCache::CIconCache(size_t capacity) : m_capacity(capacity ? capacity : 1) {}

CIconCache::~CIconCache()
{
    Clear();
}

HICON CIconCache::IconFor(const CSoftware& record)
{
    const CInstallerInfo& installer = record.InstallerInfo;
    if (installer.InstallerPath.empty())
        return static_cast<HICON>(NoInstallerIcon);
    // An imported copy is never opened for its icon.
    if (installer.AttachMode == 1)
        return static_cast<HICON>(ImportedIcon);
    if (CarriesOwnIcon(installer.InstallerPath)) {
        if (HICON icon = Lookup(installer.InstallerPath, 0))
            return icon;
    }
    std::wstring file;
    int32_t index = 0;
    if (RegisteredSource(UpperExtension(installer.InstallerPath), file, index)) {
        if (HICON icon = Lookup(file, index))
            return icon;
    }
    return static_cast<HICON>(FileIcon);
}

void CIconCache::Forget(const CSoftware& record)
{
    const std::wstring& path = record.InstallerInfo.InstallerPath;
    if (path.empty())
        return;
    Drop(SourceKey(path, 0));
    // The type may have been registered anew since; its icon itself stays shared with others.
    m_registered.erase(UpperExtension(path));
}

void CIconCache::Clear()
{
    for (CEntry& entry : m_order) {
        if (entry.Icon)
            DestroyIcon(entry.Icon);
    }
    m_order.clear();
    m_entries.clear();
    m_registered.clear();
    m_iconCount = 0;
    m_extractions = 0;
}

HICON CIconCache::Lookup(const std::wstring& file, int32_t index)
{
    std::wstring key = SourceKey(file, index);
    auto found = m_entries.find(key);
    if (found != m_entries.end()) {
        m_order.splice(m_order.begin(), m_order, found->second);
        return found->second->Icon;
    }
    while (!m_order.empty() && m_order.size() >= m_capacity)
        Drop(m_order.back().Key);
    HICON icon = ExtractIconAtSizes(file, index);
    ++m_extractions;
    m_order.push_front(CEntry{key, icon});
    m_entries.emplace(std::move(key), m_order.begin());
    if (icon)
        ++m_iconCount;
    return icon;
}

bool CIconCache::RegisteredSource(const std::wstring& extension, std::wstring& file, int32_t& index)
{
    auto found = m_registered.find(extension);
    if (found == m_registered.end()) {
        // Extensions are few; a catalogue of odd names must not grow this without end.
        if (m_registered.size() >= m_capacity)
            m_registered.clear();
        CSource source{false, std::wstring(), 0};
        source.Found = LookupDefaultIcon(extension, source.File, source.Index);
        found = m_registered.emplace(extension, std::move(source)).first;
    }
    if (!found->second.Found)
        return false;
    file = found->second.File;
    index = found->second.Index;
    return true;
}

void CIconCache::Drop(const std::wstring& key)
{
    auto found = m_entries.find(key);
    if (found == m_entries.end())
        return;
    CEntryList::iterator entry = found->second;
    if (entry->Icon) {
        DestroyIcon(entry->Icon);
        --m_iconCount;
    }
    m_entries.erase(found);
    m_order.erase(entry);
}
