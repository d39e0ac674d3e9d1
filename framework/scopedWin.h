// Ownership of Win32 handles, written once: a unique handle that releases what it holds when it
// goes out of scope (one deleter per kind of handle), and a scope guard for the few clean-ups that
// are no handle. Nothing else in the plug-ins calls a release function by hand.
#pragma once

#include <windows.h>

#include <ddeml.h>
#include <oleauto.h>

#include <utility>

// Holds one handle of a kind described by Traits (its type, its "no handle" value and how it is
// released). Move-only: exactly one owner at a time.
template <typename Traits> class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept
        : handle_(handle)
    {
    }
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept
        : handle_(other.release())
    {
    }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::none(); }

    // Gives the handle up without releasing it; the caller owns it now.
    Handle release() noexcept { return std::exchange(handle_, Traits::none()); }
    // Releases what is held and holds handle instead.
    void reset(Handle handle = Traits::none()) noexcept
    {
        Handle previous = std::exchange(handle_, handle);
        if (previous != Traits::none())
            Traits::close(previous);
    }
    // For a function that hands a new handle out through a pointer: what was held is released.
    Handle* put() noexcept
    {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::none();
};

namespace handleTraits {
// Kernel objects whose "no handle" is null: processes, threads, events.
struct Kernel {
    using Handle = HANDLE;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { CloseHandle(handle); }
};
// Files and folders opened with CreateFileW, whose "no handle" is INVALID_HANDLE_VALUE.
struct File {
    using Handle = HANDLE;
    static Handle none() { return INVALID_HANDLE_VALUE; }
    static void close(Handle handle) { CloseHandle(handle); }
};
struct RegistryKey {
    using Handle = HKEY;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { RegCloseKey(handle); }
};
template <typename Object> struct GdiObject {
    using Handle = Object;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { DeleteObject(handle); }
};
struct Icon {
    using Handle = HICON;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { DestroyIcon(handle); }
};
// A device context made with CreateCompatibleDC.
struct MemoryDc {
    using Handle = HDC;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { DeleteDC(handle); }
};
struct Menu {
    using Handle = HMENU;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { DestroyMenu(handle); }
};
struct Library {
    using Handle = HMODULE;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { FreeLibrary(handle); }
};
struct DdeInstance {
    using Handle = DWORD;
    static Handle none() { return 0; }
    static void close(Handle handle) { DdeUninitialize(handle); }
};
struct DdeConversation {
    using Handle = HCONV;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { DdeDisconnect(handle); }
};
struct Bstr {
    using Handle = BSTR;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { SysFreeString(handle); }
};
struct Accelerators {
    using Handle = HACCEL;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { DestroyAcceleratorTable(handle); }
};
// One reference to a COM object.
template <typename Interface> struct ComObject {
    using Handle = Interface*;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { handle->Release(); }
};
} // namespace handleTraits

using UniqueKernelHandle = UniqueHandle<handleTraits::Kernel>;
using UniqueFile = UniqueHandle<handleTraits::File>;
using UniqueRegistryKey = UniqueHandle<handleTraits::RegistryKey>;
using UniqueBitmap = UniqueHandle<handleTraits::GdiObject<HBITMAP>>;
using UniqueBrush = UniqueHandle<handleTraits::GdiObject<HBRUSH>>;
using UniqueFont = UniqueHandle<handleTraits::GdiObject<HFONT>>;
using UniqueIcon = UniqueHandle<handleTraits::Icon>;
using UniqueMemoryDc = UniqueHandle<handleTraits::MemoryDc>;
using UniqueMenu = UniqueHandle<handleTraits::Menu>;
using UniqueLibrary = UniqueHandle<handleTraits::Library>;
using UniqueDdeInstance = UniqueHandle<handleTraits::DdeInstance>;
using UniqueDdeConversation = UniqueHandle<handleTraits::DdeConversation>;
using UniqueBstr = UniqueHandle<handleTraits::Bstr>;
using UniqueAccelerators = UniqueHandle<handleTraits::Accelerators>;
template <typename Interface> using UniqueComPtr = UniqueHandle<handleTraits::ComObject<Interface>>;

// A DDE string handle belongs to its DDE instance, which it must not outlive.
class UniqueDdeString {
public:
    UniqueDdeString(DWORD instance, const wchar_t* text) noexcept
        : instance_(instance)
        , handle_(DdeCreateStringHandleW(instance, text, CP_WINUNICODE))
    {
    }
    ~UniqueDdeString()
    {
        if (handle_ != nullptr)
            DdeFreeStringHandle(instance_, handle_);
    }
    UniqueDdeString(const UniqueDdeString&) = delete;
    UniqueDdeString& operator=(const UniqueDdeString&) = delete;

    HSZ get() const noexcept { return handle_; }

private:
    DWORD instance_;
    HSZ handle_;
};

// The screen's device context, as GetDC(nullptr) lends it.
class ScreenDc {
public:
    ScreenDc() noexcept
        : dc_(GetDC(nullptr))
    {
    }
    ~ScreenDc()
    {
        if (dc_ != nullptr)
            ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;

    HDC get() const noexcept { return dc_; }

private:
    HDC dc_;
};

// An object selected into a device context for as long as this lives; the previous one comes back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept
        : dc_(dc)
        , previous_(SelectObject(dc, object))
    {
    }
    ~SelectedObject()
    {
        if (previous_ != nullptr && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Runs a clean-up when it goes out of scope, unless dismissed.
template <typename CleanUp> class ScopeExit {
public:
    explicit ScopeExit(CleanUp cleanUp) noexcept
        : cleanUp_(std::move(cleanUp))
    {
    }
    ~ScopeExit()
    {
        if (active_)
            cleanUp_();
    }
    ScopeExit(ScopeExit&& other) noexcept
        : cleanUp_(std::move(other.cleanUp_))
        , active_(other.active_)
    {
        other.active_ = false;
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ScopeExit& operator=(ScopeExit&&) = delete;

    void dismiss() noexcept { active_ = false; }

private:
    CleanUp cleanUp_;
    bool active_ = true;
};

template <typename CleanUp> ScopeExit<CleanUp> scopeExit(CleanUp cleanUp) noexcept
{
    return ScopeExit<CleanUp>(std::move(cleanUp));
}

// COM for the calling thread for as long as this lives: CoInitialize checked, and paired with
// CoUninitialize exactly when it succeeded (S_FALSE, "already initialised", counts and is paired
// too). A thread already in another apartment (RPC_E_CHANGED_MODE) can use COM as it is.
class ComInitialization {
public:
    ComInitialization() noexcept
        : result_(CoInitialize(nullptr))
    {
    }
    ~ComInitialization()
    {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;

    // Whether COM can be used on this thread.
    bool usable() const noexcept { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
    HRESULT result() const noexcept { return result_; }
    // Leaves the thread in COM when this goes: for where COM must not be called (the loader lock).
    void forget() noexcept { result_ = E_ABORT; }

private:
    HRESULT result_;
};
