#include "sweepInputs.h"

#include <windows.h>

#include <algorithm>

namespace {
// A drive letter that no system here maps: nothing below it exists, and no cut of a path on it
// names an existing folder (a cut "C:\" would make the shell start a file browser).
const wchar_t missingDrive[] = L"Q:\\sweep-nosuch\\";

const wchar_t nameLetters[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 _-.+()&!,'"
                              L"\u00E4\u00C4\u00F6\u00D6\u00E9\u00C9\u4E2D\u6587";
const wchar_t bookEmoji[] = L"\U0001F4D8"; // a pair of surrogates

const wchar_t* const everydayNames[] = {L"C/C++", L"Win32 API", L"PHP manual", L"Python", L"MSDN Library", L"Perl",
    L"HTML 4", L"Search the web", L"Headers", L"Sources"};
const wchar_t* const oddNames[] = {L"a&b", L"tab\there", L"semi;colon", L"eq=name", L"[bracket", L"close]bracket",
    L" lead", L"trail ", L"#hash", L";first", L"\"quoted\"", L"x]", L"%PATH%", L"$word$", L"a\\b", L"..", L"CON",
    L"\u00C4rger \u00E4rger", L"\u4E2D\u6587\u5E2E\u52A9"};
const wchar_t* const optionSpellings[]
    = {L"Options", L"OPTIONS", L"options", L"oPtIoNs", L" Options", L"Options ", L"Options2", L"Option"};

// Variables with and without their closing sign, in several spellings, and stray signs.
const wchar_t* const templateTokens[] = {L"$fullpath$", L"$dir$", L"$name$", L"$ext$", L"$word$", L"$WORD$", L"$Word$",
    L"$nppdir$", L"$pdir$", L"$cdir$", L"$wdir$", L"$date$", L"$time$", L"$DIR$", L"$FullPath$"};
const wchar_t* const strayTemplates[]
    = {L"$", L"$$", L"$dir", L"%", L"%%", L"%PATH%", L"%NOSUCH%", L"$word$$WORD$", L"$$word$$", L"%$word$%", L"dir$"};
// Strays that expand to nothing that exists, so "!" may go before them.
const wchar_t* const harmlessBangTemplates[] = {L"$", L"$$", L"$dir", L"%", L"%%", L"%NOSUCH%", L"dir$"};

const wchar_t* const oddMasks[] = {L"*", L"**", L"?", L";;", L"*.*.*", L"[a]", L"*.c;*.h", L"*.c; *.h", L";*.txt;;",
    L"", L";", L"*.", L".*", L"*.C", L"a*b?c", L"*.*", L"??????", L"*\u00E4*", L"*.h*", L" *.c", L"*.c ", L"*?*?",
    L"main.c", L"*;*", L"**.*"};
const wchar_t* const oddExtensions[]
    = {L".c;.h", L"", L";;", L".", L"..", L"*", L".?", L".h;;.c;", L"h", L".c;", L";.h", L".H", L". h", L".tar.gz"};
const wchar_t* const legacyExtensions[] = {L"c cpp h", L"", L" c  h ", L"c", L"  ", L"c;h", L"*", L"php php3 inc"};
const wchar_t* const showValues[] = {L"0", L"1", L"5", L"-3", L"x", L"", L" 1", L"99999999999", L"0x10", L"1e3"};
const wchar_t* const optionValues[]
    = {L"0", L"1", L"2", L"3", L"7", L"-1", L"abc", L"", L"4294967296", L" 1", L"2147483648", L"\"1\""};
const wchar_t* const wordlampOptionKeys[] = {L"StayOnTop", L"HelpMenuMode", L"HelpMenuSearchWord", L"ShowToolBarButton",
    L"ShowContextMenuEntry", L"ShowContextMenuEntryOnTop", L"ShowMenuIcons"};
const wchar_t* const pickpathOptionKeys[]
    = {L"ShowToolBarButton", L"ShowContextMenuEntry", L"ShowContextMenuEntryOnTop"};

const wchar_t* const deviceNames[] = {L"CON", L"NUL", L"COM1", L"LPT1", L"con.txt", L"AUX.h", L"PRN", L"nul.c"};
const wchar_t* const oddSelections[] = {L"printf", L"\"quoted\"", L"'single'", L"<stdio.h>", L"\"stdio.h\"", L"(paren)",
    L"[bracket]", L"{brace}", L"line\r\nbreak", L"line\nbreak.h", L"tab\tx", L"\\\\?\\Q:\\x.h",
    L"\\\\?\\C:\\sweep-nosuch\\x.h", L"\\\\.\\COM1", L"\\\\.\\NUL", L"\\\\server\\share\\x", L"..\\..\\x",
    L"..\\..\\x.h", L"*", L"?", L"*.h", L"a?b.h", L"", L" ", L"$word$", L"%PATH%", L"a;b", L"x.h;y.h", L"util",
    L"util.h", L"deep", L"a b", L"!bang.h", L"$dir$", L"\\", L"/", L"C:", L"sub\\util.h", L"\u00E4rger.h"};

std::wstring letters(Random& random, size_t length)
{
    std::wstring text;
    while (text.size() < length) {
        if (random.chance(2) && text.size() + 2 <= length)
            text += bookEmoji;
        else
            text += nameLetters[random.below(_countof(nameLetters) - 1)];
    }
    return text;
}

// Text of the given length made of path-like pieces.
std::wstring pathLike(Random& random, size_t length)
{
    std::wstring text;
    while (text.size() < length)
        text += letters(random, static_cast<size_t>(random.between(1, 12))) + L"\\";
    text.resize(length);
    return text;
}

// Only the case of A to Z: Wine's profile functions tell other letters apart by their case, where
// Windows' (and CompareStringOrdinal) don't.
wchar_t flipCase(wchar_t c)
{
    if (c >= L'a' && c <= L'z')
        return static_cast<wchar_t>(c - L'a' + L'A');
    if (c >= L'A' && c <= L'Z')
        return static_cast<wchar_t>(c - L'A' + L'a');
    return c;
}

std::wstring caseVariant(Random& random, std::wstring name)
{
    for (wchar_t& c : name)
        if (random.chance(50))
            c = flipCase(c);
    return name;
}

std::wstring sectionName(Random& random, std::vector<std::wstring>& used, bool allowHuge)
{
    std::wstring name;
    switch (random.below(15)) {
    case 0:
    case 1:
        name = letters(random, static_cast<size_t>(random.between(1, 20)));
        break;
    case 2:
        name = random.pick(everydayNames);
        break;
    case 3:
        name = random.pick(oddNames);
        break;
    case 4:
        name = letters(random, 259);
        break;
    case 5:
        name = letters(random, static_cast<size_t>(random.between(260, 300)));
        break;
    case 6:
        name = allowHuge ? letters(random, 3000) : letters(random, 40);
        break;
    case 7:
    case 8:
        name = used.empty() ? letters(random, 5) : caseVariant(random, random.pick(used));
        break;
    case 9:
        name = used.empty() ? L"Same" : random.pick(used);
        break;
    case 10:
        name = random.pick(optionSpellings);
        break;
    case 11: {
        // Long names that agree in their first 259 characters are one name once cut to fit.
        std::vector<std::wstring> longOnes;
        for (const std::wstring& candidate : used)
            if (candidate.size() >= 259)
                longOnes.push_back(candidate);
        name = longOnes.empty() ? letters(random, 270)
                                : random.pick(longOnes).substr(0, 259 + random.below(5))
                + letters(random, static_cast<size_t>(random.between(1, 20)));
        break;
    }
    case 12:
        name = random.chance(30) ? L"" : L"\u00C4rger";
        break;
    default:
        name = random.pick(everydayNames) + std::wstring(L" ") + letters(random, 3);
        break;
    }
    used.push_back(name);
    return name;
}

// Values as people write them by hand: sometimes quoted, sometimes with blanks around.
std::wstring decorated(Random& random, const std::wstring& value)
{
    switch (random.below(30)) {
    case 0:
        return L"\"" + value + L"\"";
    case 1:
        return L"  " + value;
    case 2:
        return value + L"\t ";
    default:
        return value;
    }
}

std::wstring longValue(Random& random, size_t length)
{
    return pathLike(random, length);
}

void addEntryKeys(Random& random, Plugin plugin, const SweepPlaces& places, bool cuttable, bool huge,
    std::vector<std::wstring>& lines)
{
    std::vector<std::wstring> keys;
    auto sometimesHuge = [&](std::wstring value) {
        return huge && random.chance(2) ? value + longValue(random, static_cast<size_t>(random.between(5000, 40000)))
                                        : value;
    };
    if (random.chance(75))
        keys.push_back(L"Mask=" + decorated(random, sometimesHuge(maskList(random))));
    if (plugin == Plugin::wordlamp) {
        if (random.chance(35))
            keys.push_back(L"Extension=" + sometimesHuge(random.pick(legacyExtensions)));
        if (random.chance(85))
            keys.push_back(L"File=" + decorated(random, sometimesHuge(helpLocation(random, places))));
        if (random.chance(75))
            keys.push_back(L"Show=" + std::wstring(random.pick(showValues)));
    } else {
        if (random.chance(85)) {
            // A huge value is cut to 2599 characters; only relative "!" items survive any cut.
            std::wstring folders = searchFolders(random, places, !cuttable && !huge);
            keys.push_back(L"Path="
                + decorated(random,
                    huge && random.chance(2)
                        ? folders + L";" + longValue(random, static_cast<size_t>(random.between(5000, 40000)))
                        : folders));
        }
        if (random.chance(75))
            keys.push_back(L"Ext=" + decorated(random, sometimesHuge(extensionList(random))));
    }
    if (random.chance(15))
        keys.push_back(L"Comment=" + letters(random, 10));
    if (random.chance(15))
        keys.push_back(random.chance(50) ? L"MASK=" + maskList(random) : L"Mask=" + maskList(random));
    if (random.chance(10))
        keys.push_back(
            plugin == Plugin::wordlamp ? L"file=" + helpLocation(random, places) : L"ext=" + extensionList(random));
    if (random.chance(30))
        std::rotate(keys.begin(), keys.begin() + static_cast<long>(random.below(keys.size() + 1) % (keys.size() + 1)),
            keys.end());
    lines.insert(lines.end(), keys.begin(), keys.end());
}

void addOptions(Random& random, Plugin plugin, const std::wstring& sectionName, std::vector<std::wstring>& lines)
{
    lines.push_back(L"[" + sectionName + L"]");
    if (plugin == Plugin::wordlamp) {
        for (const wchar_t* key : wordlampOptionKeys)
            if (random.chance(80))
                lines.push_back(std::wstring(key) + L"=" + random.pick(optionValues));
    } else {
        for (const wchar_t* key : pickpathOptionKeys)
            if (random.chance(80))
                lines.push_back(std::wstring(key) + L"=" + random.pick(optionValues));
    }
}

// Lines that the profile reader must step over.
std::wstring malformedLine(Random& random)
{
    switch (random.below(12)) {
    case 0:
        return L"=" + letters(random, 6);
    case 1:
        return L"=";
    case 2:
        return L"[unclosed " + letters(random, 8);
    case 3:
        return letters(random, static_cast<size_t>(random.between(1, 40)));
    case 4:
        return L"Mask=" + longValue(random, static_cast<size_t>(random.between(5000, 20000)));
    case 5:
        return longValue(random, static_cast<size_t>(random.between(5000, 20000)));
    case 6:
        return random.chance(50) ? L"[" : L"]";
    case 7:
        return L"[[double]]";
    case 8:
        return L"   \t  ";
    case 9:
        return L";comment=" + letters(random, 5);
    case 10:
        return L"#comment";
    default:
        return L"";
    }
}

std::wstring joinLines(Random& random, const std::vector<std::wstring>& lines)
{
    const wchar_t* const breaks[] = {L"\r\n", L"\r\n", L"\n", L"\r\n"};
    const wchar_t* lineBreak = random.pick(breaks);
    bool mixed = random.chance(5);
    std::wstring text;
    for (const std::wstring& line : lines)
        text += line + (mixed ? random.pick(breaks) : lineBreak);
    return text;
}

enum class Encoding { utf16, ansi, utf8, utf16BigEndian, utf8WithoutMark };

std::string encode(const std::wstring& text, Encoding encoding)
{
    std::string bytes;
    switch (encoding) {
    case Encoding::utf16:
    case Encoding::utf16BigEndian: {
        bool big = encoding == Encoding::utf16BigEndian;
        bytes = big ? "\xFE\xFF" : "\xFF\xFE";
        for (wchar_t c : text) {
            char low = static_cast<char>(c & 0xFF);
            char high = static_cast<char>((c >> 8) & 0xFF);
            bytes += big ? high : low;
            bytes += big ? low : high;
        }
        break;
    }
    case Encoding::ansi:
    case Encoding::utf8:
    case Encoding::utf8WithoutMark: {
        UINT codePage = encoding == Encoding::ansi ? CP_ACP : CP_UTF8;
        if (encoding == Encoding::utf8)
            bytes = "\xEF\xBB\xBF";
        int length = WideCharToMultiByte(
            codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        std::string converted(static_cast<size_t>(std::max(length, 0)), '\0');
        if (length > 0)
            WideCharToMultiByte(
                codePage, 0, text.data(), static_cast<int>(text.size()), &converted[0], length, nullptr, nullptr);
        bytes += converted;
        break;
    }
    }
    return bytes;
}

Encoding anyEncoding(Random& random)
{
    const Encoding encodings[] = {Encoding::utf16, Encoding::utf16, Encoding::utf16, Encoding::ansi, Encoding::utf8,
        Encoding::utf16BigEndian, Encoding::utf8WithoutMark};
    return random.pick(encodings);
}

std::string randomBytes(Random& random, size_t length)
{
    std::string bytes;
    for (size_t i = 0; i < length; ++i)
        bytes += static_cast<char>(random.chance(10) ? 0 : random.below(256));
    return bytes;
}

// Sections with keys: entries (some named like others) and "Options" in its several spellings.
std::vector<std::wstring> plainLines(
    Random& random, Plugin plugin, const SweepPlaces& places, int sections, bool malformed, bool cuttable, bool huge)
{
    std::vector<std::wstring> lines;
    std::vector<std::wstring> used;
    if (malformed && random.chance(50))
        lines.push_back(
            plugin == Plugin::wordlamp ? L"File=" + helpLocation(random, places) : L"Path=" + maskList(random));
    bool optionsWritten = false;
    for (int i = 0; i < sections; ++i) {
        if (!optionsWritten && random.chance(40)) {
            addOptions(random, plugin, L"Options", lines);
            optionsWritten = true;
        }
        lines.push_back(L"[" + sectionName(random, used, huge) + L"]");
        addEntryKeys(random, plugin, places, cuttable, huge, lines);
        if (malformed)
            while (random.chance(25))
                lines.insert(lines.begin() + static_cast<long>(random.below(lines.size() + 1)), malformedLine(random));
    }
    return lines;
}

std::vector<std::wstring> duplicateLines(Random& random, Plugin plugin, const SweepPlaces& places)
{
    std::vector<std::wstring> bases;
    std::vector<std::wstring> used;
    int baseCount = random.between(2, 8);
    for (int i = 0; i < baseCount; ++i)
        bases.push_back(sectionName(random, used, false));
    std::vector<std::wstring> lines;
    int sections = random.between(10, 40);
    for (int i = 0; i < sections; ++i) {
        if (random.chance(20)) {
            addOptions(random, plugin, random.pick(optionSpellings), lines);
            continue;
        }
        const std::wstring& base = random.pick(bases);
        lines.push_back(L"[" + (random.chance(50) ? caseVariant(random, base) : base) + L"]");
        addEntryKeys(random, plugin, places, false, false, lines);
        // The same key again, with another value.
        if (random.chance(40))
            addEntryKeys(random, plugin, places, false, false, lines);
    }
    return lines;
}
} // namespace

const wchar_t* shapeName(FileShape shape)
{
    switch (shape) {
    case FileShape::malformed:
        return L"malformed";
    case FileShape::huge:
        return L"huge";
    case FileShape::binary:
        return L"binary";
    case FileShape::truncated:
        return L"truncated";
    case FileShape::duplicates:
        return L"duplicates";
    }
    return L"?";
}

std::string settingsFile(Random& random, Plugin plugin, FileShape shape, const SweepPlaces& places)
{
    switch (shape) {
    case FileShape::malformed:
        return encode(joinLines(random, plainLines(random, plugin, places, random.between(0, 15), true, false, false)),
            anyEncoding(random));
    case FileShape::huge: {
        std::vector<std::wstring> lines = plainLines(random, plugin, places, 200, false, false, true);
        const Encoding encodings[] = {Encoding::utf16, Encoding::utf8, Encoding::utf8WithoutMark};
        return encode(joinLines(random, lines), random.chance(70) ? Encoding::utf16 : random.pick(encodings));
    }
    case FileShape::binary: {
        if (random.chance(40)) {
            // Mostly a settings file, with runs of random bytes written over it.
            std::string bytes = encode(
                joinLines(random, plainLines(random, plugin, places, random.between(1, 12), true, true, false)),
                anyEncoding(random));
            int runs = random.between(1, 6);
            for (int i = 0; i < runs && !bytes.empty(); ++i) {
                size_t at = random.below(bytes.size());
                std::string junk = randomBytes(random, static_cast<size_t>(random.between(1, 40)));
                bytes.replace(at, std::min(junk.size(), bytes.size() - at), junk);
            }
            return bytes;
        }
        std::string bytes = randomBytes(random, random.below(6000));
        return random.chance(50) ? "\xFF\xFE" + bytes : bytes;
    }
    case FileShape::truncated: {
        Encoding encoding = anyEncoding(random);
        std::string bytes = encode(
            joinLines(random, plainLines(random, plugin, places, random.between(1, 12), false, true, false)), encoding);
        bool wide = encoding == Encoding::utf16 || encoding == Encoding::utf16BigEndian;
        if (!wide || random.chance(50))
            return bytes.substr(0, random.below(bytes.size() + 1));
        // Cut between two characters or a pair of surrogates, or after the first byte of the last
        // character of a value.
        bytes.resize(random.below(bytes.size() / 2 + 1) * 2);
        if (random.chance(50))
            bytes += encode(L"\nKey=cut", encoding).substr(2) + (encoding == Encoding::utf16 ? "x" : "y");
        return bytes;
    }
    case FileShape::duplicates:
        return encode(joinLines(random, duplicateLines(random, plugin, places)), anyEncoding(random));
    }
    return "";
}

std::wstring helpLocation(Random& random, const SweepPlaces& places, size_t longest)
{
    if (!places.recorder.empty() && random.chance(25))
        return random.chance(60) ? places.recorder : L"%SWEEP_RECORDER%";
    std::wstring location;
    switch (random.below(8)) {
    case 0:
        return random.pick(strayTemplates);
    case 1:
        location = L"ms-help://";
        break;
    default:
        location = missingDrive;
        break;
    }
    int pieces = random.between(0, 6);
    for (int i = 0; i < pieces; ++i) {
        switch (random.below(5)) {
        case 0:
        case 1:
            location += random.pick(templateTokens);
            break;
        case 2:
            location += random.pick(strayTemplates);
            break;
        case 3:
            location += letters(random, static_cast<size_t>(random.between(1, 10)));
            break;
        default:
            location += random.chance(50) ? L"\\" : L"..\\";
            break;
        }
    }
    if (location.compare(0, 10, L"ms-help://") == 0 && random.chance(50))
        location += random.chance(50) ? L"?word=$word$&filter=x" : L"?filter=&&word=";
    if (random.chance(15))
        location += pathLike(random, static_cast<size_t>(random.between(200, static_cast<int>(longest))));
    const wchar_t* const endings[] = {L".chm", L".hlp", L".pdf", L".CHM", L".Pdf", L"", L".txt", L"\\", L".chm\\x"};
    return location + random.pick(endings);
}

std::wstring searchFolders(Random& random, const SweepPlaces& places, bool absoluteTrees)
{
    std::wstring folders;
    int items = random.between(1, 8);
    for (int i = 0; i < items; ++i) {
        if (i > 0)
            folders += L";";
        switch (random.below(10)) {
        case 0:
            break; // the system search path
        case 1:
        case 2:
            folders += L"!" + random.pick(places.trees);
            break;
        case 3:
            folders += L"!" + random.pick(places.folders);
            break;
        case 4:
            folders += absoluteTrees ? L"!" + places.sandbox + L"\\" + random.pick(places.trees)
                                     : places.sandbox + L"\\" + random.pick(places.folders);
            break;
        case 5: {
            // "!" alone and "!$wdir$" are the working folder, which is the sweep's own.
            const wchar_t* const bangItems[] = {L"!", L"!$wdir$", L"!$dir$"};
            folders += random.chance(50) ? std::wstring(random.pick(bangItems))
                                         : L"!" + std::wstring(random.pick(harmlessBangTemplates));
            break;
        }
        case 6:
            folders += random.pick(templateTokens);
            break;
        case 7:
            folders += random.pick(strayTemplates);
            break;
        case 8:
            folders += missingDrive + pathLike(random, static_cast<size_t>(random.between(1, 300)));
            break;
        default:
            folders += random.pick(places.folders) + L"\\" + random.pick(templateTokens);
            break;
        }
    }
    return folders;
}

std::wstring maskList(Random& random)
{
    std::wstring masks;
    int pieces = random.between(1, 4);
    for (int i = 0; i < pieces; ++i) {
        if (i > 0)
            masks += L";";
        switch (random.below(8)) {
        case 0: {
            std::wstring run;
            size_t length = static_cast<size_t>(random.between(2, 80));
            while (run.size() < length)
                run += random.chance(70) ? L"*?" : L"*";
            masks += run;
            break;
        }
        case 1:
            masks += letters(random, 259);
            break;
        case 2:
            masks += L"*" + letters(random, static_cast<size_t>(random.between(1, 5)));
            break;
        default:
            masks += random.pick(oddMasks);
            break;
        }
    }
    return masks;
}

std::wstring extensionList(Random& random)
{
    if (random.chance(10))
        return L"." + letters(random, 259);
    std::wstring extensions = random.pick(oddExtensions);
    while (random.chance(30))
        extensions += std::wstring(L";") + random.pick(oddExtensions);
    return extensions;
}

std::wstring selection(Random& random, const SweepPlaces& places)
{
    switch (random.below(10)) {
    case 0:
        return letters(random, 259);
    case 1:
        return letters(random, 300);
    case 2:
        return random.pick(deviceNames);
    case 3: {
        // A file of the trees by its name alone, so that some searches find something.
        std::wstring file = random.pick(places.files);
        size_t slash = file.find_last_of(L'\\');
        return file.substr(slash == std::wstring::npos ? 0 : slash + 1);
    }
    case 4:
        return letters(random, static_cast<size_t>(random.between(1, 30)));
    default:
        return random.pick(oddSelections);
    }
}

std::wstring documentPath(Random& random, const SweepPlaces& places)
{
    const wchar_t* const names[] = {L"main.c", L"a b.c", L"noext", L".hidden", L"x.tar.gz", L"trailing.", L"UTIL.H",
        L"\u00E4rger.cpp", L"con.txt", L"$date$.c", L"%TEMP%.h", L"page.html", L"x.pdf"};
    switch (random.below(7)) {
    case 0:
    case 1:
        return places.sandbox + L"\\" + random.pick(places.files);
    case 2:
        return places.sandbox + L"\\" + random.pick(places.folders) + L"\\" + random.pick(names);
    case 3: {
        // Near and past the 259 characters that the editor's answers hold.
        size_t length = static_cast<size_t>(random.chance(50) ? random.between(250, 259) : random.between(260, 300));
        std::wstring name = random.pick(names);
        std::wstring folder
            = missingDrive + pathLike(random, length > name.size() + 17 ? length - name.size() - 17 : 1);
        if (folder.back() != L'\\')
            folder += L"\\";
        return folder + name;
    }
    case 4:
        return std::wstring(missingDrive) + L"$date$\\%TEMP%\\" + random.pick(names);
    case 5:
        return random.chance(30)
            ? L""
            : std::wstring(missingDrive) + letters(random, static_cast<size_t>(random.between(100, 200))) + L".c";
    default:
        return std::wstring(missingDrive) + random.pick(names);
    }
}

std::wstring editorFolder(Random& random)
{
    switch (random.below(4)) {
    case 0:
        return missingDrive + pathLike(random, 240);
    case 1:
        return std::wstring(missingDrive) + L"%TEMP%\\$dir$";
    default:
        return L"C:\\Program Files\\Notepad++";
    }
}
