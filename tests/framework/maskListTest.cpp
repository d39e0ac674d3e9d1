// Mask matching: the platform's wildcard rules, without its exponential time on masks of many "*".
#include "maskList.h"
#include "testSupport.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <random>

TEST(MaskList, SplitsAtSemicolonsAndSkipsEmptyPieces)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* masks;
        bool matches;
    };
    const Case cases[] = {
        {L"a.txt", L";*.txt;;", true},
        {L"x.h", L"*.c; *.h", true},  // blanks before a mask are skipped, as the platform does
        {L"x.h", L"*.c;*.h ", false}, // a trailing blank is part of the mask
        {L"MAIN.C", L"*.c", true},
        {L"\u00C4rger.txt", L"\u00E4*.TXT", true}, // letters of any script, without regard to case
        {L"readme", L"*.*", true},                 // "*.*" takes every name
        {L"readme", L" *.*", false},               // but not with a blank before it
        {L"a.c", L"", false},
        {L"a.c", L";;", false},
        {L"", L"*", true},
        {L"", L"?", false},
        {L"abc", L"a?c", true},
        {L"ac", L"a?c", false},
        {L"a.b.c", L"*.*.*", true},
        {L"file[1].c", L"file[1].c", true}, // brackets are no wildcards
        {L"file1.c", L"file[1].c", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(matchesMaskList(c.name, c.masks), c.matches) << narrow(c.name) << " ~ " << narrow(c.masks);
}

TEST(MaskList, AgreesWithThePlatformsMatcher)
{
    // Short names and masks over a small alphabet reach every corner of the rules quickly.
    std::mt19937 random(20261208);
    const wchar_t nameLetters[] = L"aAb.c ";
    const wchar_t maskLetters[] = L"aBb.c *?";
    auto text = [&](const wchar_t* letters, size_t count, size_t maxLength) {
        std::wstring value;
        size_t length = random() % (maxLength + 1);
        for (size_t i = 0; i < length; ++i)
            value += letters[random() % count];
        return value;
    };
    int compared = 0;
    for (int round = 0; round < 20000; ++round) {
        std::wstring name = text(nameLetters, 6, 7);
        std::wstring mask = text(maskLetters, 8, 6);
        if (mask.empty())
            continue;
        ++compared;
        ASSERT_EQ(matchesMask(name.c_str(), mask.c_str()), PathMatchSpecW(name.c_str(), mask.c_str()) != FALSE)
            << "'" << narrow(name) << "' ~ '" << narrow(mask) << "'";
    }
    EXPECT_GT(compared, 15000);
}

TEST(MaskList, ManyStarsTakeNoTime)
{
    // The platform's matcher needs seconds to minutes for these; a command must not freeze the editor.
    const std::wstring longName(259, L'a');
    struct Case {
        std::wstring name;
        std::wstring mask;
    };
    const Case cases[] = {
        {std::wstring(40, L'q'), L"*?*?*?*?*?*?*?*?*?*?x"},
        {longName, L"*a*a*a*x"},
        {L"twelve-chars", std::wstring(258, L'*') + L"x"},
    };
    DWORD start = GetTickCount();
    for (const Case& c : cases)
        EXPECT_FALSE(matchesMaskList(c.name.c_str(), c.mask.c_str()));
    EXPECT_TRUE(matchesMaskList(longName.c_str(), L"*a*a*a*a"));
    EXPECT_LT(GetTickCount() - start, 200u);
}
