#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "storage/ZipArchive.h"

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

    CZipWriter many;
    for (size_t i = 0; i < ZipMaxEntries; ++i)
        ASSERT_TRUE(many.Add(std::to_string(i), "", Stamp));
    EXPECT_FALSE(many.Add("one too many", "", Stamp));

    CZipWriter full;
    for (size_t i = 0; i < ZipMaxEntries; ++i)
        ASSERT_TRUE(full.Add(std::to_string(i), "", Stamp));
    ASSERT_TRUE(full.Finish());
    std::vector<CZipItem> items;
    ASSERT_TRUE(ReadZipDirectory(full.Bytes(), items));
    EXPECT_EQ(items.size(), ZipMaxEntries);
    EXPECT_EQ(items.back().Name, std::to_string(ZipMaxEntries - 1));
}
