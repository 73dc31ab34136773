#include "storage/ZipArchive.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace {
constexpr uint32_t LocalHeaderSignature = 0x04034B50;
constexpr uint32_t CentralHeaderSignature = 0x02014B50;
constexpr uint32_t EndSignature = 0x06054B50;
constexpr uint32_t Zip64EndSignature = 0x06064B50;
constexpr uint32_t Zip64LocatorSignature = 0x07064B50;
constexpr size_t LocalHeaderSize = 30;
constexpr size_t CentralHeaderSize = 46;
constexpr size_t EndRecordSize = 22;
constexpr size_t Zip64EndRecordSize = 56;
constexpr size_t Zip64LocatorSize = 20;
constexpr uint16_t Zip64ExtraId = 0x0001;
constexpr uint16_t VersionNeeded = 20;      // 2.0: deflate
constexpr uint16_t Zip64VersionNeeded = 45;  // 4.5: the Zip64 records
constexpr uint16_t Marker16 = 0xFFFF;        // "the value is in the Zip64 record"
constexpr uint32_t Marker32 = 0xFFFFFFFF;
constexpr uint16_t Utf8NamesFlag = 0x0800;  // names are UTF-8, not the old code page
constexpr uint16_t EncryptedFlag = 0x0001;
constexpr uint16_t MethodStored = 0;
constexpr uint16_t MethodDeflated = 8;
constexpr size_t MaxNameLength = 0xFFFF;

void Put16(std::string& out, uint32_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

uint16_t Get16(const std::string& in, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(in[at]) | static_cast<uint8_t>(in[at + 1]) << 8);
}

void Put64(std::string& out, uint64_t value)
{
    Put32(out, static_cast<uint32_t>(value));
    Put32(out, static_cast<uint32_t>(value >> 32));
}

uint32_t Get32(const std::string& in, size_t at)
{
    return static_cast<uint32_t>(Get16(in, at)) | static_cast<uint32_t>(Get16(in, at + 2)) << 16;
}

uint64_t Get64(const std::string& in, size_t at)
{
    return static_cast<uint64_t>(Get32(in, at)) | static_cast<uint64_t>(Get32(in, at + 4)) << 32;
}

// Where the central directory lies and how many entries it holds, as the end records say.
struct CDirectory {
    uint64_t Count = 0;
    uint64_t Size = 0;
    uint64_t Offset = 0;
    uint64_t End = 0;  // where the end records start: the directory must lie before it
};

// A classic field agrees with its Zip64 counterpart when it holds the marker or the same value.
bool Agrees(uint64_t classic, uint64_t marker, uint64_t zip64)
{
    return classic == marker || classic == zip64;
}

// The Zip64 end record through its locator, right before the classic end record at `end`. False
// when there is none or it is unsound; every figure is checked against the bytes really there.
bool ReadZip64End(const std::string& archive, size_t end, CDirectory& directory)
{
    if (end < Zip64LocatorSize + Zip64EndRecordSize)
        return false;
    const size_t locator = end - Zip64LocatorSize;
    if (Get32(archive, locator) != Zip64LocatorSignature)
        return false;
    const uint32_t recordDisk = Get32(archive, locator + 4);
    const uint64_t record = Get64(archive, locator + 8);
    const uint32_t disks = Get32(archive, locator + 16);
    if (recordDisk != 0 || disks > 1 || record > locator - Zip64EndRecordSize ||
        Get32(archive, static_cast<size_t>(record)) != Zip64EndSignature)
        return false;
    const size_t at = static_cast<size_t>(record);
    // The record's own size leaves out its signature and this size field; extensible data may follow.
    const uint64_t recordSize = Get64(archive, at + 4);
    if (recordSize < Zip64EndRecordSize - 12 || recordSize > locator - at - 12)
        return false;
    const uint32_t disk = Get32(archive, at + 16);
    const uint32_t directoryDisk = Get32(archive, at + 20);
    const uint64_t onDisk = Get64(archive, at + 24);
    directory.Count = Get64(archive, at + 32);
    directory.Size = Get64(archive, at + 40);
    directory.Offset = Get64(archive, at + 48);
    directory.End = at;
    return disk == 0 && directoryDisk == 0 && onDisk == directory.Count;
}

// The central directory as the end record (and the Zip64 one, where the end record defers to it)
// describes it, checked to lie inside the archive and to have room for every entry it counts.
bool ReadDirectoryPlace(const std::string& archive, size_t end, CDirectory& directory)
{
    const uint16_t disk = Get16(archive, end + 4);
    const uint16_t directoryDisk = Get16(archive, end + 6);
    const uint16_t onDisk = Get16(archive, end + 8);
    const uint16_t count = Get16(archive, end + 10);
    const uint32_t size = Get32(archive, end + 12);
    const uint32_t offset = Get32(archive, end + 16);
    const bool deferred = disk == Marker16 || directoryDisk == Marker16 || onDisk == Marker16 || count == Marker16 ||
                          size == Marker32 || offset == Marker32;
    if (ReadZip64End(archive, end, directory)) {
        // Several disks stay refused: the classic figures say the same as the Zip64 ones, or defer.
        if (!Agrees(disk, Marker16, 0) || !Agrees(directoryDisk, Marker16, 0) ||
            !Agrees(onDisk, Marker16, directory.Count) || !Agrees(count, Marker16, directory.Count) ||
            !Agrees(size, Marker32, directory.Size) || !Agrees(offset, Marker32, directory.Offset))
            return false;
    } else {
        if (deferred || disk != 0 || directoryDisk != 0 || onDisk != count)
            return false;
        directory.Count = count;
        directory.Size = size;
        directory.Offset = offset;
        directory.End = end;
    }
    return directory.Offset <= directory.End && directory.Size <= directory.End - directory.Offset &&
           directory.Count <= directory.Size / CentralHeaderSize;
}

// The figures a central header defers to its Zip64 extra field (those holding the marker), in the
// order the format gives them. False when one is needed and missing, or the fields overrun.
bool ReadZip64Extra(const std::string& archive, size_t at, size_t length, uint64_t& size, uint64_t& compressedSize,
                    uint64_t& headerOffset, uint32_t& disk)
{
    const bool needed = size == Marker32 || compressedSize == Marker32 || headerOffset == Marker32 || disk == Marker16;
    const size_t end = at + length;
    while (end - at >= 4) {
        const uint16_t id = Get16(archive, at);
        const size_t fieldSize = Get16(archive, at + 2);
        at += 4;
        if (fieldSize > end - at)
            return !needed;
        if (id == Zip64ExtraId && needed) {
            size_t field = at;
            const size_t fieldEnd = at + fieldSize;
            for (uint64_t* value : {&size, &compressedSize, &headerOffset}) {
                if (*value != Marker32)
                    continue;
                if (fieldEnd - field < 8)
                    return false;
                *value = Get64(archive, field);
                field += 8;
            }
            if (disk == Marker16) {
                if (fieldEnd - field < 4)
                    return false;
                disk = Get32(archive, field);
            }
            return true;
        }
        at += fieldSize;
    }
    return !needed;
}

// The end record: the last signature that leaves room for the record and its comment.
bool FindEndRecord(const std::string& archive, size_t& at)
{
    if (archive.size() < EndRecordSize)
        return false;
    const size_t last = archive.size() - EndRecordSize;
    const size_t first = last > 0xFFFF ? last - 0xFFFF : 0;
    for (size_t pos = last + 1; pos-- > first;) {
        if (Get32(archive, pos) == EndSignature && pos + EndRecordSize + Get16(archive, pos + 20) <= archive.size()) {
            at = pos;
            return true;
        }
    }
    return false;
}

bool Inflate(const std::string& archive, const CZipItem& item, std::string& data)
{
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    const char* input = archive.data() + item.DataOffset;
    uint64_t inputLeft = item.CompressedSize;
    // The declared size is only a promise: grow as the output really arrives, and stop at one
    // byte beyond it.
    data.clear();
    char buffer[16384];
    int result = Z_OK;
    while (result == Z_OK) {
        if (stream.avail_in == 0 && inputLeft != 0) {
            // zlib counts its input in 32 bits: a Zip64 entry may hold more.
            const uInt chunk = static_cast<uInt>(std::min<uint64_t>(inputLeft, 1u << 30));
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input));
            stream.avail_in = chunk;
            input += chunk;
            inputLeft -= chunk;
        }
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        result = inflate(&stream, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END)
            break;
        data.append(buffer, sizeof buffer - stream.avail_out);
        if (data.size() > item.Size)
            break;
        if (result == Z_OK && stream.avail_in == 0 && inputLeft == 0 && stream.avail_out != 0) {
            result = Z_DATA_ERROR;  // the input ended before the stream did
            break;
        }
    }
    inflateEnd(&stream);
    return result == Z_STREAM_END && data.size() == item.Size;
}
}  // namespace

uint32_t ZipCrc32(const std::string& data)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    size_t done = 0;
    while (done < data.size()) {
        const uInt chunk = static_cast<uInt>(std::min<size_t>(data.size() - done, 1u << 30));
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data() + done), chunk);
        done += chunk;
    }
    return static_cast<uint32_t>(crc);
}

uint32_t ZipDosDateTime(int year, int month, int day, int hour, int minute, int second)
{
    if (year < 1980)
        return (1u << 5 | 1u) << 16;  // 1980-01-01 00:00, the earliest the format can say
    if (year > 2107)
        year = 2107;
    const uint32_t date = static_cast<uint32_t>((year - 1980) << 9 | month << 5 | day);
    const uint32_t time = static_cast<uint32_t>(hour << 11 | minute << 5 | second / 2);
    return date << 16 | time;
}

struct CZipWriter::CStream {
    z_stream Stream{};
    bool Ready = false;
};

CZipWriter::CZipWriter() : m_stream(new CStream)
{
    // The fastest level: each small file is deflated on its own, where higher levels gain almost
    // nothing (10,000 records: 4.98 MB at level 1, 4.90 MB at level 6) and cost time.
    m_stream->Ready = deflateInit2(&m_stream->Stream, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
}

CZipWriter::~CZipWriter()
{
    if (m_stream->Ready)
        deflateEnd(&m_stream->Stream);
    delete m_stream;
}

bool CZipWriter::Deflate(const std::string& data, std::string& out)
{
    if (!m_stream->Ready || deflateReset(&m_stream->Stream) != Z_OK)
        return false;
    z_stream& stream = m_stream->Stream;
    out.resize(deflateBound(&stream, static_cast<uLong>(data.size())));
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream.avail_out = static_cast<uInt>(out.size());
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END)
        return false;
    out.resize(out.size() - stream.avail_out);
    return true;
}

bool CZipWriter::Add(const std::string& name, const std::string& data, uint32_t dosDateTime)
{
    if (m_failed || m_finished || name.empty() || name.size() > MaxNameLength || data.size() >= ZipMaxArchiveSize) {
        m_failed = true;
        return false;
    }
    CZipItem item;
    item.Name = name;
    item.DosDateTime = dosDateTime;
    item.Crc = ZipCrc32(data);
    item.Size = data.size();
    std::string packed;
    if (!Deflate(data, packed)) {
        m_failed = true;
        return false;
    }
    const bool store = packed.size() >= data.size();
    item.Method = store ? MethodStored : MethodDeflated;
    const std::string& body = store ? data : packed;
    item.CompressedSize = body.size();

    const uint64_t offset = m_bytes.size();
    // Room is left for the central directory: its entry and the end records.
    if (offset + LocalHeaderSize + name.size() + body.size() + CentralHeaderSize + name.size() + Zip64EndRecordSize +
            Zip64LocatorSize + EndRecordSize >
        ZipMaxArchiveSize) {
        m_failed = true;
        return false;
    }
    Put32(m_bytes, LocalHeaderSignature);
    Put16(m_bytes, VersionNeeded);
    Put16(m_bytes, Utf8NamesFlag);
    Put16(m_bytes, item.Method);
    Put32(m_bytes, item.DosDateTime);  // time, then date: the low half comes first
    Put32(m_bytes, item.Crc);
    Put32(m_bytes, static_cast<uint32_t>(item.CompressedSize));
    Put32(m_bytes, static_cast<uint32_t>(item.Size));
    Put16(m_bytes, static_cast<uint32_t>(name.size()));
    Put16(m_bytes, 0);
    m_bytes += name;
    item.DataOffset = m_bytes.size();
    m_bytes += body;
    m_items.push_back(std::move(item));
    m_headerOffsets.push_back(static_cast<uint32_t>(offset));
    return true;
}

bool CZipWriter::Finish()
{
    if (m_failed || m_finished)
        return !m_failed && m_finished;
    const uint64_t directoryOffset = m_bytes.size();
    for (size_t i = 0; i < m_items.size(); ++i) {
        const CZipItem& item = m_items[i];
        Put32(m_bytes, CentralHeaderSignature);
        Put16(m_bytes, VersionNeeded);  // made by: MS-DOS attributes, version 2.0
        Put16(m_bytes, VersionNeeded);
        Put16(m_bytes, Utf8NamesFlag);
        Put16(m_bytes, item.Method);
        Put32(m_bytes, item.DosDateTime);
        Put32(m_bytes, item.Crc);
        Put32(m_bytes, static_cast<uint32_t>(item.CompressedSize));
        Put32(m_bytes, static_cast<uint32_t>(item.Size));
        Put16(m_bytes, static_cast<uint32_t>(item.Name.size()));
        Put16(m_bytes, 0);  // extra field
        Put16(m_bytes, 0);  // comment
        Put16(m_bytes, 0);  // disk
        Put16(m_bytes, 0);  // internal attributes
        Put32(m_bytes, 0);  // external attributes
        Put32(m_bytes, m_headerOffsets[i]);
        m_bytes += item.Name;
    }
    const uint64_t directorySize = m_bytes.size() - directoryOffset;
    // Every size and offset fits 32 bits (the archive stays under ZipMaxArchiveSize), so only a
    // count beyond the classic record's needs the Zip64 end record and its locator; then the
    // classic record holds the markers for the count and for the directory's place.
    const bool zip64 = m_items.size() > ZipMaxEntries;
    if (zip64) {
        const uint64_t record = m_bytes.size();
        Put32(m_bytes, Zip64EndSignature);
        Put64(m_bytes, Zip64EndRecordSize - 12);
        Put16(m_bytes, Zip64VersionNeeded);  // made by: MS-DOS attributes, version 4.5
        Put16(m_bytes, Zip64VersionNeeded);
        Put32(m_bytes, 0);  // disk
        Put32(m_bytes, 0);  // disk of the directory
        Put64(m_bytes, m_items.size());
        Put64(m_bytes, m_items.size());
        Put64(m_bytes, directorySize);
        Put64(m_bytes, directoryOffset);
        Put32(m_bytes, Zip64LocatorSignature);
        Put32(m_bytes, 0);  // disk of the Zip64 end record
        Put64(m_bytes, record);
        Put32(m_bytes, 1);  // disks in all
    }
    Put32(m_bytes, EndSignature);
    Put16(m_bytes, 0);  // disk numbers fit: no marker needed
    Put16(m_bytes, 0);
    Put16(m_bytes, zip64 ? Marker16 : static_cast<uint32_t>(m_items.size()));
    Put16(m_bytes, zip64 ? Marker16 : static_cast<uint32_t>(m_items.size()));
    Put32(m_bytes, zip64 ? Marker32 : static_cast<uint32_t>(directorySize));
    Put32(m_bytes, zip64 ? Marker32 : static_cast<uint32_t>(directoryOffset));
    Put16(m_bytes, 0);
    m_finished = true;
    return m_bytes.size() <= ZipMaxArchiveSize;
}

namespace {
bool ReadDirectoryItems(const std::string& archive, std::vector<CZipItem>& items)
{
    size_t end = 0;
    CDirectory directory;
    if (!FindEndRecord(archive, end) || !ReadDirectoryPlace(archive, end, directory))
        return false;

    size_t at = static_cast<size_t>(directory.Offset);
    const size_t directoryOffset = at;
    const size_t directoryEnd = static_cast<size_t>(directory.Offset + directory.Size);
    // Bounded by the directory's real size: every entry takes at least a header.
    items.reserve(static_cast<size_t>(directory.Count));
    for (uint64_t i = 0; i < directory.Count; ++i) {
        if (directoryEnd - at < CentralHeaderSize || Get32(archive, at) != CentralHeaderSignature)
            return false;
        CZipItem item;
        const uint16_t flags = Get16(archive, at + 8);
        item.Method = Get16(archive, at + 10);
        item.DosDateTime = Get32(archive, at + 12);
        item.Crc = Get32(archive, at + 16);
        item.CompressedSize = Get32(archive, at + 20);
        item.Size = Get32(archive, at + 24);
        const size_t nameLength = Get16(archive, at + 28);
        const size_t extraLength = Get16(archive, at + 30);
        const size_t commentLength = Get16(archive, at + 32);
        uint32_t disk = Get16(archive, at + 34);
        uint64_t headerOffset = Get32(archive, at + 42);
        if (nameLength + extraLength + commentLength > directoryEnd - at - CentralHeaderSize)
            return false;
        const size_t next = at + CentralHeaderSize + nameLength + extraLength + commentLength;
        if (!ReadZip64Extra(archive, at + CentralHeaderSize + nameLength, extraLength, item.Size, item.CompressedSize,
                            headerOffset, disk))
            return false;
        if (nameLength == 0 || (flags & EncryptedFlag) ||
            (item.Method != MethodStored && item.Method != MethodDeflated) || item.Size > ZipMaxEntrySize ||
            (item.Method == MethodStored && item.CompressedSize != item.Size))
            return false;
        item.Name = archive.substr(at + CentralHeaderSize, nameLength);
        if (item.Name.find('\0') != std::string::npos)
            return false;

        // The local header must agree on the name; its own sizes may be zero (data descriptor).
        if (headerOffset > directoryOffset || directoryOffset - headerOffset < LocalHeaderSize)
            return false;
        const size_t local = static_cast<size_t>(headerOffset);
        if (Get32(archive, local) != LocalHeaderSignature)
            return false;
        const size_t localName = Get16(archive, local + 26);
        const size_t localExtra = Get16(archive, local + 28);
        const uint64_t dataOffset = static_cast<uint64_t>(local) + LocalHeaderSize + localName + localExtra;
        if (localName != nameLength || dataOffset > directoryOffset ||
            item.CompressedSize > directoryOffset - dataOffset ||
            archive.compare(local + LocalHeaderSize, localName, item.Name) != 0)
            return false;
        item.DataOffset = dataOffset;
        items.push_back(std::move(item));
        at = next;
    }
    return true;
}
}  // namespace

bool ReadZipDirectory(const std::string& archive, std::vector<CZipItem>& items)
{
    items.clear();
    if (ReadDirectoryItems(archive, items))
        return true;
    items.clear();  // half a directory is no directory
    return false;
}

bool ExtractZipItem(const std::string& archive, const CZipItem& item, std::string& data)
{
    data.clear();
    if (item.DataOffset > archive.size() || item.CompressedSize > archive.size() - item.DataOffset ||
        item.Size > ZipMaxEntrySize)
        return false;
    if (item.Method == MethodStored) {
        if (item.CompressedSize != item.Size)
            return false;
        data.assign(archive, static_cast<size_t>(item.DataOffset), static_cast<size_t>(item.Size));
    } else if (item.Method != MethodDeflated || !Inflate(archive, item, data)) {
        data.clear();
        return false;
    }
    if (ZipCrc32(data) != item.Crc) {
        data.clear();
        return false;
    }
    return true;
}

bool ReadZip(const std::string& archive, std::vector<CZipEntry>& entries)
{
    entries.clear();
    std::vector<CZipItem> items;
    if (!ReadZipDirectory(archive, items))
        return false;
    entries.reserve(items.size());
    for (const CZipItem& item : items) {
        CZipEntry entry;
        entry.Name = item.Name;
        entry.DosDateTime = item.DosDateTime;
        if (!ExtractZipItem(archive, item, entry.Data)) {
            entries.clear();
            return false;
        }
        entries.push_back(std::move(entry));
    }
    return true;
}
