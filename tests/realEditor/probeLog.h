// The probe's log: one line per fact seen inside the editor, appended to probe.log beside the
// probe's library and flushed at once, so that a run the editor ends abruptly still leaves
// everything seen up to then.
#pragma once

#include <windows.h>

#include <string>

void openProbeLog(const std::wstring& path);
void logLine(const std::wstring& line);
// Text as it goes into a log line: quotes, backslashes stay, line breaks become \n, tabs \t.
std::wstring quoted(const std::wstring& text);
std::wstring hex(ULONG_PTR value);

// The probe's own requests to the editor are kept out of the log of what the plug-ins sent.
class OwnRequest {
public:
    explicit OwnRequest(UINT message);
    ~OwnRequest();
    OwnRequest(const OwnRequest&) = delete;
    OwnRequest& operator=(const OwnRequest&) = delete;
    static bool isOwn(UINT message);

private:
    UINT previous_;
};
// Milliseconds since the editor's process started.
long long millisecondsSinceStart();
