#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/Links.h"
#include "framework/Shell.h"
#include "storage/Paths.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempFolder.h"

namespace {
struct OpenRequest {
    HWND Owner;
    std::wstring Target;
    std::wstring Directory;
};

// Records what the shell was asked and answers with a fixed result.
class CShellScript {
public:
    explicit CShellScript(INT_PTR result)
    {
        m_previous = SetShellOpener([this, result](HWND owner, const std::wstring& target,
                                                   const std::wstring& directory) {
            m_requests.push_back({owner, target, directory});
            return result;
        });
    }
    ~CShellScript() { SetShellOpener(m_previous); }
    const std::vector<OpenRequest>& Requests() const { return m_requests; }

private:
    std::vector<OpenRequest> m_requests;
    ShellOpener m_previous;
};
}  // namespace

TEST(OpenLinkTests, WebAddressGoesToTheShellWithTheScratchFolder)
{
    std::wstring savedTemp = TempFolder;
    TempFolder = L"C:\\scratch\\Temp\\";
    CMessageBoxScript boxes;
    CShellScript shell(42);
    EXPECT_TRUE(OpenLink(nullptr, L" www.example.org "));
    ASSERT_EQ(shell.Requests().size(), 1u);
    EXPECT_EQ(shell.Requests()[0].Target, L"http://www.example.org");
    EXPECT_EQ(shell.Requests()[0].Directory, L"C:\\scratch\\Temp\\");
    EXPECT_TRUE(boxes.Shown().empty());
    TempFolder = savedTemp;
}

TEST(OpenLinkTests, ProgramPathIsNeverStartedAndShellFailureIsReported)
{
    CMessageBoxScript boxes;
    CShellScript shell(2);  // SE_ERR_FILENOTFOUND
    EXPECT_FALSE(OpenLink(nullptr, L"C:\\Windows\\notepad.exe"));
    EXPECT_TRUE(shell.Requests().empty());
    EXPECT_FALSE(OpenLink(nullptr, L"https://example.org"));
    EXPECT_EQ(shell.Requests().size(), 1u);
    ASSERT_EQ(boxes.Shown().size(), 2u);
    for (const ShownMessageBox& box : boxes.Shown()) {
        EXPECT_EQ(box.Text, L"Failed to open the hyper-link, please try again.");
        EXPECT_EQ(box.Type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    }
}

TEST(ShellTests, RealOpenOfAMissingFileFails)
{
    CTempFolder folder;
    INT_PTR result = ShellOpen(nullptr, folder.Path() + L"missing.qvtest", folder.Path());
    EXPECT_LE(result, 32);
}

TEST(ShellTests, ShiftKeyReaderCanBeReplacedAndRestored)
{
    ShiftKeyReader previous = SetShiftKeyReader([] { return true; });
    EXPECT_TRUE(IsShiftKeyDown());
    SetShiftKeyReader([] { return false; });
    EXPECT_FALSE(IsShiftKeyDown());
    SetShiftKeyReader(previous);
    // Nobody presses keys during the tests: the real reader sees Shift up.
    EXPECT_FALSE(IsShiftKeyDown());
}
