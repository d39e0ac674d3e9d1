// Mask lists: file-name masks separated by ";", such as "*.c;*.h".
#pragma once

#include <string_view>

// Whether fileName matches one of the masks. Empty pieces are skipped; blanks belong to the piece
// they stand in.
bool matchesMaskList(const wchar_t* fileName, const wchar_t* maskList);

// The platform's wildcard match of one mask: "*" any run of characters, "?" any one character,
// letters without regard to case, blanks before the mask skipped, "*.*" matching every name. Takes
// time in proportion to the name's length times the mask's, whatever the mask.
bool matchesMask(const wchar_t* fileName, std::wstring_view mask);
