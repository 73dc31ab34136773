#pragma once
// Zip archives in memory: local headers, central directory, CRC-32, deflate by zlib, and the Zip64
// end records once an archive holds more entries than the classic end record can count. Enough for
// the program's own backups and for reading any plain (unencrypted, single-disk) archive safely;
// everything else is refused rather than guessed at.

#include <cstdint>
#include <string>
#include <vector>

// One file of an archive. Names are UTF-8 with '/' between folders.
struct CZipEntry {
    std::string Name;
    std::string Data;
    uint32_t DosDateTime = 0;  // date in the high 16 bits, time in the low, as the format holds them
};

// An entry as the central directory describes it, before its data is inflated.
struct CZipItem {
    std::string Name;
    uint32_t DosDateTime = 0;
    uint16_t Method = 0;  // 0 stored, 8 deflated
    uint32_t Crc = 0;
    uint64_t CompressedSize = 0;
    uint64_t Size = 0;
    uint64_t DataOffset = 0;  // where the compressed bytes start, inside the archive
};

// The most entries the classic end record counts (0xFFFF marks a Zip64 archive); an archive with
// more gets the Zip64 end records, and one with at most this many stays a classic archive.
constexpr size_t ZipMaxEntries = 0xFFFE;
// The writer stops here, so that every size and offset in a local or central header fits its
// 32-bit field; the reader accepts larger offsets from other tools' Zip64 archives.
constexpr uint64_t ZipMaxArchiveSize = 0xFFFFFFFFull;
// What one entry may inflate to when read: far above any file the program keeps, far below
// what a hostile archive could claim.
constexpr uint32_t ZipMaxEntrySize = 256u << 20;

uint32_t ZipCrc32(const std::string& data);
// Date and time as the format stores them (years 1980 to 2107, two-second steps).
uint32_t ZipDosDateTime(int year, int month, int day, int hour, int minute, int second);

// Builds an archive entry by entry; each is deflated unless storing it is smaller.
class CZipWriter {
public:
    CZipWriter();
    ~CZipWriter();
    CZipWriter(const CZipWriter&) = delete;
    CZipWriter& operator=(const CZipWriter&) = delete;

    // False when the name is empty or too long, the archive would pass ZipMaxArchiveSize, or
    // compression failed; the archive is then unusable.
    bool Add(const std::string& name, const std::string& data, uint32_t dosDateTime);
    // Appends the central directory; the finished archive is Bytes().
    bool Finish();
    const std::string& Bytes() const { return m_bytes; }
    size_t EntryCount() const { return m_items.size(); }

private:
    bool Deflate(const std::string& data, std::string& out);

    struct CStream;
    CStream* m_stream = nullptr;
    std::string m_bytes;
    std::vector<CZipItem> m_items;
    std::vector<uint32_t> m_headerOffsets;
    bool m_failed = false;
    bool m_finished = false;
};

// Reads the central directory; false for anything but a sound archive of the supported kind.
bool ReadZipDirectory(const std::string& archive, std::vector<CZipItem>& items);
// Inflates one item and checks its size and CRC.
bool ExtractZipItem(const std::string& archive, const CZipItem& item, std::string& data);
// Every entry, in directory order; false (entries empty) when any of them is unsound.
bool ReadZip(const std::string& archive, std::vector<CZipEntry>& entries);
