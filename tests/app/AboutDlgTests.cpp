#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/AboutDlg.h"
#include "framework/Shell.h"
#include "model/LinkText.h"
#include "res/resource.h"
#include "storage/Paths.h"
#include "tests/app/DialogTestSupport.h"
#include "tests/support/MessageBoxScript.h"
#include "Version.h"

namespace {
struct COpenRequest {
    HWND Owner;
    std::wstring Target;
    std::wstring Directory;
};

class CShellScript {
public:
    CShellScript()
    {
        m_previous = SetShellOpener([this](HWND owner, const std::wstring& target, const std::wstring& directory) {
            Requests.push_back({owner, target, directory});
            return Result;
        });
    }
    ~CShellScript() { SetShellOpener(m_previous); }

    INT_PTR Result = 42;
    std::vector<COpenRequest> Requests;

private:
    ShellOpener m_previous;
};

class CProbeAboutDlg : public CAboutDlg {
public:
    using CAboutDlg::CAboutDlg;
    // The cursor the dialog sets for the pointer where it is now.
    HCURSOR CursorAtPointer(HWND over)
    {
        SetCursor(nullptr);
        SendMessageW(m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(over), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    }
};

class AboutDlgTests : public CDialogTest {
protected:
    CModalScript Script() { return CModalScript([this] { return Dialog.GetSafeHwnd(); }); }
    INT_PTR Run(CModalScript& script) { return script.Run([this] { return Dialog.DoModal(); }); }
    HWND Window() const { return Dialog.GetSafeHwnd(); }

    CMessageBoxScript Boxes;
    CShellScript Shell;
    CProbeAboutDlg Dialog{nullptr};
};

const int LinkIds[] = {IDC_ABOUT_WEBSITE, IDC_ABOUT_SUPPORT, IDC_ABOUT_BUGS, IDC_ABOUT_SALES};

// The file version in this module's version resource (the program's resources are linked in), as
// "a.b.c.d"; empty when there is none.
std::wstring ModuleFileVersion()
{
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));  // RT_VERSION
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const BYTE* block = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    // Three WORDs, the key "VS_VERSION_INFO" with its terminator, padding to 32 bits: 40 bytes.
    if (!block || SizeofResource(nullptr, found) < 40 + sizeof(VS_FIXEDFILEINFO))
        return L"";
    VS_FIXEDFILEINFO info;
    memcpy(&info, block + 40, sizeof info);
    if (info.dwSignature != 0xFEEF04BD)
        return L"";
    return std::to_wstring(HIWORD(info.dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(info.dwFileVersionMS)) +
           L"." + std::to_wstring(HIWORD(info.dwFileVersionLS)) + L"." + std::to_wstring(LOWORD(info.dwFileVersionLS));
}
}  // namespace

TEST_F(AboutDlgTests, OpensWithTheVersionTheLinksAndTheirPlaces)
{
    std::wstring title, version, group, notice, ok;
    std::vector<std::wstring> links;
    std::vector<RECT> linkRects;
    RECT window{}, okRect{}, groupRect{}, versionRect{};
    CModalScript script = Script();
    script.Do([&] {
        title = TextOf(Window());
        version = TextOf(Window(), IDC_ABOUT_VERSION);
        group = TextOf(Window(), IDC_ABOUT_CONTACT);
        notice = TextOf(Window(), IDC_ABOUT_NOTICE);
        ok = TextOf(Window(), IDCANCEL);
        for (int id : LinkIds) {
            links.push_back(TextOf(Window(), id));
            linkRects.push_back(ControlRect(Window(), id));
        }
        window = WindowRectOf(Window());
        okRect = ControlRect(Window(), IDCANCEL);
        groupRect = ControlRect(Window(), IDC_ABOUT_CONTACT);
        versionRect = ControlRect(Window(), IDC_ABOUT_VERSION);
        SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);  // Escape
    });
    EXPECT_EQ(Run(script), IDCANCEL);
    EXPECT_EQ(title, L"About Quorvane");
    EXPECT_EQ(version, L"Quorvane Version " QV_VERSION_WIDE_TEXT);
    // The executable carries the version the box shows.
    EXPECT_EQ(L"Quorvane Version " + ModuleFileVersion(), version);
    EXPECT_EQ(group, L"Contact");
    EXPECT_EQ(ok, L"OK");
    EXPECT_FALSE(notice.empty());
    EXPECT_EQ(links, (std::vector<std::wstring>{L"Visit official website", L"Get technical support",
                                                 L"Report bugs or defects", L"Sales or marketing issues"}));
    EXPECT_EQ(window.right - window.left, 386);
    EXPECT_EQ(window.bottom - window.top, 225);
    // Content: L 3, T 22.
    EXPECT_EQ(versionRect, (RECT{73, 32, 373, 52}));
    EXPECT_EQ(groupRect, (RECT{13, 90, 223, 190}));
    ASSERT_EQ(linkRects.size(), 4u);
    for (int link = 0; link < 4; ++link) {
        EXPECT_EQ(linkRects[link], (RECT{23, 105 + 20 * link, 213, 120 + 20 * link})) << link;
        EXPECT_EQ(Dialog.LinkRect(link), linkRects[link]) << link;
    }
    EXPECT_EQ(okRect, (RECT{303, 195, 383, 215}));
    EXPECT_TRUE(Boxes.Shown().empty());
    EXPECT_TRUE(Shell.Requests.empty());
}

TEST_F(AboutDlgTests, EachLinkOpensItsAddressAndTheDialogStays)
{
    bool openAfterLinks = false;
    CModalScript script = Script();
    script.Do([&] {
        for (int id : LinkIds)
            ClickStatic(Window(), id);
        openAfterLinks = IsWindowVisible(Window()) != FALSE;
        SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // Enter
    });
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_TRUE(openAfterLinks);
    ASSERT_EQ(Shell.Requests.size(), 4u);
    std::vector<std::wstring> targets;
    for (const COpenRequest& request : Shell.Requests) {
        targets.push_back(request.Target);
        EXPECT_EQ(request.Directory, TempFolder);
        EXPECT_NE(request.Owner, nullptr);
    }
    EXPECT_EQ(targets[0].rfind(L"https://", 0), 0u);
    for (int link = 1; link < 4; ++link)
        EXPECT_EQ(targets[link].rfind(L"mailto:", 0), 0u) << link;
    for (int link = 0; link < 4; ++link) {
        EXPECT_EQ(targets[link], CAboutDlg::LinkTarget(link));
        // Every address passes the rule for links unchanged.
        EXPECT_EQ(SafeLinkTarget(targets[link]), targets[link]) << link;
    }
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(AboutDlgTests, AShellFailureIsReportedAndTheDialogStaysUsable)
{
    Shell.Result = 31;  // no mail client
    bool openAfterFailure = false;
    CModalScript script = Script();
    script.Do([&] {
        ClickStatic(Window(), IDC_ABOUT_SUPPORT);
        openAfterFailure = IsWindowVisible(Window()) != FALSE;
        Shell.Result = 33;
        ClickStatic(Window(), IDC_ABOUT_WEBSITE);
        Click(Window(), IDCANCEL);
    });
    EXPECT_EQ(Run(script), IDCANCEL);
    EXPECT_TRUE(openAfterFailure);
    ASSERT_EQ(Boxes.Shown().size(), 1u);
    EXPECT_EQ(Boxes.Shown()[0].Text, L"Failed to open the hyper-link, please try again.");
    EXPECT_EQ(Boxes.Shown()[0].Type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(Shell.Requests.size(), 2u);
}

TEST_F(AboutDlgTests, TheHandShowsOverTheWholeLinkRectangleOnly)
{
    HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    HCURSOR overTextEnd = nullptr, overText = nullptr, overGroup = nullptr, belowLinks = nullptr;
    CModalScript script = Script();
    script.Do([&] {
        auto pointAt = [&](int x, int y, int id) {
            POINT point{x, y};
            ClientToScreen(Window(), &point);
            SetCursorPos(point.x, point.y);
            return Dialog.CursorAtPointer(GetDlgItem(Window(), id));
        };
        const RECT link = Dialog.LinkRect(2);
        overText = pointAt(link.left + 3, link.top + 5, IDC_ABOUT_BUGS);
        // Past the end of the text, still inside the 190-pixel rectangle.
        overTextEnd = pointAt(link.right - 2, link.top + 5, IDC_ABOUT_BUGS);
        overGroup = pointAt(link.right + 4, link.top + 5, IDC_ABOUT_CONTACT);
        belowLinks = pointAt(link.left + 3, Dialog.LinkRect(3).bottom + 3, IDC_ABOUT_CONTACT);
        Click(Window(), IDCANCEL);
    });
    EXPECT_EQ(Run(script), IDCANCEL);
    EXPECT_EQ(overText, hand);
    EXPECT_EQ(overTextEnd, hand);
    EXPECT_NE(overGroup, hand);
    EXPECT_NE(belowLinks, hand);
}

TEST_F(AboutDlgTests, LinksAreBlueAndTheIconIsDrawn)
{
    int bluePixels = 0, iconPixels = 0;
    CModalScript script = Script();
    script.Do([&] {
        CClientPixels pixels(Window());
        bluePixels = pixels.Count(Dialog.LinkRect(0), RGB(0, 0, 255));
        const RECT icon{13, 32, 61, 80};
        iconPixels = 48 * 48 - pixels.Count(icon, RGB(228, 236, 247));
        Click(Window(), IDCANCEL);
    });
    EXPECT_EQ(Run(script), IDCANCEL);
    EXPECT_GT(bluePixels, 20);
    EXPECT_GT(iconPixels, 200);
}
