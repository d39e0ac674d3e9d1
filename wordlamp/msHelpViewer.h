// The Document Explorer viewer; COM and its automation object are set up at the first lookup, on
// the editor's thread, and kept until the editor shuts down.
#pragma once

namespace wordlamp {

void showMsHelp2(const wchar_t* location, const wchar_t* word);
// Releases the object, then leaves COM, and puts the viewer back to its state at load; on the
// editor's thread, at its shutdown.
void releaseMsHelpClient();
// At detach, for an editor that never said it was shutting down: what is still held is dropped
// without calling COM, and the viewer is back to its state at load.
void abandonMsHelpClient();

} // namespace wordlamp
