#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "installer/InstallerText.h"

namespace {
struct CSplit {
    std::wstring Stem;
    std::wstring Extension;
};

CSplit Split(const std::wstring& path)
{
    CSplit split;
    SplitExtension(path, split.Stem, split.Extension);
    return split;
}
}  // namespace

TEST(InstallerTextTests, ImportedCopyIsNamedByTheRecordsGuid)
{
    CSoftware record;
    record.Id.Data1 = 0x0123ABCD;
    record.Id.Data2 = 0x00EF;
    record.Id.Data3 = 0xBEEF;
    for (int i = 0; i < 8; ++i)
        record.Id.Data4[i] = static_cast<uint8_t>(i * 0x11);
    EXPECT_EQ(ImportedInstallerPath(L"D:\\Catalogue\\", record),
              L"D:\\Catalogue\\0123ABCD-00EF-BEEF-0011-223344556677_INSTALL");
    EXPECT_EQ(FileNamePart(ImportedInstallerPath(L"D:\\Catalogue\\", record)).size(), 44u);
}

TEST(InstallerTextTests, ExportNamesSplitOnlyTheFileName)
{
    CSplit plain = Split(L"C:\\Out\\setup.exe");
    EXPECT_EQ(plain.Stem, L"C:\\Out\\setup");
    EXPECT_EQ(plain.Extension, L".exe");

    CSplit twoDots = Split(L"C:\\Out\\tool.tar.gz");
    EXPECT_EQ(twoDots.Stem, L"C:\\Out\\tool.tar");
    EXPECT_EQ(twoDots.Extension, L".gz");

    // The dot of a folder name never splits: the number goes after the file name.
    CSplit dottedFolder = Split(L"C:\\Release.v2\\setup");
    EXPECT_EQ(dottedFolder.Stem, L"C:\\Release.v2\\setup");
    EXPECT_EQ(dottedFolder.Extension, L"");
    EXPECT_EQ(NumberedPath(dottedFolder.Stem, 1, dottedFolder.Extension), L"C:\\Release.v2\\setup(1)");

    CSplit forwardSlash = Split(L"C:/Release.v2/setup");
    EXPECT_EQ(forwardSlash.Extension, L"");

    CSplit bare = Split(L"setup.msi");
    EXPECT_EQ(bare.Stem, L"setup");
    EXPECT_EQ(NumberedPath(bare.Stem, 2, bare.Extension), L"setup(2).msi");

    CSplit trailingDot = Split(L"C:\\Out\\name.");
    EXPECT_EQ(trailingDot.Stem, L"C:\\Out\\name");
    EXPECT_EQ(trailingDot.Extension, L".");
}

TEST(InstallerTextTests, FileNamePartIsTheTextAfterTheLastSeparator)
{
    EXPECT_EQ(FileNamePart(L"C:\\Downloads\\setup.exe"), L"setup.exe");
    EXPECT_EQ(FileNamePart(L"setup.exe"), L"setup.exe");
    EXPECT_EQ(FileNamePart(L"C:\\Downloads\\"), L"");
}

TEST(InstallerTextTests, ExtensionsAreUpperCasedFromTheFileName)
{
    EXPECT_EQ(UpperExtension(L"C:\\a\\setup.msi"), L".MSI");
    EXPECT_EQ(UpperExtension(L"C:\\a\\page.Html"), L".HTML");
    EXPECT_EQ(UpperExtension(L"C:\\a\\README"), L"");
    EXPECT_EQ(UpperExtension(L"C:\\my.folder\\README"), L"");
}

TEST(InstallerTextTests, OnlyExeAndIcoFilesAreAskedForTheirOwnIcon)
{
    EXPECT_TRUE(CarriesOwnIcon(L"C:\\a\\setup.exe"));
    EXPECT_TRUE(CarriesOwnIcon(L"C:\\a\\setup.EXE"));
    EXPECT_TRUE(CarriesOwnIcon(L"C:\\a\\picture.Ico"));
    EXPECT_TRUE(CarriesOwnIcon(L"a.exe"));
    EXPECT_FALSE(CarriesOwnIcon(L".exe")) << "four characters are not enough";
    EXPECT_FALSE(CarriesOwnIcon(L"C:\\a\\setup.msi"));
    EXPECT_FALSE(CarriesOwnIcon(L"C:\\a\\setup.exe1"));
    EXPECT_FALSE(CarriesOwnIcon(L"C:\\a\\setup.ex"));
    EXPECT_FALSE(CarriesOwnIcon(L"C:\\a\\setupexe"));
}

TEST(InstallerTextTests, IconLocationsSplitAtTheLastComma)
{
    std::wstring file = L"unchanged";
    int32_t index = 99;
    ASSERT_TRUE(ParseIconLocation(L"C:\\icons\\app.dll,3", file, index));
    EXPECT_EQ(file, L"C:\\icons\\app.dll");
    EXPECT_EQ(index, 3);
    ASSERT_TRUE(ParseIconLocation(L"\"C:\\odd,name\\app.dll\", -12x", file, index));
    EXPECT_EQ(file, L"\"C:\\odd,name\\app.dll\"") << "quotes stay";
    EXPECT_EQ(index, -12);
    ASSERT_TRUE(ParseIconLocation(L"a,", file, index));
    EXPECT_EQ(file, L"a");
    EXPECT_EQ(index, 0);

    file = L"unchanged";
    index = 99;
    EXPECT_FALSE(ParseIconLocation(L"C:\\icons\\app.dll", file, index));
    EXPECT_FALSE(ParseIconLocation(L",4", file, index));
    EXPECT_FALSE(ParseIconLocation(L"", file, index));
    EXPECT_EQ(file, L"unchanged");
    EXPECT_EQ(index, 99);
}

TEST(InstallerTextTests, PercentagesAreTruncatedWholeNumbers)
{
    EXPECT_EQ(CopyPercentage(0, 0), 0);
    EXPECT_EQ(CopyPercentage(0, 1000), 0);
    EXPECT_EQ(CopyPercentage(1, 3), 33);
    EXPECT_EQ(CopyPercentage(2, 3), 66);
    EXPECT_EQ(CopyPercentage(199, 200), 99);
    EXPECT_EQ(CopyPercentage(200, 200), 100);
    // Every step of a 200-chunk copy lands on its exact value, with no rounding below it.
    for (uint64_t chunk = 1; chunk <= 200; ++chunk)
        EXPECT_EQ(CopyPercentage(chunk * 512, 200 * 512), static_cast<int>(chunk / 2)) << chunk;
    const uint64_t huge = UINT64_C(1) << 62;
    EXPECT_EQ(CopyPercentage(huge / 2, huge), 50);
}
