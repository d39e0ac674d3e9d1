// Mask lists: file-name masks separated by ";", such as "*.c;*.h".
#pragma once

// Whether fileName matches one of the masks (the platform's wildcard match: "*" and "?", letters
// without regard to case). Empty pieces are skipped; blanks belong to the piece they stand in.
bool matchesMaskList(const wchar_t* fileName, const wchar_t* maskList);
