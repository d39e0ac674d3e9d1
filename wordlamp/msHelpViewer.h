// The Document Explorer automation object, kept from the first lookup until the library goes.
#pragma once

// Releases the object, unless the process is ending and its server may be gone already, and puts
// the viewer back to its state at load.
void releaseMsHelpClient(bool processEnding);
