#pragma once
// The icons of referenced installers, extracted when a card first needs one and kept in a bounded
// cache that owns them. Records hold only a shared icon or none, never an extracted handle: a
// catalogue of many thousands of installers must neither wait for every extraction at start-up
// nor hold one user object per record.

#include <windows.h>

#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>

#include "model/Software.h"

class CIconCache {
public:
    static constexpr size_t DefaultCapacity = 500;

    explicit CIconCache(size_t capacity = DefaultCapacity);
    CIconCache(const CIconCache&) = delete;
    CIconCache& operator=(const CIconCache&) = delete;
    ~CIconCache();

    // The icon a card of the record shows: a shared icon, or one the cache owns. Valid until the
    // cache forgets it or evicts it to make room: draw it at once and do not keep it.
    HICON IconFor(const CSoftware& record);
    // Drops what the cache remembers for the record's installer, so the next card extracts anew.
    void Forget(const CSoftware& record);
    // Destroys every icon the cache holds.
    void Clear();

    // Icons held (never more than the capacity).
    size_t Count() const { return m_iconCount; }
    size_t Capacity() const { return m_capacity; }
    // Extractions made since construction or the last Clear.
    size_t Extractions() const { return m_extractions; }

private:
    struct CEntry {
        std::wstring Key;
        HICON Icon;  // null: the source gives no icon
    };
    using CEntryList = std::list<CEntry>;

    // The icon of file at index, extracted on first use; null when it has none.
    HICON Lookup(const std::wstring& file, int32_t index);
    // The registered icon source of an upper-cased extension; false when there is none.
    bool RegisteredSource(const std::wstring& extension, std::wstring& file, int32_t& index);
    void Drop(const std::wstring& key);

    size_t m_capacity;
    size_t m_extractions = 0;
    // Most recently used first.
    CEntryList m_order;
    std::unordered_map<std::wstring, CEntryList::iterator> m_entries;
    // Entries that hold an icon; entries of sources without one count toward the bound too.
    size_t m_iconCount = 0;
    struct CSource {
        bool Found;
        std::wstring File;
        int32_t Index;
    };
    std::unordered_map<std::wstring, CSource> m_registered;
};

// The process's cache, used by the list boxes and by UpdateIcon.
extern CIconCache InstallerIcons;
