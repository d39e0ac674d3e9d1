// Where the editor calls into a plug-in (the exports, command callbacks, window and dialog
// procedures, timers): the plug-in's work runs on standard containers, and memory running out ends
// that work quietly here, as a command that did nothing or a message not handled, rather than as an
// exception unwinding into the editor, which would end it.
#pragma once

#include <new>

// Runs work; memory running out ends it quietly.
template <typename Work> void callGuarded(Work work) noexcept
{
    try {
        work();
    } catch (const std::bad_alloc&) {
    }
}

// Runs work and gives its answer, or whenOutOfMemory when memory ran out.
template <typename Answer, typename Work> Answer callGuarded(Answer whenOutOfMemory, Work work) noexcept
{
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return whenOutOfMemory;
    }
}

// A command callback for the editor's command table that runs command guarded.
template <void (*command)()> void guardedCommand() noexcept
{
    callGuarded(command);
}
