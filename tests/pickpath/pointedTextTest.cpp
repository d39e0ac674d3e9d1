// What a user points at, read as a name and a position: a table of the texts compilers, traces and
// people write, and a property over generated names written in every form.
#include "pointedText.h"

#include "testSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace pickpath;

namespace {
struct Reading {
    std::wstring name;
    unsigned line;
    unsigned column;
};

bool operator==(const Reading& a, const Reading& b)
{
    return a.name == b.name && a.line == b.line && a.column == b.column;
}

std::ostream& operator<<(std::ostream& out, const Reading& reading)
{
    return out << narrow(reading.name) << "@" << reading.line << ":" << reading.column;
}

// The position reading of a text, or an empty name when there is none.
Reading positionOf(const std::wstring& text)
{
    PointedName reading = {};
    if (!readPosition(text.c_str(), reading))
        return Reading{L"", 0, 0};
    return Reading{reading.Name, reading.Line, reading.Column};
}

std::wstring cleaned(const std::wstring& text)
{
    wchar_t name[pathCapacity] = L"";
    return cleanName(text.c_str(), name, _countof(name)) ? name : L"(none)";
}
} // namespace

TEST(PointedText, ReadsEachFormAsANameAndAPosition)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* cleanedName; // "(none)": nothing is left
        Reading position;           // empty name: no position
    };
    const Case cases[] = {
        // Compilers: gcc and clang, then Microsoft's.
        {L"util.c:42", L"util.c:42", {L"util.c", 42, 0}},
        {L"util.c:42:7", L"util.c:42:7", {L"util.c", 42, 7}},
        {L"util.c:42:7: error: 'x' undeclared", L"util.c:42:7: error: 'x' undeclared", {L"util.c", 42, 7}},
        {L"util.c:42: warning: unused", L"util.c:42: warning: unused", {L"util.c", 42, 0}},
        {L"util.c:42:7:", L"util.c:42:7", {L"util.c", 42, 7}},
        {L"util.c(42)", L"util.c(42)", {L"util.c", 42, 0}},
        {L"util.c(42,7)", L"util.c(42,7)", {L"util.c", 42, 7}},
        {L"util.c(42): warning C4996: 'strcpy'", L"util.c(42): warning C4996: 'strcpy'", {L"util.c", 42, 0}},
        {L"util.c(42,7): error C2065", L"util.c(42,7): error C2065", {L"util.c", 42, 7}},
        {L"util.c(42) : warning C4100", L"util.c(42) : warning C4100", {L"util.c", 42, 0}},
        // A trace's line, the path's slashes read as backslashes.
        {L"  File \"tools/gen.py\", line 42, in main", L"File \"tools\\gen.py\", line 42, in main",
            {L"tools\\gen.py", 42, 0}},
        {L"File \"C:\\Python312\\Lib\\os.py\", line 7", L"File \"C:\\Python312\\Lib\\os.py\", line 7",
            {L"C:\\Python312\\Lib\\os.py", 7, 0}},
        // Drives and shares belong to the name.
        {L"C:\\src\\x.c:42", L"C:\\src\\x.c:42", {L"C:\\src\\x.c", 42, 0}},
        {L"C:\\src\\x.c(12,3): error", L"C:\\src\\x.c(12,3): error", {L"C:\\src\\x.c", 12, 3}},
        {L"C:42", L"C:42", {L"", 0, 0}},
        {L"x:5", L"x:5", {L"", 0, 0}},
        {L"x(5)", L"x(5)", {L"x", 5, 0}},
        {L"C:", L"C:", {L"", 0, 0}},
        {L"\\\\server\\share\\x.c:42:5", L"\\\\server\\share\\x.c:42:5", {L"\\\\server\\share\\x.c", 42, 5}},
        {L"//server/share/x.c:3", L"\\\\server\\share\\x.c:3", {L"\\\\server\\share\\x.c", 3, 0}},
        {L"\\\\?\\C:\\long\\x.c:9", L"\\\\?\\C:\\long\\x.c:9", {L"\\\\?\\C:\\long\\x.c", 9, 0}},
        // Names with parentheses of their own.
        {L"a(1).txt", L"a(1).txt", {L"", 0, 0}},
        {L"a(1).txt:5", L"a(1).txt:5", {L"a(1).txt", 5, 0}},
        {L"a(1).txt(5)", L"a(1).txt(5)", {L"a(1).txt", 5, 0}},
        {L"a(1)", L"a(1)", {L"a", 1, 0}},
        {L"a(1):5", L"a(1):5", {L"a(1)", 5, 0}},
        {L"report (final).doc", L"report (final).doc", {L"", 0, 0}},
        // What people type around a name.
        {L"\"util.c\"", L"util.c", {L"", 0, 0}},
        {L"<sys/types.h>", L"sys\\types.h", {L"", 0, 0}},
        {L"(util.c)", L"util.c", {L"", 0, 0}},
        {L"util.c.", L"util.c", {L"", 0, 0}},
        {L"util.c,", L"util.c", {L"", 0, 0}},
        {L"util.c;", L"util.c", {L"", 0, 0}},
        {L"(\"util.c\").", L"util.c", {L"", 0, 0}},
        {L"\"util.c:42\".", L"util.c:42", {L"util.c", 42, 0}},
        {L"\x2018util.c\x2019", L"util.c", {L"", 0, 0}},
        {L"`util.c'", L"util.c", {L"", 0, 0}},
        {L"(a)(b)", L"(a)(b)", {L"", 0, 0}},
        {L"  util.c:42  ", L"util.c:42", {L"util.c", 42, 0}},
        // File addresses.
        {L"file:///C:/a%20b/c.txt", L"C:\\a b\\c.txt", {L"", 0, 0}},
        {L"file:///C:/caf%C3%A9.txt", L"C:\\caf\x00E9.txt", {L"", 0, 0}},
        {L"file:///C|/x.txt", L"C:\\x.txt", {L"", 0, 0}},
        {L"file://server/share/x.txt", L"\\\\server\\share\\x.txt", {L"", 0, 0}},
        {L"file://localhost/C:/x.txt", L"C:\\x.txt", {L"", 0, 0}},
        {L"<file:///C:/a%20b/c.txt>", L"C:\\a b\\c.txt", {L"", 0, 0}},
        {L"file:///C:/x.c:12", L"C:\\x.c:12", {L"C:\\x.c", 12, 0}},
        {L"file:///C:/bad%C3.txt", L"(none)", {L"", 0, 0}},
        {L"file:///C:/a%00b", L"(none)", {L"", 0, 0}},
        // What reads as no position.
        {L"util.c:0", L"util.c:0", {L"", 0, 0}},
        {L"util.c:1234567890", L"util.c:1234567890", {L"", 0, 0}},
        {L"util.c:42x", L"util.c:42x", {L"", 0, 0}},
        {L"util.c:42:7x", L"util.c:42:7x", {L"", 0, 0}},
        {L"x.c:42:7:8: y", L"x.c:42:7:8: y", {L"", 0, 0}},
        {L"util.c(42", L"util.c(42", {L"", 0, 0}},
        {L"File \"x.py\", line", L"File \"x.py\", line", {L"", 0, 0}},
        {L"...", L"(none)", {L"", 0, 0}},
        {L"", L"(none)", {L"", 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.text));
        EXPECT_EQ(cleaned(c.text), c.cleanedName);
        EXPECT_EQ(positionOf(c.text), c.position);
    }
}

TEST(PointedText, FindsThePositionTheCaretsLineShowsAfterTheName)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* line;
        Reading expected; // empty name: none
    };
    const Case cases[] = {
        {L"util.c", L"util.c:42:7: error: x\r\n", {L"util.c", 42, 7}},
        {L"util.c", L"util.c(42): warning C4996\r\n", {L"util.c", 42, 0}},
        {L"util.c:42", L"util.c:42:7: error: x\r\n", {L"util.c", 42, 7}},
        {L"tools/gen.py", L"  File \"tools/gen.py\", line 3, in main\r\n", {L"tools\\gen.py", 3, 0}},
        {L"util.c", L"In file included from util.c:42:\r\n", {L"util.c", 42, 0}},
        {L"x.c", L"x.c:3: a; x.c:9: b", {L"x.c", 3, 0}},
        {L"util.c", L"see util.c for details\r\n", {L"", 0, 0}},
        {L"util.c", L"myutil.c:42: x", {L"", 0, 0}},
        {L"sys/types.h", L"#include <sys/types.h>", {L"", 0, 0}},
        {L"util.c", L"", {L"", 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.line));
        PointedName reading = {};
        Reading got = {L"", 0, 0};
        if (readPositionAfter(c.name, c.line, reading))
            got = Reading{reading.Name, reading.Line, reading.Column};
        EXPECT_EQ(got, c.expected);
    }
}

TEST(PointedText, TriesTheTextAsGivenThenCleanedThenWithItsPosition)
{
    struct Case {
        const wchar_t* text;
        std::vector<Reading> readings;
    };
    const Case cases[] = {
        {L"util.c", {{L"util.c", 0, 0}}},
        {L"util.c:42", {{L"util.c:42", 0, 0}, {L"util.c", 42, 0}}},
        {L"<util.c>", {{L"<util.c>", 0, 0}, {L"util.c", 0, 0}}},
        {L"(util.c:42).", {{L"(util.c:42).", 0, 0}, {L"util.c:42", 0, 0}, {L"util.c", 42, 0}}},
        {L"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.text));
        PointedName readings[maxReadings];
        size_t count = readPointedText(c.text, readings);
        std::vector<Reading> got;
        for (size_t i = 0; i < count; ++i)
            got.push_back(Reading{readings[i].Name, readings[i].Line, readings[i].Column});
        EXPECT_EQ(got, c.readings);
    }
}

TEST(PointedText, EveryNameAndPositionWrittenInEachFormReadsBackTheSame)
{
    const wchar_t* const folders[] = {L"", L"C:\\", L"D:\\proj\\src\\", L"\\\\server\\share\\", L"src\\", L"..\\inc\\",
        L"\\\\?\\C:\\long\\", L"a (copy)\\"};
    const wchar_t* const files[] = {L"util.c", L"a(1).txt", L"a (copy).c", L"report (final)", L"xy", L"caf\x00E9.c",
        L"my file.h", L"v1.2.3", L"a[1].c", L"x.c(2)", L"it's.c", L"\xD83D\xDE00.txt"};
    // %n the name, %l the line, %c the column.
    struct Form {
        const wchar_t* pattern;
        bool hasColumn;
    };
    const Form forms[] = {
        {L"%n:%l", false},
        {L"%n:%l:%c", true},
        {L"%n(%l)", false},
        {L"%n(%l,%c)", true},
        {L"%n(%l): warning C4996: 'strcpy': unsafe", false},
        {L"%n(%l,%c): error C2065: 'x': undeclared", true},
        {L"%n(%l) : warning C4100", false},
        {L"%n:%l:%c: error: expected ';' before '}'", true},
        {L"%n:%l: note: in expansion of macro", false},
        {L"File \"%n\", line %l", false},
        {L"  File \"%n\", line %l, in <module>", false},
    };
    // %t the text.
    const wchar_t* const wrappers[] = {L"%t", L"\"%t\"", L"<%t>", L"(%t)", L"%t.", L"'%t'", L"  %t\r\n"};
    auto fill = [](std::wstring pattern, wchar_t mark, const std::wstring& value) {
        for (size_t at = pattern.find(std::wstring(L"%") + mark); at != std::wstring::npos;
             at = pattern.find(std::wstring(L"%") + mark, at + value.size()))
            pattern.replace(at, 2, value);
        return pattern;
    };
    std::mt19937 random(20231);
    size_t checked = 0;
    for (int round = 0; round < 3000; ++round) {
        std::wstring name = std::wstring(folders[random() % _countof(folders)]) + files[random() % _countof(files)];
        // Only a name the cleaning leaves alone can come back as it was written.
        ASSERT_EQ(cleaned(name), name);
        unsigned line = random() % 4 == 0 ? 1 + random() % 999999999 : 1 + random() % 5000;
        const Form& form = forms[random() % _countof(forms)];
        unsigned column = form.hasColumn ? 1 + random() % 300 : 0;
        // Written with slashes, the way other systems and addresses write it, now and then.
        std::wstring written = name;
        if (random() % 3 == 0)
            for (wchar_t& c : written)
                c = c == L'\\' ? L'/' : c;
        std::wstring text
            = fill(fill(fill(form.pattern, L'n', written), L'l', std::to_wstring(line)), L'c', std::to_wstring(column));
        text = fill(wrappers[random() % _countof(wrappers)], L't', text);
        SCOPED_TRACE(narrow(text));
        Reading reading = positionOf(text);
        EXPECT_EQ(reading, (Reading{name, line, column}));
        // Reading never makes a name longer than the text it came from.
        EXPECT_LE(reading.name.size(), text.size());
        ++checked;
    }
    EXPECT_EQ(checked, 3000u);
}

TEST(PointedText, AFileAddressReadsBackAsThePathItWasMadeFrom)
{
    const wchar_t* const paths[] = {L"C:\\a b\\c.txt", L"C:\\caf\x00E9\\na\x00EFve.c", L"D:\\100%\\x.c",
        L"\\\\server\\share\\x.txt", L"C:\\\xD83D\xDE00\\y.txt", L"C:\\a#b\\c.c"};
    for (const wchar_t* path : paths) {
        SCOPED_TRACE(narrow(path));
        // Escaped as addresses are: UTF-8 bytes of all but letters, digits and a few marks.
        char bytes[1024];
        int size = WideCharToMultiByte(CP_UTF8, 0, path, -1, bytes, sizeof(bytes), nullptr, nullptr);
        std::wstring address = path[0] == L'\\' ? L"file:" : L"file:///";
        for (int i = 0; i + 1 < size; ++i) {
            unsigned char byte = static_cast<unsigned char>(bytes[i]);
            if (byte == '\\')
                address += L'/';
            else if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')
                || byte == '.' || byte == ':' || byte == '_' || byte == '-')
                address += static_cast<wchar_t>(byte);
            else {
                wchar_t escape[4];
                swprintf(escape, _countof(escape), L"%%%02X", byte);
                address += escape;
            }
        }
        EXPECT_EQ(cleaned(address), path) << narrow(address);
        EXPECT_EQ(cleaned(L"<" + address + L">"), path);
    }
}
