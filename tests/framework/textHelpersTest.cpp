// Token and space replacement within fixed buffers; a word percent-encoded for an address and
// quoted as one argument of a command line.
#include "testSupport.h"
#include "textHelpers.h"
#include "wordSamples.h"

#include <gtest/gtest.h>

#include <cwchar>

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

TEST(PercentEncodeUtf8, EveryWordDecodesBackAndOnlyUnreservedCharactersStayBare)
{
    static wchar_t encoded[40000];
    for (const std::wstring& word : sampleWords(20, 400)) {
        ASSERT_TRUE(percentEncodeUtf8(word.c_str(), encoded, _countof(encoded))) << word.size();
        std::wstring decoded;
        EXPECT_TRUE(percentDecodeUtf8(encoded, decoded)) << narrow(encoded);
        EXPECT_EQ(decoded, word) << narrow(encoded);
    }
    struct Case {
        const wchar_t* word;
        const wchar_t* encoded;
    };
    const Case cases[] = {
        {L"C++", L"C%2B%2B"},
        {L"a b", L"a%20b"},
        {L"-._~", L"-._~"},
        {L"\u00E4", L"%C3%A4"},
        {L"\u20AC", L"%E2%82%AC"},
        {L"\U0001F600", L"%F0%9F%98%80"},
        {L"x\xD800y", L"x%EF%BF%BDy"}, // half of a pair alone
        {L"\xDC00", L"%EF%BF%BD"},
        {L"", L""},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(percentEncodeUtf8(c.word, encoded, _countof(encoded)));
        EXPECT_STREQ(encoded, c.encoded);
    }
}

TEST(PercentEncodeUtf8, RefusesWhatDoesNotFitWithoutWritingPastIt)
{
    constexpr size_t guardCount = 4;
    for (size_t capacity : {size_t(1), size_t(7), size_t(11), size_t(12), size_t(13)}) {
        wchar_t buffer[32];
        wmemset(buffer, L'#', _countof(buffer));
        // "a%C3%A4%20b": 11 characters and the terminator.
        bool fits = percentEncodeUtf8(L"a\u00E4 b", buffer, capacity);
        EXPECT_EQ(fits, capacity >= 12) << capacity;
        EXPECT_STREQ(buffer, fits ? L"a%C3%A4%20b" : L"") << capacity;
        for (size_t i = capacity; i < capacity + guardCount; ++i)
            EXPECT_EQ(buffer[i], L'#') << capacity;
    }
}

TEST(QuoteArgument, EveryWordIsReadBackAsExactlyOneArgument)
{
    static wchar_t quoted[40000];
    for (const std::wstring& word : sampleWords(21, 400)) {
        for (bool alwaysQuote : {false, true}) {
            ASSERT_TRUE(quoteArgument(word.c_str(), alwaysQuote, quoted, _countof(quoted)));
            // After the program's name and before another argument, as a command line holds it.
            std::vector<std::wstring> arguments
                = commandLineArguments(L"program.exe " + std::wstring(quoted) + L" next");
            ASSERT_EQ(arguments.size(), 3u) << narrow(quoted);
            EXPECT_EQ(arguments[1], word) << narrow(quoted);
            EXPECT_TRUE(!alwaysQuote || quoted[0] == L'"') << narrow(quoted);
        }
    }
    struct Case {
        const wchar_t* word;
        const wchar_t* quoted;
    };
    const Case cases[] = {
        {L"strcpy_s", L"strcpy_s"}, // nothing to quote
        {L"a\\b", L"a\\b"},         // a backslash before no quote stays single
        {L"a b\\", L"\"a b\\\\\""}, // before the closing quote it is doubled
        {L"a\"b", L"\"a\\\"b\""},
        {L"a\\\"b", L"\"a\\\\\\\"b\""},
        {L"", L"\"\""},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(quoteArgument(c.word, false, quoted, _countof(quoted)));
        EXPECT_STREQ(quoted, c.quoted);
    }
    wchar_t small[6];
    EXPECT_FALSE(quoteArgument(L"a b\\", false, small, _countof(small)));
    EXPECT_STREQ(small, L"");
    EXPECT_TRUE(quoteArgument(L"a b", false, small, _countof(small)));
    EXPECT_STREQ(small, L"\"a b\"");
}
