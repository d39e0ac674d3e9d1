// Saves a settings file over and over, alternating between two texts, until it is killed: the
// interrupted saves of the settings file test.
#include "settingsFile.h"

#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    // Large enough that a kill often lands while the file is being written.
    std::wstring texts[2];
    for (int which = 0; which < 2; ++which)
        for (int i = 0; i < 4000; ++i)
            texts[which] += L"[S" + std::to_wstring(i) + L"]\r\nKey=" + std::wstring(1, L"ab"[which]) + L"\r\n";
    if (argc >= 3) {
        HANDLE started = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
        if (started != nullptr)
            SetEvent(started);
    }
    for (unsigned round = 0;; ++round) {
        const std::wstring& text = texts[round % 2];
        replaceSettingsFile(argv[1], text.c_str(), text.size());
    }
}
