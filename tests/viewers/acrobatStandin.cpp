// Stands in for Adobe Acrobat: serves the DDE service "acroview" with the topic "control", records
// every execute string and ends when its client disconnects, or after a while when none comes.
// The named mutex it holds while it runs tells the tests when it has gone.
#include "standinLog.h"

#include <ddeml.h>

namespace {
DWORD instance = 0;
HSZ controlTopic = nullptr;
std::wstring logPath;
constexpr UINT giveUpAfter = 20000;

HDDEDATA CALLBACK onTransaction(UINT type, UINT, HCONV, HSZ topic, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR)
{
    switch (type) {
    case XTYP_CONNECT:
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DdeCmpStringHandles(topic, controlTopic) == 0));
    case XTYP_EXECUTE: {
        DWORD size = DdeGetData(data, nullptr, 0, 0);
        std::wstring command(size / sizeof(wchar_t), L'\0');
        DdeGetData(data, reinterpret_cast<BYTE*>(command.data()), size, 0);
        appendLogLine(logPath, command);
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DDE_FACK));
    }
    case XTYP_DISCONNECT:
        PostQuitMessage(0);
        return nullptr;
    default:
        return nullptr;
    }
}
} // namespace

int main()
{
    HANDLE alive = CreateMutexW(nullptr, TRUE, L"WordlampAcrobatStandinRunning");
    logPath = besideModule(nullptr, L"acrobatStandin.log");
    if (DdeInitializeW(
            &instance, onTransaction, APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_POKES | CBF_FAIL_REQUESTS, 0)
        != DMLERR_NO_ERROR)
        return 1;
    HSZ service = DdeCreateStringHandleW(instance, L"acroview", CP_WINUNICODE);
    controlTopic = DdeCreateStringHandleW(instance, L"control", CP_WINUNICODE);
    DdeNameService(instance, service, nullptr, DNS_REGISTER);

    SetTimer(nullptr, 0, giveUpAfter, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr)
            break;
        DispatchMessageW(&message);
    }

    DdeNameService(instance, service, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(instance, service);
    DdeFreeStringHandle(instance, controlTopic);
    DdeUninitialize(instance);
    ReleaseMutex(alive);
    CloseHandle(alive);
    return 0;
}
