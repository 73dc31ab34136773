#include <gtest/gtest.h>

#include <algorithm>

#include "tests/model/ModelTestSupport.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
bool WasDestroyed(IconHandle icon)
{
    const std::vector<IconHandle>& destroyed = CIconRecorder::Destroyed();
    return std::count(destroyed.begin(), destroyed.end(), icon) > 0;
}

// An owning list of records, each holding its own stand-in icon so that its deletion shows.
CSoftware* RecordWithIcon(uintptr_t n)
{
    CSoftware* record = new CSoftware;
    record->InstallerInfo.Icon = FakeIcon(n);
    return record;
}
}  // namespace

TEST(SoftwareTests, NewRecordTakesTheDefaults)
{
    const CSoftware record;
    EXPECT_TRUE(record.Id.IsNull());
    EXPECT_EQ(record.BasicInfo.Name, L"Unknown");
    EXPECT_EQ(record.BasicInfo.Version, L"0.0.0.0");
    EXPECT_EQ(record.BasicInfo.Company, L"Unknown");
    EXPECT_EQ(record.BasicInfo.Website, L"Unknown");
    EXPECT_EQ(record.BasicInfo.Price.Value, 0.0f);
    EXPECT_EQ(record.BasicInfo.Price.Currency, 18);
    EXPECT_EQ(record.BasicInfo.Category, 0);
    EXPECT_EQ(record.BasicInfo.Type, 0);
    EXPECT_TRUE(record.RegInfo.UserName.empty());
    EXPECT_TRUE(record.RegInfo.UserCompany.empty());
    EXPECT_TRUE(record.RegInfo.UserEmail.empty());
    EXPECT_TRUE(record.RegInfo.Comment.empty());
    EXPECT_TRUE(record.RegInfo.CodeName.IsEmpty());
    EXPECT_TRUE(record.RegInfo.Code.IsEmpty());
    EXPECT_TRUE(record.InstallerInfo.InstallerPath.empty());
    EXPECT_TRUE(record.InstallerInfo.OriginalPath.empty());
    EXPECT_EQ(record.InstallerInfo.AttachMode, 0);
    EXPECT_EQ(record.InstallerInfo.Icon, nullptr);
}

TEST(SoftwareTests, IdentifiersCompareByEveryComponent)
{
    SoftwareId a, b;
    EXPECT_EQ(a, b);
    b.Data4[7] = 1;
    EXPECT_NE(a, b);
    EXPECT_FALSE(b.IsNull());
    b = SoftwareId();
    b.Data3 = 2;
    EXPECT_NE(a, b);
}

TEST(SoftwareTests, AssignmentCopiesEveryFieldWithTheIconHandle)
{
    CIconRecorder recorder;
    CSoftware source;
    source.Id.Data1 = 0x12345678;
    source.Id.Data4[3] = 9;
    source.BasicInfo.Name = L"Editor";
    source.BasicInfo.Price = {12.5f, 6};
    source.BasicInfo.Category = 17;
    source.RegInfo.UserEmail = L"me@example.org";
    source.RegInfo.Comment = L"two\r\nlines";
    source.RegInfo.CodeName.Add(L"Pro");
    source.RegInfo.Code.Add(L"ABCD-1234");
    source.InstallerInfo.InstallerPath = L"C:\\Setup.exe";
    source.InstallerInfo.AttachMode = 1;
    source.InstallerInfo.Icon = FakeIcon(1);

    CSoftware copy;
    copy = source;
    EXPECT_EQ(copy.Id, source.Id);
    EXPECT_EQ(copy.BasicInfo.Name, L"Editor");
    EXPECT_EQ(copy.BasicInfo.Price.Value, 12.5f);
    EXPECT_EQ(copy.BasicInfo.Price.Currency, 6);
    EXPECT_EQ(copy.BasicInfo.Category, 17);
    EXPECT_EQ(copy.RegInfo.UserEmail, L"me@example.org");
    EXPECT_EQ(copy.RegInfo.Comment, L"two\r\nlines");
    ASSERT_EQ(copy.RegInfo.Code.GetSize(), 1);
    EXPECT_EQ(copy.RegInfo.CodeName[0], L"Pro");
    EXPECT_EQ(copy.RegInfo.Code[0], L"ABCD-1234");
    EXPECT_EQ(copy.InstallerInfo.InstallerPath, L"C:\\Setup.exe");
    EXPECT_EQ(copy.InstallerInfo.AttachMode, 1);
    EXPECT_EQ(copy.InstallerInfo.Icon, FakeIcon(1));

    // Two records now name one handle: only one of them may destroy it.
    copy.InstallerInfo.Icon = nullptr;
    const CSoftware& same = copy;
    copy = same;
    EXPECT_EQ(copy.BasicInfo.Name, L"Editor");
}

TEST(SoftwareTests, ReleasingDestroysOwnIconsButNeverSharedOnes)
{
    CIconRecorder recorder;
    CSharedIcons shared(FakeIcon(100), FakeIcon(101), FakeIcon(102));
    {
        CSoftware own, none, noInstaller, file, imported;
        own.InstallerInfo.Icon = FakeIcon(1);
        noInstaller.InstallerInfo.Icon = NoInstallerIcon;
        file.InstallerInfo.Icon = FileIcon;
        imported.InstallerInfo.Icon = ImportedIcon;

        own.ReleaseIcon();
        EXPECT_EQ(own.InstallerInfo.Icon, nullptr);
        own.ReleaseIcon();
        ASSERT_EQ(CIconRecorder::Destroyed().size(), 1u);
        EXPECT_EQ(CIconRecorder::Destroyed()[0], FakeIcon(1));

        noInstaller.ReleaseIcon();
        EXPECT_EQ(noInstaller.InstallerInfo.Icon, nullptr);
        own.InstallerInfo.Icon = FakeIcon(2);
    }
    // Destroying the records released the one extracted icon left, and no shared or null one.
    ASSERT_EQ(CIconRecorder::Destroyed().size(), 2u);
    EXPECT_EQ(CIconRecorder::Destroyed()[1], FakeIcon(2));
    EXPECT_FALSE(WasDestroyed(nullptr));
    EXPECT_FALSE(WasDestroyed(FakeIcon(100)));
    EXPECT_FALSE(WasDestroyed(FakeIcon(101)));
    EXPECT_FALSE(WasDestroyed(FakeIcon(102)));
}

#ifdef _WIN32
namespace {
HICON NewIcon()
{
    BYTE andMask[32 * 4], xorMask[32 * 4];
    std::fill(std::begin(andMask), std::end(andMask), BYTE(0xFF));
    std::fill(std::begin(xorMask), std::end(xorMask), BYTE(0));
    return CreateIcon(GetModuleHandleW(nullptr), 32, 32, 1, 1, andMask, xorMask);
}

bool IconAlive(HICON icon)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return false;
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return true;
}
}  // namespace

TEST(SoftwareTests, SharedWindowsIconOutlivesTheRecordsUsingIt)
{
    HICON sharedIcon = NewIcon();
    HICON ownIcon = NewIcon();
    ASSERT_TRUE(IconAlive(sharedIcon));
    ASSERT_TRUE(IconAlive(ownIcon));
    {
        CSharedIcons shared(nullptr, sharedIcon, nullptr);
        auto* first = new CSoftware;
        auto* second = new CSoftware;
        auto* third = new CSoftware;
        first->InstallerInfo.Icon = sharedIcon;
        second->InstallerInfo.Icon = sharedIcon;
        third->InstallerInfo.Icon = ownIcon;
        delete first;
        delete third;
        EXPECT_TRUE(IconAlive(sharedIcon));
        EXPECT_FALSE(IconAlive(ownIcon));
        EXPECT_EQ(second->InstallerInfo.Icon, sharedIcon);
        delete second;
    }
    EXPECT_TRUE(IconAlive(sharedIcon));
    DestroyIcon(sharedIcon);
}
#endif

TEST(SoftwareListTests, OwningRemoveAtOutsideTheListOrWithoutCountDeletesNothing)
{
    CIconRecorder recorder;
    CSoftwareArray list;
    list.IsOwner = 1;
    for (uintptr_t n = 0; n < 4; ++n)
        list.Add(RecordWithIcon(n));
    const std::vector<CSoftware*> before = Contents(list);

    list.RemoveAt(4, 1);   // index equal to the size
    list.RemoveAt(1, 0);
    list.RemoveAt(1, -3);
    list.RemoveAt(-1, 2);
    list.RemoveAt(9, 1);
    EXPECT_EQ(Contents(list), before);
    EXPECT_TRUE(CIconRecorder::Destroyed().empty());

    // A count past the end is cut back to it.
    list.RemoveAt(2, 10);
    EXPECT_EQ(Contents(list), std::vector<CSoftware*>(before.begin(), before.begin() + 2));
    EXPECT_EQ(CIconRecorder::Destroyed(), (std::vector<IconHandle>{FakeIcon(2), FakeIcon(3)}));

    list.Add(RecordWithIcon(7));
    list.RemoveAt(0);
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{before[1], list[1]}));
    EXPECT_TRUE(WasDestroyed(FakeIcon(0)));
    EXPECT_EQ(list[1]->InstallerInfo.Icon, FakeIcon(7));
}

TEST(SoftwareListTests, OwningListDeletesWhatItRemovesAndHoldsAtTheEnd)
{
    CIconRecorder recorder;
    {
        CSoftwareArray list;
        list.IsOwner = 1;
        list.Add(RecordWithIcon(0));
        list.Add(RecordWithIcon(1));
        list.RemoveAll();
        EXPECT_TRUE(list.IsEmpty());
        EXPECT_EQ(CIconRecorder::Destroyed().size(), 2u);
        list.Add(RecordWithIcon(2));
    }
    EXPECT_EQ(CIconRecorder::Destroyed().size(), 3u);
    EXPECT_TRUE(WasDestroyed(FakeIcon(2)));
}

TEST(SoftwareListTests, NonOwningListOnlyDropsItsSlots)
{
    CIconRecorder recorder;
    CSoftwareArray owner;
    owner.IsOwner = 1;
    for (uintptr_t n = 0; n < 3; ++n)
        owner.Add(RecordWithIcon(n));
    {
        CSoftwareArray view;
        EXPECT_EQ(view.IsOwner, 0);
        EXPECT_EQ(view.SortKey, 0);
        for (CSoftware* record : owner)
            view.Add(record);
        view.RemoveAt(0, 2);
        ASSERT_EQ(view.GetSize(), 1);
        EXPECT_EQ(view[0], owner[2]);
        view.Add(owner[0]);
        view.RemoveAll();
        view.Add(owner[1]);
    }
    EXPECT_TRUE(CIconRecorder::Destroyed().empty());
    EXPECT_EQ(owner[1]->InstallerInfo.Icon, FakeIcon(1));
}

TEST(SoftwareListTests, SwapAndFind)
{
    CRecordPool pool;
    CSoftware* a = pool.Named(L"a");
    CSoftware* b = pool.Named(L"b");
    CSoftware* stranger = pool.Named(L"c");
    CSoftwareArray list;
    Fill(list, {a, b, a});
    list.Swap(0, 1);
    EXPECT_EQ(Contents(list), (std::vector<CSoftware*>{b, a, a}));
    EXPECT_EQ(list.Find(a), 1);
    EXPECT_EQ(list.Find(b), 0);
    EXPECT_EQ(list.Find(stranger), -1);
    EXPECT_EQ(list.Find(nullptr), -1);
}

TEST(SoftwareListTests, GroupListRemoveAllKeepsEveryRecordAlive)
{
    CIconRecorder recorder;
    CSoftwareArray catalogue;
    catalogue.IsOwner = 1;
    for (uintptr_t n = 0; n < 4; ++n)
        catalogue.Add(RecordWithIcon(n));
    {
        CSoftwareArrayArray groups;
        for (int g = 0; g < 2; ++g) {
            auto* group = new CSoftwareArray;
            group->Add(catalogue[g]);
            group->Add(catalogue[g + 2]);
            groups.Add(group);
        }
        groups.RemoveAll();
        EXPECT_TRUE(groups.IsEmpty());
        auto* survivor = new CSoftwareArray;
        survivor->Add(catalogue[3]);
        groups.Add(survivor);
    }
    EXPECT_TRUE(CIconRecorder::Destroyed().empty());
    ASSERT_EQ(catalogue.GetSize(), 4);
    for (uintptr_t n = 0; n < 4; ++n)
        EXPECT_EQ(catalogue[static_cast<int>(n)]->InstallerInfo.Icon, FakeIcon(n));
}
