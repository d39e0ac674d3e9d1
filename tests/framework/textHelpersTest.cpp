// Token and space replacement within fixed buffers, the items of a list, numbers grouped by thousands.
#include "testSupport.h"
#include "textHelpers.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

TEST(ReplaceSpaces, ReplacesEverySpaceWhileItFits)
{
    constexpr size_t guardCount = 4;
    struct Case {
        const wchar_t* text;
        size_t capacity;
        const wchar_t* replacement;
        const wchar_t* expected;
        bool fits;
    };
    const Case cases[] = {
        {L"a b  c", 64, L";*.", L"a;*.b;*.;*.c", true}, // two spaces give an empty item
        {L"Word Lamp ", 64, L"", L"WordLamp", true}, {L"", 64, L";*.", L"", true}, {L"none", 64, L";*.", L"none", true},
        {L"a b", 6, L";*.", L"a;*.b", true},                                    // five characters and the terminator
        {L"a b c", 8, L";*.", L"a;*.b c", false},                               // the second would need nine
        {L"a b", 5, L";*.", L"a b", false}, {L"a b", 64, L" x", L"a xb", true}, // a replacement holding a space ends
    };
    for (const Case& c : cases) {
        wchar_t buffer[64 + guardCount];
        wmemset(buffer, L'#', _countof(buffer));
        wcscpy(buffer, c.text);
        wchar_t* result = replaceSpaces(buffer, c.capacity, c.replacement);
        EXPECT_EQ(result, c.fits ? buffer : nullptr) << narrow(c.text);
        EXPECT_STREQ(buffer, c.expected);
        for (size_t i = c.capacity; i < c.capacity + guardCount; ++i)
            EXPECT_EQ(buffer[i], L'#') << "written past the buffer: " << narrow(c.text);
    }
    wchar_t text[] = L"a b";
    EXPECT_EQ(replaceSpaces(nullptr, 8, L""), nullptr);
    EXPECT_EQ(replaceSpaces(text, _countof(text), nullptr), nullptr);
    EXPECT_STREQ(text, L"a b");
}

TEST(ReplaceEachNoCase, ReplacesEveryOccurrenceWhileItFits)
{
    constexpr size_t guardCount = 4;
    struct Case {
        const wchar_t* text;
        size_t capacity;
        const wchar_t* token;
        const wchar_t* value;
        const wchar_t* expected;
        bool fits;
    };
    const Case cases[] = {
        {L"$DIR$\\x\\$dir$", 64, L"$dir$", L"C:\\d", L"C:\\d\\x\\C:\\d", true},
        {L"a$x$b$X$c", 64, L"$x$", L"", L"abc", true},
        {L"$dir$;$Dir$", 64, L"$dir$", L"[$DIR$]", L"[$DIR$];[$DIR$]", true},
        {L"$x$$x$", 9, L"$x$", L"abcd", L"abcdabcd", true},
        {L"$x$$x$", 8, L"$x$", L"abcd", L"abcd$x$", false},     // the second would need nine characters
        {L"ab$x$c", 10, L"$x$", L"123456", L"ab123456c", true}, // nine characters and the terminator
        {L"ab$x$cd", 10, L"$x$", L"123456", L"ab$x$cd", false},
        {L"$x$", 64, L"", L"v", L"$x$", true},
        {L"", 64, L"$x$", L"v", L"", true},
    };
    for (const Case& c : cases) {
        wchar_t buffer[64 + guardCount];
        wmemset(buffer, L'#', _countof(buffer));
        wcscpy(buffer, c.text);
        EXPECT_EQ(replaceEachNoCase(buffer, c.capacity, c.token, c.value), c.fits) << narrow(c.text);
        EXPECT_STREQ(buffer, c.expected);
        for (size_t i = c.capacity; i < c.capacity + guardCount; ++i)
            EXPECT_EQ(buffer[i], L'#') << "written past the buffer: " << narrow(c.expected);
    }
    wchar_t text[] = L"$x$";
    EXPECT_FALSE(replaceEachNoCase(nullptr, 8, L"$x$", L"v"));
    EXPECT_FALSE(replaceEachNoCase(text, _countof(text), nullptr, L"v"));
    EXPECT_FALSE(replaceEachNoCase(text, _countof(text), L"$x$", nullptr));
    EXPECT_FALSE(replaceEachNoCase(text, 0, L"$x$", L"v"));
    EXPECT_FALSE(replaceEachNoCase(text, _countof(text) - 1, L"$x$", L"v")); // not terminated within it
    EXPECT_STREQ(text, L"$x$");
}

TEST(ListItems, GivesEveryItemEmptyOnesIncluded)
{
    const std::pair<const wchar_t*, std::vector<std::wstring>> cases[] = {
        {L"", {L""}}, {L"a", {L"a"}}, {L";", {L"", L""}}, {L"a;;b", {L"a", L"", L"b"}}, {L"a;", {L"a", L""}},
        {L";a", {L"", L"a"}}, {L" a ; b ", {L" a ", L" b "}}, // blanks belong to their item
    };
    for (const auto& c : cases) {
        std::vector<std::wstring> items;
        for (std::wstring_view item : ListItems(c.first))
            items.emplace_back(item);
        EXPECT_EQ(items, c.second) << narrow(c.first);
    }
    std::vector<std::wstring> items;
    for (std::wstring_view item : ListItems(L"c cpp", L' '))
        items.emplace_back(item);
    EXPECT_EQ(items, (std::vector<std::wstring>{L"c", L"cpp"})) << "another separator";
}

TEST(GroupedNumber, GroupsThousandsByCommas)
{
    const std::pair<unsigned long long, const wchar_t*> cases[]
        = {{0, L"0"}, {7, L"7"}, {999, L"999"}, {1000, L"1,000"}, {12345, L"12,345"}, {1234567, L"1,234,567"},
            {18446744073709551615ull, L"18,446,744,073,709,551,615"}};
    for (const auto& c : cases)
        EXPECT_EQ(groupedNumber(c.first), c.second);
}
