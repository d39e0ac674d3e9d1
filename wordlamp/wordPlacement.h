// Where the word goes: the location's form decides which viewer gets it and whether the word is
// percent-encoded into an address, put into a path as it is, passed to a program as one argument,
// or kept from a batch file.
#pragma once

#include "pathTemplate.h"

#include <string>

namespace wordlamp {

// The longest address browsers and the shell take.
constexpr size_t maxAddressLength = 2083;
// The longest command line a program can be started with, terminator included.
constexpr size_t commandLineCapacity = 32767;

// What a help location leads to, in the order the rules are tried: its extension first (a web
// address ending in ".pdf" counts as a PDF file), then its start.
enum class LocationKind { chm, winHelp, pdf, documentExplorer, address, path };
LocationKind kindOfLocation(const wchar_t* location);

// "http:", "https:", "ftp:", "mailto:", "file:" or any other scheme followed by "//".
bool isAddress(const wchar_t* location);
// Whether the shell would start the location through cmd, which reads its command line by rules
// of its own: a batch file, cmd itself, or what may lead to one (a program name without extension,
// which the shell tries with the program extensions, and shortcuts).
bool isHandedToCmd(const wchar_t* location);

// The location with the word at its places: percent-encoded as UTF-8 in an address, as it is
// elsewhere. The kind is the one of the template's own text, so the word never decides where it
// goes. False, once the user has been told that the word is too long, when the result would be
// longer than that kind of location may be.
bool placeWord(const ExpandedTemplate& location, LocationKind kind, const wchar_t* word, std::wstring& placed);

// Shows which character cmd would act on and answers true when the word holds one: & | < > ^ % !
// " ( ) or a line break. Nothing that holds one may reach a batch file.
bool refusedByBatchFile(const wchar_t* word);

// Tells the user that the command line the word would make is too long to start a program with.
void reportCommandLineTooLong();

} // namespace wordlamp
