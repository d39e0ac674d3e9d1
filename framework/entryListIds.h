// The controls of the entry list that every Options dialog holds, and the entry editor's name
// field; the shared dialog code finds them by these identifiers, so each plug-in's templates use
// them too.
#pragma once

#define IDC_ADD 10002
#define IDC_REMOVE 10003
#define IDC_EDIT 10004
#define IDC_ENTRY_LIST 10005
#define IDC_MOVE_UP 10014
#define IDC_MOVE_DOWN 10015
#define IDC_ENTRIES_NOT_SHOWN 10017

#define IDC_ENTRY_NAME 10101
