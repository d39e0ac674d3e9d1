// Replacing the settings file: interrupted at any moment, held by another program, and the kept
// parts of a file written back unchanged.
#include "iniText.h"
#include "keptSettings.h"
#include "settingsFile.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {
std::vector<std::wstring> filesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        if (found.cFileName[0] != L'.')
            names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::string utf16File(const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return bytes;
}
} // namespace

TEST(SettingsFile, KilledSavesLeaveAWholeFileAndAtMostOneTemporaryOne)
{
    std::wstring folder = makeTempFolder(L"killedSaves");
    std::wstring path = folder + L"\\Plugin.ini";
    std::wstring saver = programFolder() + L"\\settingsSaver.exe";
    std::mt19937 random(672);
    unsigned kills = 0, whole = 0, mostTemporary = 0;
    for (int round = 0; round < 200; ++round) {
        HANDLE saving = CreateEventW(nullptr, TRUE, FALSE, L"settingsSaverStarted");
        std::wstring commandLine = L"\"" + saver + L"\" \"" + path + L"\" settingsSaverStarted";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessW(
            saver.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            << "round " << round << ", error " << GetLastError();
        // Killed at a random moment once it saves: during a write, a flush or a replace.
        EXPECT_EQ(WaitForSingleObject(saving, 20000), WAIT_OBJECT_0);
        CloseHandle(saving);
        Sleep(random() % 40);
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        ++kills;
        std::vector<std::wstring> names = filesIn(folder);
        unsigned temporary = 0;
        for (const std::wstring& name : names)
            temporary += name != L"Plugin.ini" ? 1 : 0;
        mostTemporary = std::max(mostTemporary, temporary);
        EXPECT_LE(temporary, 1u) << "round " << round;
        if (!fileExists(path))
            continue;
        // Either text, whole: 4,000 sections, every one with its key.
        std::wstring first = readTextFile(path);
        bool complete = first.size() > 2
            && (first.find(L"[S3999]\r\nKey=a\r\n") != std::wstring::npos
                || first.find(L"[S3999]\r\nKey=b\r\n") != std::wstring::npos);
        EXPECT_TRUE(complete) << "round " << round << ": a torn settings file of " << first.size() << " characters";
        whole += complete ? 1 : 0;
    }
    std::printf("settings saves killed: %u, whole files after them: %u, most temporary files at once: %u\n", kills,
        whole, mostTemporary);
    removeTree(folder);
}

// Another program lets go of the file a little later (a thread function in the platform's calling
// convention, which a lambda is not on x86).
static DWORD WINAPI closeAfterAWhile(LPVOID file)
{
    Sleep(300);
    CloseHandle(static_cast<HANDLE>(file));
    return 0;
}

TEST(SettingsFile, AHeldFileIsTriedForASecondAndKeepsItsContents)
{
    std::wstring folder = makeTempFolder(L"heldSettings");
    std::wstring path = folder + L"\\Plugin.ini";
    writeFileBytes(path, utf16File(L"[Old]\r\nKey=1\r\n"));
    const std::wstring text = L"[New]\r\nKey=2\r\n";

    // Held to the end: refused after about a second, the old file whole, no temporary file left.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ULONGLONG start = GetTickCount64();
    DWORD error = replaceSettingsFile(path.c_str(), text.c_str(), text.size());
    ULONGLONG waited = GetTickCount64() - start;
    CloseHandle(held);
    EXPECT_TRUE(error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) << error;
    EXPECT_GE(waited, 800u);
    EXPECT_LE(waited, 3000u);
    EXPECT_EQ(readFileBytes(path), utf16File(L"[Old]\r\nKey=1\r\n"));
    EXPECT_EQ(filesIn(folder), std::vector<std::wstring>{L"Plugin.ini"});

    // Let go within the second: the save goes through.
    held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    HANDLE releaser = CreateThread(nullptr, 0, closeAfterAWhile, held, 0, nullptr);
    EXPECT_EQ(replaceSettingsFile(path.c_str(), text.c_str(), text.size()), static_cast<DWORD>(ERROR_SUCCESS));
    WaitForSingleObject(releaser, INFINITE);
    CloseHandle(releaser);
    EXPECT_EQ(readFileBytes(path), utf16File(text));
    removeTree(folder);
}

// Files in the encodings people's editors write: the section's name and its value "Key" as read.
TEST(KeptSettings, TextIsReadInTheEncodingItWasWrittenIn)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring name;
        std::wstring value;
    };
    const Case cases[] = {
        {"UTF-8 without a mark",
            "[\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82]\r\nKey=B\xC3\xBC"
            "cher\r\n",
            L"\u041F\u0440\u0438\u0432\u0435\u0442", L"B\u00FCcher"},
        {"UTF-8 with its mark", "\xEF\xBB\xBF[\xC3\x84]\r\nKey=\xE5\xAD\x97\r\n", L"\u00C4", L"\u5B57"},
        {"ANSI that is no UTF-8", "[\xC4rger]\r\nKey=caf\xE9\r\n", L"\u00C4rger", L"caf\u00E9"},
        {"plain ASCII", "[Plain]\r\nKey=text\r\n", L"Plain", L"text"},
        {"UTF-16 cut after an odd byte", std::string("\xFF\xFE[\0S\0]\0\n\0K\0e\0y\0=\0a\0b\0", 22) + "c", L"S",
            L"abc"},
        {"UTF-16 in the other byte order, cut after an odd byte",
            std::string("\xFE\xFF\0[\0S\0]\0\n\0K\0e\0y\0=\0a\0b", 22) + "c", L"S", L"abc"},
    };
    std::wstring folder = makeTempFolder(L"keptEncodings");
    std::wstring path = folder + L"\\Plugin.ini";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFileBytes(path, c.bytes);
        KeptSettings kept;
        kept.read(path.c_str());
        ASSERT_EQ(kept.sectionCount(), 1u);
        EXPECT_EQ(std::wstring(kept.sectionName(0)), c.name);
        wchar_t value[16];
        SettingsValues(kept, 0, path.c_str(), c.name.c_str()).text(L"Key", value, _countof(value));
        EXPECT_EQ(std::wstring(value), c.value);
    }
    removeTree(folder);
}

TEST(SettingsFile, MissingFoldersAreCreatedAndAFileInTheirPlaceFailsTheSave)
{
    std::wstring folder = makeTempFolder(L"settingsFolders");
    const std::wstring text = L"[New]\r\nKey=2\r\n";
    const std::wstring nested = folder + L"\\one\\two\\Plugin.ini";
    EXPECT_EQ(replaceSettingsFile(nested.c_str(), text.c_str(), text.size()), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(readFileBytes(nested), utf16File(text));
    // The folders are there now; saving again goes through as well.
    EXPECT_EQ(replaceSettingsFile(nested.c_str(), text.c_str(), text.size()), static_cast<DWORD>(ERROR_SUCCESS));

    writeFileBytes(folder + L"\\blocked", "not a folder");
    const std::wstring blocked = folder + L"\\blocked\\Plugin.ini";
    EXPECT_NE(replaceSettingsFile(blocked.c_str(), text.c_str(), text.size()), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(readFileBytes(folder + L"\\blocked"), "not a folder");
    removeTree(folder);
}

TEST(KeptSettings, SectionsAreTheOnesTheProfileReaderLists)
{
    // Each file in UTF-16; the reader's list of names is the answer.
    const wchar_t* const files[] = {
        L"[A]\r\nk=1\r\n[B]\r\n",
        L"lead=1\r\n  [ Spaced ]  \r\n[\tTab\t]\r\n[Open\r\n[Two]]\r\n[x]y]z\r\n",
        L"[A]\n\n\n[B]\r\r[C]\r\n[]\r\n[ ]\r\n[\u2002Wide\u2002]\r\n[\u00A0Nbsp]\r\n",
        L"\x1A[Ctrl]\x1A\r\n[Last]",
        L"no sections at all\r\n= and a value\r\n",
    };
    std::wstring folder = makeTempFolder(L"keptSettings");
    std::wstring path = folder + L"\\Plugin.ini";
    for (const wchar_t* file : files) {
        SCOPED_TRACE(narrow(file));
        writeFileBytes(path, utf16File(file));
        std::vector<std::wstring> listed;
        wchar_t names[4096] = {};
        GetPrivateProfileSectionNamesW(names, _countof(names), path.c_str());
        for (const wchar_t* name = names; *name != L'\0'; name += wcslen(name) + 1)
            listed.push_back(name);
        KeptSettings kept;
        kept.read(path.c_str());
        std::vector<std::wstring> parsed;
        for (unsigned i = 0; i < kept.sectionCount(); ++i)
            if (kept.sectionName(i)[0] != L'\0')
                parsed.push_back(kept.sectionName(i));
        EXPECT_EQ(parsed, listed);
    }
    removeTree(folder);
}

TEST(KeptSettings, WhatTheTableDidNotTakeIsWrittenBackUnchanged)
{
    std::wstring folder = makeTempFolder(L"keptSettings");
    std::wstring path = folder + L"\\Plugin.ini";
    const std::wstring file = L"; leading comment\r\n[Options]\r\nFlag=1\r\nLater=x\r\n[One]\r\nMask=*.c\r\n"
                              L"Colour=red\r\nmask=second\r\n\r\n[Two]\r\nMask=*.d\r\n[Three]\r\nAny=thing\r\n";
    writeFileBytes(path, utf16File(file));
    KeptSettings kept;
    kept.read(path.c_str());
    ASSERT_EQ(kept.sectionCount(), 4u);
    const wchar_t* const optionKeys[] = {L"Flag"};
    const wchar_t* const entryKeys[] = {L"Mask"};
    kept.markLoaded(0, optionKeys, 1);
    kept.markLoaded(1, entryKeys, 1);
    kept.markLoaded(2, entryKeys, 1);

    struct Case {
        const char* what;
        bool keepTwo;
        const wchar_t* oneMask;
        std::wstring saved;
    };
    const Case cases[] = {
        {"as loaded, but for the repeated key only the table reads", true, L"*.c",
            L"; leading comment\r\n[Options]\r\nFlag=1\r\nLater=x\r\n[One]\r\nMask=*.c\r\nColour=red\r\n"
            L"[Two]\r\nMask=*.d\r\n[Three]\r\nAny=thing\r\n"},
        {"an edited value changes only its line", true, L"*.cpp",
            L"; leading comment\r\n[Options]\r\nFlag=1\r\nLater=x\r\n[One]\r\nMask=*.cpp\r\nColour=red\r\n"
            L"[Two]\r\nMask=*.d\r\n[Three]\r\nAny=thing\r\n"},
        {"a removed entry leaves the file", false, L"*.c",
            L"; leading comment\r\n[Options]\r\nFlag=1\r\nLater=x\r\n[One]\r\nMask=*.c\r\nColour=red\r\n"
            L"[Three]\r\nAny=thing\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsWriter writer;
        kept.writeLeadingLines(writer);
        writer.write(L"Options", L"Flag", L"1");
        kept.writeKeptLines(writer, 1);
        writer.write(L"One", L"Mask", c.oneMask);
        kept.writeKeptLines(writer, 2);
        if (c.keepTwo) {
            writer.write(L"Two", L"Mask", L"*.d");
            kept.writeKeptLines(writer, 3);
        }
        kept.writeUnloadedSections(writer);
        EXPECT_EQ(writer.text(), c.saved);
    }
    removeTree(folder);
}

namespace {
// Pieces of settings files chosen where a reader could go wrong: blanks the reader drops and ones
// it keeps, quotes, signs, digits past what a number holds, keys repeated in other letter cases,
// lines without "=", a NUL inside a value, sections named alike.
std::wstring randomSettingsFile(std::mt19937& random)
{
    const wchar_t* const headers[]
        = {L"[A]", L"[a]", L" [ A ] ", L"[B]", L"[Options]", L"[OPTIONS]", L"[C]]", L"[Open", L"[\u2002A]"};
    const wchar_t* const keys[]
        = {L"Mask", L"mask", L" MASK ", L"Show", L"\tShow", L"Ext", L"Flag", L"Ma sk", L"Ext\u00A0", L"[Show"};
    const wchar_t* const between[] = {L"=", L" = ", L"=\t", L"\x1A=", L"", L"=="};
    const std::wstring values[] = {L"", L"1", L"0", L" 7 ", L"+5", L"-7", L"12abc", L"0x10", L"\"quoted\"", L"'q'",
        L"\"", L"\"'", L"\"a\"b\"", L"  \"spaced\"  ", L"\"\"", L"\" \"", L"4294967297", L"0X10", L"0b101", L"-0o17",
        L"0xfF", L"0x", L"0b2", L"\u2002 3", L"\u00A0", L"x=y", std::wstring(L"a\0b", 3), std::wstring(L"\0", 1) + L"9",
        L"C:\\Program Files\\x.chm", L"\"" + std::wstring(27, L'1') + L"\"", L"\"" + std::wstring(28, L'2') + L"\"",
        L"\"" + std::wstring(29, L'3') + L"\"", L"\"" + std::wstring(30, L'4') + L"\"", std::wstring(29, L'5'),
        std::wstring(30, L'6'), L"-" + std::wstring(31, L'9'), std::wstring(40, L'x')};
    const wchar_t* const lineEnds[] = {L"\r\n", L"\n", L"\r", L"\r\n\r\n"};
    auto pick = [&random](const auto& list) -> const auto&
    {
        return list[std::uniform_int_distribution<size_t>(0, std::size(list) - 1)(random)];
    };
    std::wstring text;
    int lines = std::uniform_int_distribution<int>(1, 24)(random);
    for (int i = 0; i < lines; ++i) {
        if (random() % 4 == 0)
            text += pick(headers);
        else
            text += std::wstring(pick(keys)) + pick(between) + pick(values);
        text += pick(lineEnds);
    }
    return text;
}
} // namespace

// The values a load reads from the text it keeps are the ones the platform's profile functions read
// from the file: every key of every section, as text into buffers of several sizes and as a number.
TEST(KeptSettings, ValuesAreTheOnesTheProfileReaderReads)
{
    std::wstring folder = makeTempFolder(L"keptValues");
    std::wstring path = folder + L"\\Plugin.ini";
    const wchar_t* const keys[] = {L"Mask", L"Show", L"Ext", L"Flag", L"Ma sk", L"Missing"};
    const size_t capacities[] = {1, 2, 4, 30, 260};
    std::mt19937 random(20261209);
    int compared = 0;
    for (int file = 0; file < 300; ++file) {
        std::wstring text = randomSettingsFile(random);
        // Most files in UTF-16 as the plug-ins write them, some in UTF-8 as people do, some cut after
        // an odd byte, whose last character the reader makes of that byte alone.
        if (file % 5 == 3) {
            writeFileBytes(path, utf16File(text) + "x");
        } else if (file % 5 == 4) {
            int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, 0, 0);
            std::string bytes(static_cast<size_t>(size), '\0');
            WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, 0, 0);
            writeFileBytes(path, "\xEF\xBB\xBF" + bytes);
        } else {
            writeFileBytes(path, utf16File(text));
        }
        KeptSettings kept;
        kept.read(path.c_str());
        ASSERT_TRUE(kept.holdsText());
        std::vector<std::wstring> seen;
        for (unsigned section = 0; section < kept.sectionCount(); ++section) {
            std::wstring name = kept.sectionName(section);
            // The reader reads the first section of a name.
            bool later = false;
            for (const std::wstring& earlier : seen)
                later = later || sameSectionName(earlier.c_str(), name.c_str());
            seen.push_back(name);
            if (later || name.empty())
                continue;
            SettingsValues values(kept, section, path.c_str(), name.c_str());
            for (const wchar_t* key : keys) {
                SCOPED_TRACE(narrow(
                    L"file " + std::to_wstring(file) + L" [" + name + L"] " + key + L": " + withVisibleBreaks(text)));
                for (size_t capacity : capacities) {
                    std::wstring fromKept(capacity, L'#');
                    std::wstring fromReader(capacity, L'#');
                    values.text(key, fromKept.data(), capacity);
                    readSetting(path.c_str(), name.c_str(), key, fromReader.data(), capacity);
                    EXPECT_EQ(std::wstring(fromKept.c_str()), std::wstring(fromReader.c_str()))
                        << "capacity " << capacity;
                }
                for (int whenMissing : {0, 1, -3}) {
                    EXPECT_EQ(values.number(key, whenMissing),
                        static_cast<int>(GetPrivateProfileIntW(name.c_str(), key, whenMissing, path.c_str())));
                }
                ++compared;
            }
        }
        // A section the file lacks gives the defaults.
        SettingsValues missing(kept, SettingsValues::noSection, path.c_str(), L"Nowhere");
        wchar_t buffer[8] = L"#";
        missing.text(L"Mask", buffer, _countof(buffer));
        EXPECT_STREQ(buffer, L"");
        EXPECT_EQ(missing.number(L"Show", 5), 5);
    }
    EXPECT_GT(compared, 1000);
    // Without a file every key has its default.
    KeptSettings none;
    none.read((folder + L"\\Missing.ini").c_str());
    SettingsValues absent(none, SettingsValues::noSection, (folder + L"\\Missing.ini").c_str(), L"Options");
    wchar_t text[8] = L"#";
    absent.text(L"Mask", text, _countof(text));
    EXPECT_STREQ(text, L"");
    EXPECT_EQ(absent.number(L"Show", 7), 7);
    removeTree(folder);
}
