#include "wordlampState.h"

HelpEntryTable helpEntryTable;
HelpOptions helpOptions;
