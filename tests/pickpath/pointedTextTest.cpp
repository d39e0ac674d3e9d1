// What a user points at, read as names and positions: a table of the texts compilers, traces and
// people write, and a property over generated names written in every form.
#include "pointedText.h"

#include "testSupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace pickpath;

namespace {
// "name" or "name@line" or "name@line:column".
std::wstring describe(const PointedName& reading)
{
    std::wstring text = reading.Name;
    if (reading.Line > 0)
        text += L"@" + std::to_wstring(reading.Line);
    if (reading.Column > 0)
        text += L":" + std::to_wstring(reading.Column);
    return text;
}

std::vector<std::wstring> readingsOf(const wchar_t* text)
{
    PointedName readings[maxReadings];
    size_t count = readPointedText(text, readings);
    std::vector<std::wstring> described;
    for (size_t i = 0; i < count; ++i)
        described.push_back(describe(readings[i]));
    return described;
}
} // namespace

TEST(PointedText, ReadsEachFormAsGivenThenCleanedThenWithItsPosition)
{
    struct Case {
        const wchar_t* text;
        std::vector<std::wstring> readings;
    };
    const Case cases[] = {
        // Compilers: gcc and clang, then Microsoft's; a trace.
        {L"util.c:42", {L"util.c:42", L"util.c@42"}},
        {L"util.c:42:7: error: 'x' undeclared", {L"util.c:42:7: error: 'x' undeclared", L"util.c@42:7"}},
        {L"util.c:42: warning: unused", {L"util.c:42: warning: unused", L"util.c@42"}},
        {L"util.c:42:7:", {L"util.c:42:7:", L"util.c:42:7", L"util.c@42:7"}},
        {L"util.c(42,7)", {L"util.c(42,7)", L"util.c@42:7"}},
        {L"util.c(42): warning C4996: 'x'", {L"util.c(42): warning C4996: 'x'", L"util.c@42"}},
        {L"util.c(42) : warning C4100", {L"util.c(42) : warning C4100", L"util.c@42"}},
        {L"  File \"tools/gen.py\", line 42, in main",
            {L"  File \"tools/gen.py\", line 42, in main", L"File \"tools\\gen.py\", line 42, in main",
                L"tools\\gen.py@42"}},
        // Drives, shares and long paths keep their colons and backslashes.
        {L"C:\\src\\x.c(12,3): error", {L"C:\\src\\x.c(12,3): error", L"C:\\src\\x.c@12:3"}},
        {L"C:42", {L"C:42"}},
        {L"x:5", {L"x:5"}},
        {L"C:", {L"C:"}},
        {L"\\\\server\\share\\x.c:42:5", {L"\\\\server\\share\\x.c:42:5", L"\\\\server\\share\\x.c@42:5"}},
        {L"//server/share/x.c:3", {L"//server/share/x.c:3", L"\\\\server\\share\\x.c:3", L"\\\\server\\share\\x.c@3"}},
        {L"\\\\?\\C:\\long\\x.c:9", {L"\\\\?\\C:\\long\\x.c:9", L"\\\\?\\C:\\long\\x.c@9"}},
        // Names with parentheses of their own.
        {L"a(1).txt", {L"a(1).txt"}},
        {L"a(1).txt:5", {L"a(1).txt:5", L"a(1).txt@5"}},
        {L"a(1).txt(5)", {L"a(1).txt(5)", L"a(1).txt@5"}},
        {L"a(1)", {L"a(1)", L"a@1"}},
        {L"a(1):5", {L"a(1):5", L"a(1)@5"}},
        {L"(a)(b)", {L"(a)(b)"}},
        // What people type around a name.
        {L"<sys/types.h>", {L"<sys/types.h>", L"sys\\types.h"}},
        {L"(\"util.c\").", {L"(\"util.c\").", L"util.c"}},
        {L"\"util.c:42\".", {L"\"util.c:42\".", L"util.c:42", L"util.c@42"}},
        {L"\x2018util.c\x2019,", {L"\x2018util.c\x2019,", L"util.c"}},
        {L"`util.c';", {L"`util.c';", L"util.c"}},
        {L"  util.c  ", {L"  util.c  ", L"util.c"}},
        // File addresses, escapes read as UTF-8.
        {L"<file:///C:/a%20b/caf%C3%A9.txt>", {L"<file:///C:/a%20b/caf%C3%A9.txt>", L"C:\\a b\\caf\x00E9.txt"}},
        {L"file:///C|/100%25/%F0%9F%98%80.c", {L"file:///C|/100%25/%F0%9F%98%80.c", L"C:\\100%\\\xD83D\xDE00.c"}},
        {L"file://server/share/x.txt", {L"file://server/share/x.txt", L"\\\\server\\share\\x.txt"}},
        {L"file://localhost/C:/x.c:12", {L"file://localhost/C:/x.c:12", L"C:\\x.c:12", L"C:\\x.c@12"}},
        {L"file:///C:/bad%C3.txt", {L"file:///C:/bad%C3.txt"}},
        {L"file:///C:/a%00b", {L"file:///C:/a%00b"}},
        // No position.
        {L"util.c:0", {L"util.c:0"}},
        {L"util.c:1234567890", {L"util.c:1234567890"}},
        {L"util.c:42:7x", {L"util.c:42:7x"}},
        {L"x.c:42:7:8: y", {L"x.c:42:7:8: y"}},
        {L"util.c(42", {L"util.c(42"}},
        {L"File \"x.py\", line", {L"File \"x.py\", line"}},
        {L"...", {L"..."}},
        {L"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.text));
        EXPECT_EQ(readingsOf(c.text), c.readings);
    }
}

TEST(PointedText, FindsThePositionTheCaretsLineShowsAfterTheName)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* line;
        const wchar_t* reading; // empty: none
    };
    const Case cases[] = {
        {L"util.c", L"util.c:42:7: error: x\r\n", L"util.c@42:7"},
        {L"util.c:42", L"util.c:42:7: error: x\r\n", L"util.c@42:7"},
        {L"util.c", L"util.c(42): warning C4996\r\n", L"util.c@42"},
        {L"tools/gen.py", L"  File \"tools/gen.py\", line 3, in main\r\n", L"tools\\gen.py@3"},
        {L"util.c", L"In file included from util.c:42:\r\n", L"util.c@42"},
        {L"x.c", L"x.c:3: a; x.c:9: b", L"x.c@3"},
        {L"util.c", L"see util.c for details\r\n", L""},
        {L"util.c", L"myutil.c:42: x", L""},
        {L"sys/types.h", L"#include <sys/types.h>", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.line));
        PointedName reading = {};
        EXPECT_EQ(readPositionAfter(c.name, c.line, reading) ? describe(reading) : L"", c.reading);
    }
}

TEST(PointedText, EveryNameAndPositionWrittenInEachFormReadsBackTheSame)
{
    const wchar_t* const folders[]
        = {L"", L"C:\\", L"D:\\proj\\src\\", L"\\\\server\\share\\", L"..\\inc\\", L"\\\\?\\C:\\long\\", L"a (copy)\\"};
    const wchar_t* const files[] = {L"util.c", L"a(1).txt", L"report (final)", L"xy", L"caf\x00E9.c", L"my file.h",
        L"v1.2.3", L"a[1].c", L"x.c(2)", L"it's.c", L"\xD83D\xDE00.txt"};
    // %n the name, %l the line, %c the column; then %t the whole text in what surrounds it.
    const wchar_t* const forms[] = {L"%n:%l", L"%n:%l:%c", L"%n(%l)", L"%n(%l,%c)", L"%n(%l): warning C4996: 'x'",
        L"%n(%l,%c): error C2065", L"%n(%l) : warning C4100", L"%n:%l:%c: error: expected ';' before '}'",
        L"%n:%l: note: here", L"File \"%n\", line %l", L"  File \"%n\", line %l, in <module>"};
    const wchar_t* const surroundings[] = {L"%t", L"\"%t\"", L"<%t>", L"(%t)", L"%t.", L"'%t'", L"  %t\r\n"};
    auto fill = [](std::wstring pattern, wchar_t mark, const std::wstring& value) {
        const std::wstring placeholder = {L'%', mark};
        for (size_t at = pattern.find(placeholder); at != std::wstring::npos;
             at = pattern.find(placeholder, at + value.size()))
            pattern.replace(at, 2, value);
        return pattern;
    };
    std::mt19937 random(20231);
    for (int round = 0; round < 3000; ++round) {
        std::wstring name = std::wstring(folders[random() % _countof(folders)]) + files[random() % _countof(files)];
        unsigned line = random() % 4 == 0 ? 1 + random() % 999999999 : 1 + random() % 5000;
        std::wstring form = forms[random() % _countof(forms)];
        unsigned column = form.find(L"%c") != std::wstring::npos ? 1 + random() % 300 : 0;
        // Written with slashes, as other systems write it, now and then.
        std::wstring written = name;
        if (random() % 3 == 0)
            for (wchar_t& c : written)
                c = c == L'\\' ? L'/' : c;
        std::wstring text
            = fill(fill(fill(form, L'n', written), L'l', std::to_wstring(line)), L'c', std::to_wstring(column));
        text = fill(surroundings[random() % _countof(surroundings)], L't', text);
        SCOPED_TRACE(narrow(text));
        PointedName reading = {};
        ASSERT_TRUE(readPosition(text.c_str(), reading));
        EXPECT_EQ(describe(reading),
            name + L"@" + std::to_wstring(line) + (column > 0 ? L":" + std::to_wstring(column) : L""));
        // Reading never makes a name longer than the text it came from.
        EXPECT_LE(wcslen(reading.Name), text.size());
    }
}
