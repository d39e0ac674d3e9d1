// Bad inputs for both plug-ins, made from a seed so that every run sees the same cases: settings
// files, help locations and search folders, masks, selections and documents.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// The same seed gives the same numbers on every system (no distribution objects, whose results
// differ between libraries).
class Random {
public:
    explicit Random(uint32_t seed)
        : engine_(seed)
    {
    }
    size_t below(size_t count) { return count == 0 ? 0 : engine_() % count; }
    int between(int low, int high) { return low + static_cast<int>(below(static_cast<size_t>(high - low + 1))); }
    bool chance(int percent) { return static_cast<int>(below(100)) < percent; }
    template <typename T> const T& pick(const std::vector<T>& items) { return items[below(items.size())]; }
    template <typename T, size_t N> const T& pick(const T (&items)[N]) { return items[below(N)]; }

private:
    std::mt19937 engine_;
};

enum class Plugin { wordlamp, pickpath };
enum class FileShape { malformed, huge, binary, truncated, duplicates };
constexpr int fileShapeCount = 5;
const wchar_t* shapeName(FileShape shape);

// What the sweep may point searches at: small folder trees of its own below the working folder,
// which is a fresh folder of the sweep. Relative "!" items stay inside it even when cut short (a
// lone "!" is the working folder itself). In the seeds that reach further (a quarter), one of the
// trees runs deeper than 260 characters, and help locations may start a program that records
// its command line.
struct SweepPlaces {
    std::wstring sandbox;              // absolute; the process's working folder
    std::vector<std::wstring> trees;   // tree roots, relative to the sandbox
    std::vector<std::wstring> files;   // files in the trees, relative to the sandbox
    std::vector<std::wstring> folders; // every folder of the trees, relative to the sandbox
    std::wstring recorder;             // absolute path of the recording program; empty: none is reached
};

// A settings file for the plug-in, as bytes on disk: in UTF-16 (either byte order, some cut after an
// odd byte), UTF-8 with or without its mark, or the ANSI code page.
std::string settingsFile(Random& random, Plugin plugin, FileShape shape, const SweepPlaces& places);

// Help locations (Wordlamp's "File"): anything that names a place lies on a drive that doesn't
// exist, so every viewer ends in "does not exist" or the shell's "not found", however the template
// expands and wherever a file cuts it; but where places name a recorder, some locations start it,
// by its path or by a variable that holds it (%SWEEP_RECORDER%).
std::wstring helpLocation(Random& random, const SweepPlaces& places, size_t longest = 300);
// Search folders (Pickpath's "Path"); "!" items name the sweep's own trees only. Absolute "!"
// items only when the value can't be cut (a cut one could name a drive's root).
std::wstring searchFolders(Random& random, const SweepPlaces& places, bool absoluteTrees);
std::wstring maskList(Random& random);
std::wstring extensionList(Random& random);

// What the editor reports as the selection or the word at the caret.
std::wstring selection(Random& random, const SweepPlaces& places);
// A document path: in the trees, on the missing drive, near and past 259 characters, or empty.
std::wstring documentPath(Random& random, const SweepPlaces& places);
std::wstring editorFolder(Random& random);
