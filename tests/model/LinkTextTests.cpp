#include <gtest/gtest.h>

#include "model/LinkText.h"

TEST(SafeLinkTarget, WebAndMailAddressesPassWithBlanksDroppedAndSchemeInAnyCase)
{
    EXPECT_EQ(SafeLinkTarget(L"http://example.org/"), L"http://example.org/");
    EXPECT_EQ(SafeLinkTarget(L"  HTTPS://Example.org/a?b=c \t"), L"HTTPS://Example.org/a?b=c");
    EXPECT_EQ(SafeLinkTarget(L"Ftp://files.example.org"), L"Ftp://files.example.org");
    EXPECT_EQ(SafeLinkTarget(L"MailTo:someone@example.org"), L"MailTo:someone@example.org");
}

TEST(SafeLinkTarget, BareWwwAddressIsGivenHttp)
{
    EXPECT_EQ(SafeLinkTarget(L"www.example.org"), L"http://www.example.org");
    EXPECT_EQ(SafeLinkTarget(L" WWW.example.org "), L"http://WWW.example.org");
}

TEST(SafeLinkTarget, ProgramsDocumentsAndBareMailAddressesAreRefused)
{
    const wchar_t* refused[] = {
        L"",
        L"   ",
        L"C:\\Windows\\System32\\calc.exe",
        L"calc",
        L"\\\\server\\share\\setup.exe",
        L"file:///C:/Windows/notepad.exe",
        L"javascript:alert(1)",
        L"someone@example.org",
        L"example.org",
        L"http:",
        L"http://",
        L"mailto:",
        L"www.",
        L"httpx://example.org",
        L"http://example.org/\nC:\\evil.exe",
    };
    for (const wchar_t* text : refused)
        EXPECT_EQ(SafeLinkTarget(text), L"") << "accepted: " << std::wstring(text).size();
}
