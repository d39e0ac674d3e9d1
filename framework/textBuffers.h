// Capacities of the fixed text buffers, terminator included.
#pragma once

#include <windows.h>

constexpr size_t pathCapacity = MAX_PATH; // paths and entry fields
constexpr size_t textCapacity = 4096;     // general texts, captions, version strings
