// The Document Explorer viewer; its automation object is kept from the first lookup until the library goes.
#pragma once

namespace wordlamp {

void showMsHelp2(const wchar_t* location, const wchar_t* word);
// Releases the object, unless the process is ending and its server may be gone already, and puts
// the viewer back to its state at load.
void releaseMsHelpClient(bool processEnding);

} // namespace wordlamp
