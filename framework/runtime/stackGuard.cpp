// The stack protector's guard and the buffer checks' failure ends, in place of the ones the compiler's
// support library brings: that one seeds the guard through the system's cryptographic provider,
// which a library loading into the editor pays for on every load (about 10 ms under Wine, loading
// and unloading the provider's own libraries). The system's random generator gives the same kind of
// value without them. Everything built here links this first, so the support library supplies only
// its checked copying functions.
#include <windows.h>
#include <ntsecapi.h>

#include <cstdlib>

extern "C" {
// Read by every protected function; written once, before any of them can be on the stack.
void* __stack_chk_guard = nullptr;

__attribute__((constructor, no_stack_protector)) static void seedStackGuard()
{
    void* guard = nullptr;
    if (!RtlGenRandom(&guard, sizeof(guard)) || guard == nullptr) {
        LARGE_INTEGER counter;
        QueryPerformanceCounter(&counter);
        ULONG_PTR mixed = static_cast<ULONG_PTR>(counter.QuadPart) ^ (GetCurrentProcessId() << 16)
            ^ GetCurrentThreadId() ^ reinterpret_cast<ULONG_PTR>(&counter) ^ GetTickCount();
        guard = reinterpret_cast<void*>(mixed | 1);
    }
    __stack_chk_guard = guard;
}

static void endProgram(const char* message, DWORD length)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), message, length, &written, nullptr);
    std::abort();
}

__attribute__((noreturn)) void __stack_chk_fail()
{
    static const char message[] = "*** stack smashing detected ***: terminated\n";
    endProgram(message, sizeof(message) - 1);
    __builtin_unreachable();
}

__attribute__((noreturn)) void __stack_chk_fail_local()
{
    __stack_chk_fail();
}

__attribute__((noreturn)) void __chk_fail()
{
    static const char message[] = "*** buffer overflow detected ***: terminated\n";
    endProgram(message, sizeof(message) - 1);
    __builtin_unreachable();
}
}
