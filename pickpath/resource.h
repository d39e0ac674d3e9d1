// Resource identifiers of Pickpath.
#pragma once

#include "entryListIds.h"

#define IDB_TOOLBAR 201

#define IDD_OPTIONS 10000
#define IDC_TOOLBAR_BUTTON 10011
#define IDC_CONTEXT_ENTRY 10012
#define IDC_CONTEXT_ON_TOP 10013

#define IDD_ENTRY_EDITOR 10100
#define IDC_ENTRY_NAME 10101
#define IDC_ENTRY_MASK 10102
#define IDC_ENTRY_PATH 10103
#define IDC_ENTRY_EXT 10105
#define IDC_ENTRY_HELP 10107
#define IDC_ENTRY_EXPAND 10108
