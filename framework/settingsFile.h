// Writing the plug-in's INI settings file: its text built in memory, and the file replaced by it
// in one safe step.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The text of a complete settings file, built in memory and written in one piece, so that a
// thousand kept sections cost one write rather than one rewrite of the file each. Keys written
// one after another under the same section name share one section header.
class SettingsWriter {
public:
    void write(const wchar_t* section, const wchar_t* key, const wchar_t* value);
    void writeFlag(const wchar_t* section, const wchar_t* key, int flag);
    void writeNumber(const wchar_t* section, const wchar_t* key, int number);
    // Lines taken unchanged from the file as it was loaded; they continue the current section.
    void writeKept(std::wstring_view lines);
    // Whole sections, header lines included, taken unchanged from the file as it was loaded.
    void writeKeptSection(std::wstring_view lines);

    const std::wstring& text() const { return text_; }

private:
    void endLine();

    std::wstring text_;
    std::wstring section_; // the name of the section the last keys went to
    bool inSection_ = false;
};

// Puts the text (UTF-16 with a byte-order mark, so names and paths outside the ANSI code page
// survive) in the settings file's place: written whole under one fixed temporary name beside it,
// then moved over it, so an interruption at any moment leaves either the old or the new file and
// at most one temporary file, which the next save overwrites. A replace refused because another
// program holds the file is tried again for about a second. Creates the missing folders above it.
constexpr int heldFileAttempts = 10;
constexpr DWORD heldFilePause = 100;
constexpr ULONGLONG heldFileWait = 1000;

// Answers ERROR_SUCCESS or the system's error code; on failure the previous file is untouched.
DWORD replaceSettingsFile(const wchar_t* path, const wchar_t* text, size_t length);

// Whether another program holding the file refused it: such a holder (a backup tool, a virus
// scanner, a sync client, an editor) usually lets go within a second.
bool isTransientRefusal(DWORD error);

// Calls tryOnce until it answers an error that tryAgain doesn't accept (ERROR_SUCCESS included), at
// least heldFileAttempts times and for at least heldFileWait milliseconds, heldFilePause apart: on a
// busy machine the pauses last longer than asked, and the holder's second lasts longer too.
template <class TryOnce, class TryAgain> DWORD tryWhileHeld(TryOnce tryOnce, TryAgain tryAgain)
{
    ULONGLONG start = GetTickCount64();
    for (int attempt = 1;; ++attempt) {
        DWORD error = tryOnce();
        if (error == ERROR_SUCCESS || !tryAgain(error)
            || (attempt >= heldFileAttempts && GetTickCount64() - start >= heldFileWait))
            return error;
        Sleep(heldFilePause);
    }
}

// A fingerprint of a file's bytes: the same fingerprint, the same file.
unsigned long long bytesFingerprint(const BYTE* bytes, size_t size);
// The fingerprint of the bytes a save writes for the text.
unsigned long long settingsFingerprint(const std::wstring& text);
