#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "storage/ZipArchive.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {
uint32_t At32(const std::string& bytes, size_t at)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

uint16_t At16(const std::string& bytes, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8);
}

std::string RandomBytes(size_t size, uint32_t seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

std::string Archive(const std::vector<CZipEntry>& entries)
{
    CZipWriter writer;
    for (const CZipEntry& entry : entries)
        EXPECT_TRUE(writer.Add(entry.Name, entry.Data, entry.DosDateTime));
    EXPECT_TRUE(writer.Finish());
    return writer.Bytes();
}

const uint32_t Stamp = ZipDosDateTime(2026, 12, 8, 15, 4, 6);
}  // namespace

TEST(ZipArchiveTests, CrcAndDosDateTimeMatchTheFormat)
{
    EXPECT_EQ(ZipCrc32(""), 0u);
    EXPECT_EQ(ZipCrc32("123456789"), 0xCBF43926u);  // the check value of the zip CRC
    EXPECT_EQ(Stamp, (uint32_t((2026 - 1980) << 9 | 12 << 5 | 8) << 16) | uint32_t(15 << 11 | 4 << 5 | 3));
    // Before the format's epoch it says its earliest date rather than wrapping around.
    EXPECT_EQ(ZipDosDateTime(1970, 1, 1, 0, 0, 0), uint32_t(1 << 5 | 1) << 16);
}

TEST(ZipArchiveTests, EntriesComeBackByteForByteStoredOrDeflated)
{
    const std::string text(5000, 'a');            // deflates well
    const std::string noise = RandomBytes(3000, 7);  // would grow: stored
    std::vector<CZipEntry> entries = {
        {"Backup.xml", "<Backup>\n</Backup>\n", Stamp},
        {"Data/6B29FC40-CA47-1067-B31D-00DD010662DA", text, Stamp},
        {"History/Company.his", noise, Stamp},
        {"History/Empty.his", "", Stamp},
        {"Daten/L\xC3\xBCmen", "umlaut in the name", Stamp},
    };
    const std::string archive = Archive(entries);

    std::vector<CZipItem> items;
    ASSERT_TRUE(ReadZipDirectory(archive, items));
    ASSERT_EQ(items.size(), entries.size());
    EXPECT_EQ(items[1].Method, 8);
    EXPECT_LT(items[1].CompressedSize, 200u);
    EXPECT_EQ(items[2].Method, 0);
    EXPECT_EQ(items[2].CompressedSize, 3000u);

    std::vector<CZipEntry> read;
    ASSERT_TRUE(ReadZip(archive, read));
    ASSERT_EQ(read.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(read[i].Name, entries[i].Name);
        EXPECT_EQ(read[i].Data, entries[i].Data) << entries[i].Name;
        EXPECT_EQ(read[i].DosDateTime, Stamp);
    }
}

TEST(ZipArchiveTests, HeadersSayWhatOtherToolsNeedToOpenTheArchive)
{
    const std::string archive = Archive({{"a.txt", std::string(100, 'x'), Stamp}, {"b.txt", "bee", Stamp}});
    // Local header: signature, version 2.0, UTF-8 names, deflate, time and date, CRC, sizes.
    EXPECT_EQ(At32(archive, 0), 0x04034B50u);
    EXPECT_EQ(At16(archive, 4), 20);
    EXPECT_EQ(At16(archive, 6), 0x0800);
    EXPECT_EQ(At16(archive, 8), 8);
    EXPECT_EQ(At32(archive, 10), Stamp);
    EXPECT_EQ(At32(archive, 14), ZipCrc32(std::string(100, 'x')));
    EXPECT_EQ(At32(archive, 22), 100u);
    EXPECT_EQ(archive.substr(30, 5), "a.txt");
    // End record: two entries, the directory right before it.
    const size_t end = archive.size() - 22;
    EXPECT_EQ(At32(archive, end), 0x06054B50u);
    EXPECT_EQ(At16(archive, end + 10), 2);
    EXPECT_EQ(At32(archive, end + 16) + At32(archive, end + 12), end);
    EXPECT_EQ(At32(archive, At32(archive, end + 16)), 0x02014B50u);

    // A plain inflater reads the first entry's data as raw deflate.
    const size_t dataAt = 30 + 5;
    std::string out(100, '\0');
    z_stream stream{};
    ASSERT_EQ(inflateInit2(&stream, -MAX_WBITS), Z_OK);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(archive.data() + dataAt));
    stream.avail_in = At32(archive, 18);
    stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream.avail_out = 100;
    EXPECT_EQ(inflate(&stream, Z_FINISH), Z_STREAM_END);
    inflateEnd(&stream);
    EXPECT_EQ(out, std::string(100, 'x'));
}

TEST(ZipArchiveTests, DamageAnywhereIsRefusedNeverReadAsData)
{
    const std::string good = Archive({{"one", std::string(2000, 'q') + "tail", Stamp}, {"two", "second", Stamp}});
    std::vector<CZipEntry> entries;
    ASSERT_TRUE(ReadZip(good, entries));

    // A flipped byte in the compressed data fails the CRC or the inflate.
    std::string flipped = good;
    flipped[40] = static_cast<char>(flipped[40] ^ 0x55);
    EXPECT_FALSE(ReadZip(flipped, entries));
    EXPECT_TRUE(entries.empty());

    // Cut short anywhere: no end record, or one that points past what is there.
    for (size_t cut : {size_t(0), size_t(10), good.size() / 2, good.size() - 1})
        EXPECT_FALSE(ReadZip(good.substr(0, cut), entries)) << cut;

    // A size that promises more than the data holds.
    std::string bigger = good;
    const size_t directory = At32(good, good.size() - 22 + 16);
    bigger[directory + 24] = static_cast<char>(bigger[directory + 24] + 1);
    EXPECT_FALSE(ReadZip(bigger, entries));

    // Encrypted entries and unknown methods are not guessed at.
    std::string encrypted = good;
    encrypted[directory + 8] = static_cast<char>(encrypted[directory + 8] | 1);
    EXPECT_FALSE(ReadZip(encrypted, entries));
    std::string method = good;
    method[directory + 10] = 12;  // bzip2
    EXPECT_FALSE(ReadZip(method, entries));

    // A central entry whose local header names another file.
    std::string renamed = good;
    renamed[30] = 'X';
    EXPECT_FALSE(ReadZip(renamed, entries));

    // A lone signature is no archive; an empty archive (the end record alone) is a sound one.
    EXPECT_FALSE(ReadZip(std::string("PK\x05\x06", 4), entries));
    CZipWriter empty;
    ASSERT_TRUE(empty.Finish());
    EXPECT_EQ(empty.Bytes().size(), 22u);
    EXPECT_TRUE(ReadZip(empty.Bytes(), entries));
    EXPECT_TRUE(entries.empty());
}

TEST(ZipArchiveTests, AnInflateBombStopsAtTheDeclaredSize)
{
    // One entry of 1 MiB of zeros declared as 100 bytes: the reader stops right past 100 bytes.
    std::vector<CZipEntry> entries = {{"zeros", std::string(1 << 20, '\0'), Stamp}};
    std::string archive = Archive(entries);
    const size_t directory = At32(archive, archive.size() - 22 + 16);
    archive[directory + 24] = 100;
    archive[directory + 25] = 0;
    archive[directory + 26] = 0;
    archive[directory + 27] = 0;
    std::vector<CZipItem> items;
    ASSERT_TRUE(ReadZipDirectory(archive, items));
    std::string data;
    EXPECT_FALSE(ExtractZipItem(archive, items[0], data));
    EXPECT_TRUE(data.empty());
}

TEST(ZipArchiveTests, TheWriterRefusesWhatTheFormatCannotHold)
{
    CZipWriter writer;
    EXPECT_FALSE(writer.Add("", "no name", Stamp));
    EXPECT_FALSE(writer.Add("after a failure", "x", Stamp));
    EXPECT_FALSE(writer.Finish());

    CZipWriter longName;
    EXPECT_FALSE(longName.Add(std::string(0x10000, 'n'), "", Stamp));
}

TEST(ZipArchiveTests, UpToTheClassicCountTheArchiveIsByteForByteWhatItWasBeforeZip64)
{
    // Size and CRC of the same archives as written before the writer knew Zip64.
    CZipWriter small;
    ASSERT_TRUE(small.Add("Backup.xml", "<Backup>\n</Backup>\n", Stamp));
    ASSERT_TRUE(small.Add("Data/x", std::string(5000, 'a'), Stamp));
    ASSERT_TRUE(small.Add("History/Empty.his", "", Stamp));
    ASSERT_TRUE(small.Finish());
    EXPECT_EQ(small.Bytes().size(), 370u);
    EXPECT_EQ(ZipCrc32(small.Bytes()), 0xB55FC1BBu);

    CZipWriter full;
    for (size_t i = 0; i < ZipMaxEntries; ++i)
        ASSERT_TRUE(full.Add("Data/" + std::to_string(i), std::string(i % 300, char('a' + i % 26)) + std::to_string(i),
                             Stamp));
    ASSERT_TRUE(full.Finish());
    const std::string& bytes = full.Bytes();
    EXPECT_EQ(bytes.size(), 6983295u);
    EXPECT_EQ(ZipCrc32(bytes), 0xB3924835u);
    EXPECT_EQ(At16(bytes, bytes.size() - 22 + 10), ZipMaxEntries);
    std::vector<CZipItem> items;
    ASSERT_TRUE(ReadZipDirectory(bytes, items));
    EXPECT_EQ(items.size(), ZipMaxEntries);
    EXPECT_EQ(items.back().Name, "Data/" + std::to_string(ZipMaxEntries - 1));
}

namespace {
std::string ManyEntries(size_t count)
{
    CZipWriter writer;
    for (size_t i = 0; i < count; ++i)
        EXPECT_TRUE(writer.Add("Data/" + std::to_string(i), "record " + std::to_string(i), Stamp));
    EXPECT_TRUE(writer.Finish());
    return writer.Bytes();
}

void Put16At(std::string& bytes, size_t at, uint32_t value)
{
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void Put32At(std::string& bytes, size_t at, uint32_t value)
{
    Put16At(bytes, at, value & 0xFFFF);
    Put16At(bytes, at + 2, value >> 16);
}

void Put64At(std::string& bytes, size_t at, uint64_t value)
{
    Put32At(bytes, at, static_cast<uint32_t>(value));
    Put32At(bytes, at + 4, static_cast<uint32_t>(value >> 32));
}

uint64_t At64(const std::string& bytes, size_t at)
{
    return At32(bytes, at) | static_cast<uint64_t>(At32(bytes, at + 4)) << 32;
}

std::string Le(uint64_t value, int size)
{
    std::string out;
    for (int i = 0; i < size; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

// One stored entry as another tool may write it: every size and the header offset deferred to a
// Zip64 extra field, then the Zip64 end record, its locator and a classic record of markers.
std::string ForeignZip64(const std::string& name, const std::string& data, const std::string& extra)
{
    const std::string local = Le(0x04034B50, 4) + Le(45, 2) + Le(0, 2) + Le(0, 2) + Le(Stamp, 4) +
                              Le(ZipCrc32(data), 4) + Le(0xFFFFFFFF, 4) + Le(0xFFFFFFFF, 4) + Le(name.size(), 2) +
                              Le(20, 2) + name + Le(1, 2) + Le(16, 2) + Le(data.size(), 8) + Le(data.size(), 8);
    std::string archive = local + data;
    const uint64_t directory = archive.size();
    archive += Le(0x02014B50, 4) + Le(45, 2) + Le(45, 2) + Le(0, 2) + Le(0, 2) + Le(Stamp, 4) + Le(ZipCrc32(data), 4) +
               Le(0xFFFFFFFF, 4) + Le(0xFFFFFFFF, 4) + Le(name.size(), 2) + Le(extra.size(), 2) + Le(0, 2) +
               Le(0, 2) + Le(0, 2) + Le(0, 4) + Le(0xFFFFFFFF, 4) + name + extra;
    const uint64_t record = archive.size();
    archive += Le(0x06064B50, 4) + Le(44, 8) + Le(45, 2) + Le(45, 2) + Le(0, 4) + Le(0, 4) + Le(1, 8) + Le(1, 8) +
               Le(record - directory, 8) + Le(directory, 8);
    archive += Le(0x07064B50, 4) + Le(0, 4) + Le(record, 8) + Le(1, 4);
    archive += Le(0x06054B50, 4) + Le(0, 2) + Le(0, 2) + Le(0xFFFF, 2) + Le(0xFFFF, 2) + Le(0xFFFFFFFF, 4) +
               Le(0xFFFFFFFF, 4) + Le(0, 2);
    return archive;
}
}  // namespace

TEST(ZipArchiveTests, SeventyThousandEntriesRoundTripThroughTheZip64EndRecords)
{
    const size_t count = 70000;
    const std::string archive = ManyEntries(count);

    // The classic record defers to the Zip64 one, which its locator finds right before it.
    const size_t end = archive.size() - 22;
    EXPECT_EQ(At32(archive, end), 0x06054B50u);
    EXPECT_EQ(At16(archive, end + 4), 0);
    EXPECT_EQ(At16(archive, end + 8), 0xFFFF);
    EXPECT_EQ(At16(archive, end + 10), 0xFFFF);
    EXPECT_EQ(At32(archive, end + 12), 0xFFFFFFFFu);
    EXPECT_EQ(At32(archive, end + 16), 0xFFFFFFFFu);
    const size_t locator = end - 20;
    EXPECT_EQ(At32(archive, locator), 0x07064B50u);
    EXPECT_EQ(At32(archive, locator + 16), 1u);
    const size_t record = static_cast<size_t>(At64(archive, locator + 8));
    ASSERT_EQ(record, locator - 56);
    EXPECT_EQ(At32(archive, record), 0x06064B50u);
    EXPECT_EQ(At64(archive, record + 4), 44u);
    EXPECT_EQ(At16(archive, record + 14), 45);
    EXPECT_EQ(At64(archive, record + 24), count);
    EXPECT_EQ(At64(archive, record + 32), count);
    const uint64_t directory = At64(archive, record + 48);
    EXPECT_EQ(directory + At64(archive, record + 40), record);
    EXPECT_EQ(At32(archive, static_cast<size_t>(directory)), 0x02014B50u);

    std::vector<CZipEntry> entries;
    ASSERT_TRUE(ReadZip(archive, entries));
    ASSERT_EQ(entries.size(), count);
    for (size_t i : {size_t(0), size_t(0xFFFE), size_t(0xFFFF), count - 1}) {
        EXPECT_EQ(entries[i].Name, "Data/" + std::to_string(i));
        EXPECT_EQ(entries[i].Data, "record " + std::to_string(i));
    }

#ifndef _WIN32
    // Another tool's reader takes it as well.
    if (std::system("unzip -v >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "unzip is not installed";
    const std::string path = ::testing::TempDir() + "zip64-" + std::to_string(::getpid()) + ".zip";
    {
        std::ofstream file(path, std::ios::binary);
        file.write(archive.data(), static_cast<std::streamsize>(archive.size()));
        ASSERT_TRUE(file.good());
    }
    const int tested = std::system(("unzip -tqq '" + path + "' >/dev/null 2>&1").c_str());
    std::remove(path.c_str());
    EXPECT_EQ(tested, 0);
#endif
}

TEST(ZipArchiveTests, Zip64FiguresFromOtherToolsAreReadAndCheckedLikeTheClassicOnes)
{
    const std::string data = "stored by another tool";
    const std::string extra = Le(1, 2) + Le(24, 2) + Le(data.size(), 8) + Le(data.size(), 8) + Le(0, 8);
    std::vector<CZipEntry> entries;
    ASSERT_TRUE(ReadZip(ForeignZip64("a.txt", data, extra), entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Data, data);
    // Another extra field first is skipped.
    ASSERT_TRUE(ReadZip(ForeignZip64("a.txt", data, Le(0x5455, 2) + Le(5, 2) + std::string(5, '\1') + extra), entries));

    // The deferred figures must be there, and say what the data is.
    EXPECT_FALSE(ReadZip(ForeignZip64("a.txt", data, ""), entries));
    EXPECT_FALSE(ReadZip(ForeignZip64("a.txt", data, Le(1, 2) + Le(16, 2) + Le(data.size(), 8) + Le(data.size(), 8)),
                         entries));
    EXPECT_FALSE(ReadZip(ForeignZip64("a.txt", data, Le(1, 2) + Le(40, 2) + extra.substr(4)), entries));
    const std::string longer = Le(1, 2) + Le(24, 2) + Le(data.size() + 1, 8) + Le(data.size() + 1, 8) + Le(0, 8);
    EXPECT_FALSE(ReadZip(ForeignZip64("a.txt", data, longer), entries));
    const std::string huge = Le(1, 2) + Le(24, 2) + Le(1ull << 62, 8) + Le(1ull << 62, 8) + Le(0, 8);
    EXPECT_FALSE(ReadZip(ForeignZip64("a.txt", data, huge), entries));
    const std::string farOffset = Le(1, 2) + Le(24, 2) + Le(data.size(), 8) + Le(data.size(), 8) + Le(~0ull - 10, 8);
    EXPECT_FALSE(ReadZip(ForeignZip64("a.txt", data, farOffset), entries));
    EXPECT_TRUE(entries.empty());
}

TEST(ZipArchiveTests, HostileZip64EndRecordsAreRefusedBeforeAnythingIsAllocated)
{
    const std::string good = ManyEntries(0x10000);
    std::vector<CZipItem> items;
    ASSERT_TRUE(ReadZipDirectory(good, items));
    const size_t end = good.size() - 22;
    const size_t locator = end - 20;
    const size_t record = locator - 56;

    auto refused = [&](const char* what, auto change) {
        std::string bad = good;
        change(bad);
        std::vector<CZipItem> read;
        EXPECT_FALSE(ReadZipDirectory(bad, read)) << what;
        EXPECT_TRUE(read.empty()) << what;
    };
    // Counts far beyond what the directory could hold, or just one beyond what it does.
    refused("huge count", [&](std::string& b) { Put64At(b, record + 24, 1ull << 60); Put64At(b, record + 32, 1ull << 60); });
    refused("one more", [&](std::string& b) { Put64At(b, record + 24, 0x10001); Put64At(b, record + 32, 0x10001); });
    refused("disks disagree", [&](std::string& b) { Put64At(b, record + 24, 0x0FFFF); });
    // The directory's place outside the archive, or overlapping the end records.
    refused("offset beyond", [&](std::string& b) { Put64At(b, record + 48, ~0ull - 5); });
    refused("size beyond", [&](std::string& b) { Put64At(b, record + 40, 1ull << 40); });
    refused("size into the record", [&](std::string& b) { Put64At(b, record + 40, At64(good, record + 40) + 1); });
    // A locator pointing outside, or at something that is no Zip64 end record.
    refused("locator beyond", [&](std::string& b) { Put64At(b, locator + 8, 1ull << 50); });
    refused("locator into itself", [&](std::string& b) { Put64At(b, locator + 8, locator); });
    refused("locator too early", [&](std::string& b) { Put64At(b, locator + 8, record - 1); });
    refused("record size overruns", [&](std::string& b) { Put64At(b, record + 4, 1ull << 40); });
    refused("record too short", [&](std::string& b) { Put64At(b, record + 4, 20); });
    refused("no locator", [&](std::string& b) { b[locator] = 'X'; });
    // Several disks stay refused.
    refused("record on another disk", [&](std::string& b) { Put32At(b, locator + 4, 1); });
    refused("two disks", [&](std::string& b) { Put32At(b, locator + 16, 2); });
    refused("directory disk", [&](std::string& b) { Put32At(b, record + 20, 1); });
    refused("classic disk", [&](std::string& b) { Put16At(b, end + 4, 1); });
    // A classic figure that is neither the marker nor the Zip64 figure.
    refused("classic count", [&](std::string& b) { Put16At(b, end + 10, 5); Put16At(b, end + 8, 5); });
    refused("classic offset", [&](std::string& b) { Put32At(b, end + 16, 0); });

    // Cut short anywhere near the end records: nothing is read.
    for (size_t cut = 1; cut <= 100; ++cut) {
        std::vector<CZipItem> read;
        EXPECT_FALSE(ReadZipDirectory(good.substr(0, good.size() - cut), read)) << cut;
    }
}
