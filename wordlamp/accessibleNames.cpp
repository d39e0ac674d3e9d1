#include "accessibleNames.h"

#include "scopedWin.h"

// The annotation service's identifiers are defined here rather than taken from the accessibility
// library, which the plug-ins don't link.
#include <initguid.h>
#include <oleacc.h>

namespace wordlamp {

namespace {
// Runs work with the system's annotation service; COM is set up for the call where the thread
// has not done it yet (the editor has, a bare test program may not have).
template <typename Work> bool withAnnotations(Work work)
{
    ComInitialization com;
    UniqueComPtr<IAccPropServices> services;
    HRESULT made = CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
        reinterpret_cast<void**>(services.put()));
    return SUCCEEDED(made) && SUCCEEDED(work(services.get()));
}
} // namespace

bool setAccessibleName(HWND control, const wchar_t* name)
{
    if (control == nullptr || name == nullptr)
        return false;
    return withAnnotations([&](IAccPropServices* services) {
        return services->SetHwndPropStr(
            control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME, const_cast<LPWSTR>(name));
    });
}

void clearAccessibleName(HWND control)
{
    if (control == nullptr)
        return;
    MSAAPROPID name = PROPID_ACC_NAME;
    withAnnotations([&](IAccPropServices* services) {
        return services->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
    });
}

} // namespace wordlamp
