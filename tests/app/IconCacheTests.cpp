#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "installer/IconCache.h"
#include "installer/IconExtraction.h"
#include "tests/app/ListPaneTestSupport.h"
#include "tests/installer/InstallerTestSupport.h"

namespace {
class IconCacheTests : public ListPaneTest {
protected:
    CSoftware& Referencing(const std::wstring& path)
    {
        m_records.push_back(std::make_unique<CSoftware>());
        CSoftware& record = *m_records.back();
        record.InstallerInfo.InstallerPath = path;
        UpdateIcon(record);
        return record;
    }

    CSharedIconsScope SharedIcons;
    CTempFolder Files;

private:
    std::vector<std::unique_ptr<CSoftware>> m_records;
};
}  // namespace

TEST_F(IconCacheTests, NeverHoldsMoreThanItsBoundAndEvictsTheLeastRecentlyDrawn)
{
    ASSERT_EQ(InstallerIcons.Capacity(), 500u);
    constexpr int FileCount = 520;
    std::vector<CSoftware*> records;
    for (int i = 0; i < FileCount; ++i) {
        std::wstring path = Files / (L"setup" + std::to_wstring(i) + L".ico");
        ASSERT_TRUE(WriteIconFile(path, 16, 0x100000u + static_cast<uint32_t>(i)));
        records.push_back(&Referencing(path));
    }
    EXPECT_EQ(InstallerIcons.Extractions(), 0u) << "attaching extracts nothing";

    HICON firstIcon = InstallerIcons.IconFor(*records[0]);
    ASSERT_TRUE(IconIsAlive(firstIcon));
    size_t most = 0;
    for (int i = 1; i < FileCount; ++i) {
        // The first record is drawn again now and then, so it stays among the recent ones.
        if (i % 100 == 0) {
            EXPECT_EQ(InstallerIcons.IconFor(*records[0]), firstIcon);
        }
        HICON icon = InstallerIcons.IconFor(*records[i]);
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(CentrePixel(icon, 16), 0x100000u + static_cast<uint32_t>(i));
        most = std::max(most, InstallerIcons.Count());
    }
    EXPECT_EQ(most, 500u);
    EXPECT_EQ(InstallerIcons.Count(), 500u);
    EXPECT_EQ(InstallerIcons.Extractions(), static_cast<size_t>(FileCount));
    EXPECT_TRUE(IconIsAlive(firstIcon)) << "recently drawn, kept";

    // The second record was drawn once, long ago: evicted, its icon destroyed, extracted anew.
    InstallerIcons.Clear();
    HICON second = InstallerIcons.IconFor(*records[1]);
    for (int i = 2; i < 502; ++i)
        InstallerIcons.IconFor(*records[i]);
    EXPECT_FALSE(IconIsAlive(second));
    EXPECT_EQ(InstallerIcons.Count(), 500u);
    HICON again = InstallerIcons.IconFor(*records[1]);
    EXPECT_EQ(CentrePixel(again, 16), 0x100001u);
    EXPECT_EQ(InstallerIcons.Extractions(), 502u);
}

TEST_F(IconCacheTests, IdenticalSourcesShareOneHandle)
{
    std::wstring path = Files / L"Setup.ico";
    ASSERT_TRUE(WriteIconFile(path, 48, 0x2050E0));
    std::wstring upper = path;
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    CSoftware& one = Referencing(path);
    CSoftware& other = Referencing(upper);
    EXPECT_EQ(InstallerIcons.IconFor(one), InstallerIcons.IconFor(other)) << "the same file in another case";
    EXPECT_EQ(InstallerIcons.Extractions(), 1u);

    // Files of one registered type share the type's icon.
    CRegisteredType type(L".qvz", L"QuorvaneTest.Archive", path + L",0");
    ASSERT_TRUE(type.Ok());
    CSoftware& first = Referencing(Files / L"first.qvz");
    CSoftware& second = Referencing(Files / L"second.QVZ");
    HICON registered = InstallerIcons.IconFor(first);
    EXPECT_EQ(InstallerIcons.IconFor(second), registered);
    EXPECT_EQ(registered, InstallerIcons.IconFor(one)) << "the registered icon is that very file";
    EXPECT_EQ(InstallerIcons.Count(), 1u);

    // Shared icons are never the cache's.
    CSoftware& none = Referencing(L"");
    CSoftware& imported = Referencing(Files / L"imported.ico");
    imported.InstallerInfo.AttachMode = 1;
    UpdateIcon(imported);
    EXPECT_EQ(InstallerIcons.IconFor(none), NoInstallerIcon);
    EXPECT_EQ(InstallerIcons.IconFor(imported), ImportedIcon);
    EXPECT_EQ(InstallerIcons.IconFor(Referencing(Files / L"missing.exe")), FileIcon);
    EXPECT_EQ(InstallerIcons.Count(), 1u);

    // Updating one record's icon drops the entry of its installer.
    UpdateIcon(one);
    EXPECT_EQ(InstallerIcons.Count(), 0u);
    EXPECT_FALSE(IconIsAlive(registered));
}

TEST_F(IconCacheTests, OnlyTheCardsDrawnExtract)
{
    std::vector<std::wstring> paths;
    for (int i = 0; i < 40; ++i) {
        paths.push_back(Files / (L"tool" + std::to_wstring(i) + L".ico"));
        ASSERT_TRUE(WriteIconFile(paths.back(), 16, 0x404040));
        CSoftware* record = AddRecord(L"Tool " + std::to_wstring(i), L"A");
        record->InstallerInfo.InstallerPath = paths.back();
        UpdateIcon(*record);
    }
    Classify(1);
    OpenPane();
    RedrawWindow(Pane->AllList().GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);

    // A visible page holds about six cards; the others have extracted nothing.
    const size_t drawn = InstallerIcons.Extractions();
    EXPECT_GE(drawn, 6u);
    EXPECT_LE(drawn, 8u);
    RedrawWindow(Pane->AllList().GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(InstallerIcons.Extractions(), drawn) << "drawn again: no new extraction";
    SendMessageW(Pane->AllList().GetSafeHwnd(), LB_SETTOPINDEX, 30, 0);
    RedrawWindow(Pane->AllList().GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GT(InstallerIcons.Extractions(), drawn);
    EXPECT_LT(InstallerIcons.Extractions(), 20u);
}
