// Stands in for Document Explorer's automation object: an in-process server whose object answers
// SetCollection and DisplayTopicFromKeyword through IDispatch. It records each creation (with the
// class asked for) and each call in the file named by DEXPLORE_STANDIN_LOG, and fails where
// DEXPLORE_STANDIN_FAIL says: "create", "SetCollection" or "DisplayTopicFromKeyword".
#include "standinLog.h"

#include <objbase.h>
#include <oleauto.h>

namespace {
const IID helpInterface = {0x4A791148, 0x19E4, 0x11D3, {0xB8, 0x6B, 0x00, 0xC0, 0x4F, 0x79, 0xF8, 0x02}};
LONG liveObjects = 0;

std::wstring environment(const wchar_t* name)
{
    wchar_t value[1024] = L"";
    DWORD length = GetEnvironmentVariableW(name, value, _countof(value));
    return length > 0 && length < _countof(value) ? value : L"";
}

void record(const std::wstring& line)
{
    std::wstring path = environment(L"DEXPLORE_STANDIN_LOG");
    if (!path.empty())
        appendLogLine(path, line);
}

bool toldToFail(const wchar_t* what)
{
    return environment(L"DEXPLORE_STANDIN_FAIL") == what;
}

struct Method {
    DISPID id;
    const wchar_t* name;
    UINT arguments;
};
const Method methods[] = {{1, L"SetCollection", 2}, {2, L"DisplayTopicFromKeyword", 1}};

class HelpObject : public IDispatch {
public:
    HelpObject() { InterlockedIncrement(&liveObjects); }
    virtual ~HelpObject() { InterlockedDecrement(&liveObjects); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID type, void** object) override
    {
        if (type != IID_IUnknown && type != IID_IDispatch && type != helpInterface) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            record(L"released");
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        // Only the method's own name is known; its arguments have no names.
        for (UINT i = 0; i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        for (const Method& method : methods)
            if (count > 0 && lstrcmpiW(names[0], method.name) == 0)
                ids[0] = method.id;
        return count == 1 && ids[0] != DISPID_UNKNOWN ? S_OK : DISP_E_UNKNOWNNAME;
    }

    HRESULT STDMETHODCALLTYPE Invoke(
        DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT*, EXCEPINFO* exception, UINT*) override
    {
        const Method* called = nullptr;
        for (const Method& method : methods)
            if (method.id == id)
                called = &method;
        if (called == nullptr || (flags & DISPATCH_METHOD) == 0)
            return DISP_E_MEMBERNOTFOUND;
        if (parameters->cArgs != called->arguments || parameters->cNamedArgs != 0)
            return DISP_E_BADPARAMCOUNT;
        // The arguments come last first.
        std::wstring line = called->name;
        for (UINT i = parameters->cArgs; i-- > 0;) {
            const VARIANTARG& argument = parameters->rgvarg[i];
            if (argument.vt != VT_BSTR)
                return DISP_E_TYPEMISMATCH;
            line += L"|";
            line.append(argument.bstrVal, SysStringLen(argument.bstrVal));
        }
        record(line);
        if (!toldToFail(called->name))
            return S_OK;
        // A failing method of a dual interface reaches its caller as an exception.
        if (exception != nullptr) {
            *exception = {};
            exception->scode = E_FAIL;
            exception->bstrDescription = SysAllocString(L"told to fail");
        }
        return DISP_E_EXCEPTION;
    }

private:
    LONG references_ = 1;
};

class HelpFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID type, void** object) override
    {
        if (type != IID_IUnknown && type != IID_IClassFactory) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID type, void** object) override
    {
        *object = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        HelpObject* created = new HelpObject;
        HRESULT result = created->QueryInterface(type, object);
        created->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

HelpFactory factory;
} // namespace

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID type, REFIID factoryType, void** object)
{
    wchar_t name[40] = L"";
    StringFromGUID2(type, name, _countof(name));
    record(std::wstring(L"create|") + name);
    if (toldToFail(L"create")) {
        *object = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return factory.QueryInterface(factoryType, object);
}

extern "C" HRESULT WINAPI DllCanUnloadNow()
{
    return liveObjects == 0 ? S_OK : S_FALSE;
}
