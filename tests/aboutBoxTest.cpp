// Version numbers and build strings as the About box shows them, and the version resource reader.
#include "aboutBox.h"
#include "pluginIdentity.h"
#include "testSupport.h"

#include <gtest/gtest.h>

TEST(VersionNumber, FoldsTheProductVersion)
{
    struct Case {
        ProductVersion version;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {{{1, 6, 1, 0}}, L"1.61"}, {{{1, 0, 1, 0}}, L"1.01"},
        {{{1, 10, 0, 0}}, L"2.00"}, // the second number counts in tenths
        {{{1, 6, 1, 9}}, L"1.62"},  // the fourth carries into the second decimal
        {{{0, 0, 0, 0}}, L"0.00"},  // a library without a version
    };
    for (const Case& c : cases) {
        wchar_t shown[32];
        swprintf(shown, _countof(shown), L"%.02f", versionNumber(c.version));
        EXPECT_STREQ(shown, c.shown) << c.version.parts[0] << "." << c.version.parts[1] << "." << c.version.parts[2];
    }
    const ProductVersion none = getProductVersion(L"C:\\no\\such\\file.dll");
    EXPECT_EQ(versionNumber(none), 0.0) << "no file, no version";
}

TEST(BuildString, IsYearMonthDay)
{
    struct Case {
        const wchar_t* date;
        const wchar_t* build;
    };
    const Case cases[] = {
        {L"Mar 30 2015", L"2015-03-30"}, {L"Feb 24 2015", L"2015-02-24"},
        {L"Mar  5 2015", L"2015-03-05"},                                // single-digit day
        {L"Dec 31 1999", L"1999-12-31"}, {L"Foo 30 2015", L"2015--30"}, // unknown month
        {L"mar 30 2015", L"2015--30"},                                  // months compare with case
    };
    for (const Case& c : cases) {
        wchar_t build[64];
        buildStringFromDate(c.date, build, _countof(build));
        EXPECT_STREQ(build, c.build) << narrow(c.date);
    }
    std::wstring ours = getBuildString();
    ASSERT_EQ(ours.size(), 10u);
    EXPECT_EQ(ours[4], L'-');
    EXPECT_EQ(ours[7], L'-');
}

TEST(VersionResource, ReadsTheLibrariesOwnStrings)
{
    std::wstring wordlamp = pluginPath(L"Wordlamp.dll");
    std::wstring pickpath = pluginPath(L"Pickpath.dll");
    EXPECT_EQ(getVersionString(wordlamp.c_str(), L"InternalName"), L"Wordlamp");
    EXPECT_EQ(getVersionString(wordlamp.c_str(), L"ProductVersion"), L"1, 6, 1, 0");
    EXPECT_EQ(getVersionString(wordlamp.c_str(), L"FileVersion"), L"1, 6, 1, 0");
    EXPECT_EQ(getVersionString(wordlamp.c_str(), L"Comments"), L"Notepad++ plugin");
    EXPECT_EQ(getVersionString(wordlamp.c_str(), L"OriginalFilename"), L"Wordlamp.dll");
    EXPECT_EQ(getVersionString(pickpath.c_str(), L"InternalName"), L"Pickpath");
    EXPECT_EQ(getVersionString(pickpath.c_str(), L"ProductVersion"), L"1, 0, 1, 0");
    EXPECT_EQ(getVersionString(pickpath.c_str(), L"FileDescription"), L"Open a file from the selected text.");
    EXPECT_EQ(getVersionString(pickpath.c_str(), L"NoSuchKey"), L"");
    EXPECT_EQ(getVersionString(L"", L"InternalName"), L"");
    EXPECT_EQ(getVersionString(L"C:\\no\\such\\file.dll", L"InternalName"), L"");
    std::wstring notALibrary = makeTempFolder(L"ver") + L"\\plain.txt";
    writeFileBytes(notALibrary, "no version here");
    EXPECT_EQ(getVersionString(notALibrary.c_str(), L"InternalName"), L"");
}

TEST(VersionResource, FixedVersionsMatchTheStrings)
{
    for (const wchar_t* library : {L"Wordlamp.dll", L"Pickpath.dll"}) {
        std::wstring path = pluginPath(library);
        DWORD handle = 0;
        DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
        ASSERT_GT(size, 0u);
        std::vector<BYTE> block(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
        bool isWordlamp = wcscmp(library, L"Wordlamp.dll") == 0;
        EXPECT_EQ(fixed->dwFileVersionMS, isWordlamp ? 0x00010006u : 0x00010000u);
        EXPECT_EQ(fixed->dwFileVersionLS, 0x00010000u);
        EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
        WORD* translation = nullptr;
        ASSERT_TRUE(VerQueryValueW(
            block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
        EXPECT_EQ(translation[0], 0x0409);
        EXPECT_EQ(translation[1], 0x04B0);
    }
}
