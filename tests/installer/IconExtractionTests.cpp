#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "installer/IconCache.h"
#include "installer/IconExtraction.h"
#include "storage/SoftwareFiles.h"
#include "storage/SoftwareText.h"
#include "tests/installer/InstallerTestSupport.h"

namespace {
constexpr uint32_t Red = 0xE01010;
constexpr uint32_t Blue = 0x1030D0;
constexpr uint32_t Green = 0x20B040;

class IconTests : public testing::Test {
protected:
    void SetUp() override { InstallerIcons.Clear(); }
    void TearDown() override { InstallerIcons.Clear(); }
    // The icon the record's card shows, as the list takes it at each draw.
    static HICON IconOf(const CSoftware& record) { return InstallerIcons.IconFor(record); }
    // A record that references the file at path.
    void Reference(const std::wstring& path)
    {
        Record.InstallerInfo.InstallerPath = path;
        Record.InstallerInfo.OriginalPath = path;
        Record.InstallerInfo.AttachMode = 0;
        UpdateIcon(Record);
    }
    std::wstring IconFile(const std::wstring& name, uint32_t rgb, int size = 48)
    {
        std::wstring path = Files / name;
        EXPECT_TRUE(WriteIconFile(path, size, rgb));
        return path;
    }
    static std::wstring SystemFile(const wchar_t* name)
    {
        wchar_t folder[MAX_PATH] = {};
        GetSystemDirectoryW(folder, MAX_PATH);
        return std::wstring(folder) + L"\\" + name;
    }
    bool IsShared(HICON icon) const
    {
        return icon == NoInstallerIcon || icon == FileIcon || icon == ImportedIcon;
    }

    CSharedIconsScope SharedIcons;
    CTempFolder Files;
    CSoftware Record;
};

// The icon the platform gives for that file and index at 48 x 48.
struct CExtractedIcon {
    HICON Handle = nullptr;
    CExtractedIcon(const std::wstring& file, int index)
    {
        UINT id = 0;
        PrivateExtractIconsW(file.c_str(), index, 48, 48, &Handle, &id, 1, 0);
    }
    ~CExtractedIcon()
    {
        if (Handle)
            DestroyIcon(Handle);
    }
};
}  // namespace

TEST_F(IconTests, NoInstallerAndImportedInstallersGetTheirSharedIcons)
{
    UpdateIcon(Record);
    EXPECT_EQ(IconOf(Record), NoInstallerIcon);

    // Imported: never opened, whatever its type, even when it could give an icon.
    Record.InstallerInfo.InstallerPath = IconFile(L"imported.ico", Red);
    Record.InstallerInfo.AttachMode = 1;
    UpdateIcon(Record);
    EXPECT_EQ(IconOf(Record), ImportedIcon);
}

TEST_F(IconTests, AnIconFileShowsItsOwnPicture)
{
    Reference(IconFile(L"picture.ico", Red));
    ASSERT_NE(IconOf(Record), nullptr);
    EXPECT_FALSE(IsShared(IconOf(Record)));
    EXPECT_EQ(CentrePixel(IconOf(Record)), Red);

    // A file that holds only a small picture still gives one.
    Reference(IconFile(L"small.ICO", Blue, 16));
    EXPECT_FALSE(IsShared(IconOf(Record)));
    EXPECT_EQ(CentrePixel(IconOf(Record), 16), Blue);
}

TEST_F(IconTests, AnExecutableShowsItsOwnIconWhateverTheCaseOfItsExtension)
{
    std::wstring notepad = SystemFile(L"notepad.exe");
    CExtractedIcon expected(notepad, 0);
    ASSERT_NE(expected.Handle, nullptr) << "the system's notepad carries an icon";

    Reference(notepad);
    ASSERT_FALSE(IsShared(IconOf(Record)));
    EXPECT_EQ(IconPixels(IconOf(Record), 48), IconPixels(expected.Handle, 48));

    std::wstring setup = Files / L"setup.EXE";
    ASSERT_TRUE(CopyFileW(notepad.c_str(), setup.c_str(), FALSE));
    Reference(setup);
    ASSERT_FALSE(IsShared(IconOf(Record)));
    EXPECT_EQ(IconPixels(IconOf(Record), 48), IconPixels(expected.Handle, 48));
}

TEST_F(IconTests, ARegisteredExtensionGetsItsRegisteredIcon)
{
    CRegisteredType type(L".qvt", L"QuorvaneTest.Blue", IconFile(L"blue.ico", Blue) + L",0");
    ASSERT_TRUE(type.Ok());
    CRegisteredType longType(L".qvtype", L"QuorvaneTest.Green", IconFile(L"green.ico", Green) + L",0");
    ASSERT_TRUE(longType.Ok());

    // The file need not exist: only its type counts, in any case.
    Reference(Files / L"package.QvT");
    EXPECT_FALSE(IsShared(IconOf(Record)));
    EXPECT_EQ(CentrePixel(IconOf(Record)), Blue);

    // Not three characters long: straight to the registry.
    Reference(Files / L"package.qvtype");
    EXPECT_EQ(CentrePixel(IconOf(Record)), Green);
}

TEST_F(IconTests, AnIconFileThatCannotBeReadFallsBackToItsRegisteredIcon)
{
    CRegisteredType type(L".ico", L"QuorvaneTest.IconFile", IconFile(L"green.ico", Green) + L",0");
    ASSERT_TRUE(type.Ok());
    std::wstring broken = Files / L"broken.ico";
    ASSERT_TRUE(WriteFileBytes(broken, "not an icon at all"));

    Reference(broken);
    EXPECT_EQ(CentrePixel(IconOf(Record)), Green);
}

TEST_F(IconTests, ARegisteredIndexPicksThatIconOfTheFile)
{
    std::wstring shell = SystemFile(L"shell32.dll");
    CExtractedIcon third(shell, 3);
    CExtractedIcon first(shell, 0);
    ASSERT_NE(third.Handle, nullptr);
    ASSERT_NE(IconPixels(third.Handle, 48), IconPixels(first.Handle, 48));
    CRegisteredType type(L".qvi", L"QuorvaneTest.Indexed", shell + L",3");
    ASSERT_TRUE(type.Ok());

    Reference(Files / L"archive.qvi");
    EXPECT_EQ(IconPixels(IconOf(Record), 48), IconPixels(third.Handle, 48));
}

TEST_F(IconTests, FilesWithoutAUsableRegistrationGetTheGenericFileIcon)
{
    CRegisteredType noIcon(L".qvn", L"QuorvaneTest.NoIcon", L"");
    ASSERT_TRUE(noIcon.Ok());
    CRegisteredType noComma(L".qvc", L"QuorvaneTest.NoComma", IconFile(L"red.ico", Red));
    ASSERT_TRUE(noComma.Ok());

    for (const wchar_t* name : {L"README", L"data.qvunregistered", L"data.qvn", L"data.qvc", L"missing.exe"}) {
        Reference(Files / name);
        EXPECT_EQ(IconOf(Record), FileIcon) << name;
    }
    // A dot in a folder name is no extension: "tools.qvt\setup" must not be looked up as the
    // registry path ".qvt\setup".
    CRegisteredType outer(L".qvt", L"QuorvaneTest.Outer", L"");
    CRegisteredType nested(L".qvt\\setup", L"QuorvaneTest.Nested", IconFile(L"blue.ico", Blue) + L",0");
    ASSERT_TRUE(outer.Ok() && nested.Ok());
    Reference(Files / L"tools.qvt\\setup");
    EXPECT_EQ(IconOf(Record), FileIcon);
}

TEST_F(IconTests, RecordsHoldOnlySharedIconsAndUpdatingForgetsTheExtractedOne)
{
    // A referenced installer's record holds nothing; its card's icon belongs to the cache.
    std::wstring path = IconFile(L"setup.ico", Red);
    Reference(path);
    EXPECT_EQ(Record.InstallerInfo.Icon, nullptr);
    HICON first = IconOf(Record);
    ASSERT_TRUE(IconIsAlive(first));
    ASSERT_FALSE(IsShared(first));
    EXPECT_EQ(IconOf(Record), first) << "drawn again, the same handle, no new extraction";
    EXPECT_EQ(InstallerIcons.Extractions(), 1u);

    // The installer is replaced at the same place and attached again: the old picture goes.
    ASSERT_TRUE(WriteIconFile(path, 48, Blue));
    Reference(path);
    EXPECT_FALSE(IconIsAlive(first)) << "the cache destroys the icon it forgot";
    EXPECT_EQ(CentrePixel(IconOf(Record)), Blue);

    // Destroying a record that shows the same installer destroys no icon: records own none.
    HICON second = IconOf(Record);
    {
        CSoftware other;
        other.InstallerInfo.InstallerPath = path;
        EXPECT_EQ(IconOf(other), second) << "the same file shares one handle";
    }
    EXPECT_TRUE(IconIsAlive(second));

    Record.InstallerInfo.InstallerPath.clear();
    UpdateIcon(Record);
    EXPECT_EQ(Record.InstallerInfo.Icon, NoInstallerIcon);
    EXPECT_EQ(IconOf(Record), NoInstallerIcon);

    // Moving between shared icons destroys none of them.
    Reference(Files / L"README");
    EXPECT_EQ(IconOf(Record), FileIcon);
    Record.InstallerInfo.AttachMode = 1;
    UpdateIcon(Record);
    EXPECT_EQ(Record.InstallerInfo.Icon, ImportedIcon);
    EXPECT_TRUE(IconIsAlive(static_cast<HICON>(NoInstallerIcon)));
    EXPECT_TRUE(IconIsAlive(static_cast<HICON>(FileIcon)));
    EXPECT_TRUE(IconIsAlive(static_cast<HICON>(ImportedIcon)));
}

TEST_F(IconTests, LookupReadsClassAndIconLocation)
{
    CRegisteredType plain(L".qva", L"QuorvaneTest.A", L"C:\\icons\\app.dll,12");
    CRegisteredType negative(L".qvb", L"QuorvaneTest.B", L"C:\\odd,name.dll, -105");
    CRegisteredType commaFirst(L".qvd", L"QuorvaneTest.D", L",5");
    CRegisteredType expandable(L".qve", L"QuorvaneTest.E", L"%SystemRoot%\\system32\\shell32.dll,4", REG_EXPAND_SZ);
    CRegisteredType number(L".qvf", L"QuorvaneTest.F", L"7", REG_DWORD);
    ASSERT_TRUE(plain.Ok() && negative.Ok() && commaFirst.Ok() && expandable.Ok() && number.Ok());

    std::wstring file;
    int32_t index = 0;
    ASSERT_TRUE(LookupDefaultIcon(L".QVA", file, index));
    EXPECT_EQ(file, L"C:\\icons\\app.dll");
    EXPECT_EQ(index, 12);
    ASSERT_TRUE(LookupDefaultIcon(L".qvb", file, index));
    EXPECT_EQ(file, L"C:\\odd,name.dll");
    EXPECT_EQ(index, -105);
    ASSERT_TRUE(LookupDefaultIcon(L".qve", file, index));
    EXPECT_EQ(file, L"%SystemRoot%\\system32\\shell32.dll") << "used as stored";
    EXPECT_EQ(index, 4);

    EXPECT_FALSE(LookupDefaultIcon(L".qvd", file, index));
    EXPECT_FALSE(LookupDefaultIcon(L".qvf", file, index)) << "a number is no icon text";
    EXPECT_FALSE(LookupDefaultIcon(L".qvnothing", file, index));
    EXPECT_FALSE(LookupDefaultIcon(L"", file, index));
}

TEST_F(IconTests, RegistryHelpersOpenReadAndClose)
{
    CRegisteredType type(L".qvr", L"QuorvaneTest.R", L"C:\\r.dll,1");
    ASSERT_TRUE(type.Ok());

    EXPECT_EQ(OpenRegistryKey(RegistryClassesRoot, L""), nullptr);
    EXPECT_EQ(OpenRegistryKey(9, L".qvr"), nullptr);
    HKEY key = OpenRegistryKey(RegistryClassesRoot, L".qvr");
    ASSERT_NE(key, nullptr);
    DWORD size = 0;
    EXPECT_EQ(QueryRegistryValue(key, nullptr, size), RegistryValueClass::Text);
    EXPECT_EQ(size, (std::wstring(L"QuorvaneTest.R").size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(QueryRegistryValue(key, L"NoSuchValue", size), RegistryValueClass::Missing);
    std::wstring text;
    EXPECT_TRUE(ReadRegistryText(key, nullptr, text));
    EXPECT_EQ(text, L"QuorvaneTest.R");
    EXPECT_TRUE(CloseRegistryKey(key));

    for (int root : {RegistryCurrentUser, RegistryLocalMachine}) {
        HKEY software = OpenRegistryKey(root, L"Software");
        ASSERT_NE(software, nullptr) << root;
        EXPECT_TRUE(CloseRegistryKey(software));
    }
    EXPECT_FALSE(CloseRegistryKey(nullptr));
}

TEST_F(IconTests, LoadingARecordRefreshesItsIconWithoutExtracting)
{
    auto previous = RefreshIconAfterLoad;
    InstallIconRefresh();
    EXPECT_EQ(RefreshIconAfterLoad, &UpdateIcon);

    CSoftware saved;
    SetTestId(saved, 40);
    saved.InstallerInfo.InstallerPath = IconFile(L"loaded.ico", Red);
    ASSERT_TRUE(SaveSoftwareFile(saved, Files.Path()));
    CSoftware imported;
    SetTestId(imported, 41);
    imported.InstallerInfo.InstallerPath = IconFile(L"imported.ico", Blue);
    imported.InstallerInfo.AttachMode = 1;
    ASSERT_TRUE(SaveSoftwareFile(imported, Files.Path()));

    CSoftware loaded;
    bool ok = LoadSoftwareFile(loaded, Files.Path() + FormatSoftwareId(saved));
    CSoftware loadedImport;
    bool importOk = LoadSoftwareFile(loadedImport, Files.Path() + FormatSoftwareId(imported));
    RefreshIconAfterLoad = previous;

    ASSERT_TRUE(ok && importOk);
    EXPECT_EQ(InstallerIcons.Extractions(), 0u) << "loading opens no installer";
    EXPECT_EQ(loaded.InstallerInfo.Icon, nullptr);
    EXPECT_EQ(loadedImport.InstallerInfo.Icon, ImportedIcon);
    ASSERT_FALSE(IsShared(IconOf(loaded)));
    EXPECT_EQ(CentrePixel(IconOf(loaded)), Red);
    EXPECT_EQ(InstallerIcons.Extractions(), 1u) << "the first card extracts";
}
