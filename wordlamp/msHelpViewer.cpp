#include "msHelpViewer.h"

#include "helpViewers.h"
#include "textBuffers.h"
#include "userMessages.h"

#include <objbase.h>
#include <oleauto.h>
#include <shlwapi.h>
#include <strsafe.h>

namespace wordlamp {

namespace {
// Document Explorer's Help automation interface is dual, so its methods are reached by name
// through IDispatch.
const IID helpInterface = {0x4A791148, 0x19E4, 0x11D3, {0xB8, 0x6B, 0x00, 0xC0, 0x4F, 0x79, 0xF8, 0x02}};
// Tried in this order when the program identifier gives no object.
const CLSID fallbackClasses[] = {
    {0x1F69F884, 0x285E, 0x418E, {0x97, 0x15, 0xB9, 0xEE, 0xE4, 0x02, 0xDD, 0x5F}},
    {0x639F725F, 0x1B2D, 0x4831, {0xA9, 0xFD, 0x87, 0x48, 0x47, 0x68, 0x20, 0x10}},
    {0x4A79114D, 0x19E4, 0x11D3, {0xB8, 0x6B, 0x00, 0xC0, 0x4F, 0x79, 0xF8, 0x02}},
};

struct MsHelpClientState {
    IDispatch* object;
    bool creationFailed; // once set, no further attempt while the library is loaded
};

MsHelpClientState MsHelpClient = {nullptr, false};
bool comInitialised = false;

IDispatch* createObject(REFCLSID type)
{
    void* object = nullptr;
    if (FAILED(CoCreateInstance(type, nullptr, CLSCTX_ALL, helpInterface, &object)))
        return nullptr;
    return static_cast<IDispatch*>(object);
}

bool ensureMsHelpClient()
{
    if (MsHelpClient.object != nullptr || MsHelpClient.creationFailed)
        return MsHelpClient.object != nullptr;
    // COM is set up here, on the editor's thread, rather than while the library is being loaded.
    if (!comInitialised) {
        CoInitialize(nullptr);
        comInitialised = true;
    }
    CLSID type;
    if (SUCCEEDED(CLSIDFromProgID(L"DExplore.AppObj", &type)))
        MsHelpClient.object = createObject(type);
    for (const CLSID& fallback : fallbackClasses) {
        if (MsHelpClient.object != nullptr)
            break;
        MsHelpClient.object = createObject(fallback);
    }
    MsHelpClient.creationFailed = MsHelpClient.object == nullptr;
    return MsHelpClient.object != nullptr;
}

// Calls a method of the object with text arguments, given in their natural order.
bool callMethod(const wchar_t* method, BSTR* arguments, UINT count)
{
    LPOLESTR name = const_cast<LPOLESTR>(method);
    DISPID id = 0;
    if (FAILED(MsHelpClient.object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id)))
        return false;
    VARIANTARG values[2];
    for (UINT i = 0; i < count; ++i) {
        VariantInit(&values[i]);
        // Invoke takes the arguments last first.
        values[i].vt = VT_BSTR;
        values[i].bstrVal = arguments[count - 1 - i];
    }
    DISPPARAMS parameters = {values, nullptr, count, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception = {};
    HRESULT outcome = MsHelpClient.object->Invoke(
        id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, &result, &exception, nullptr);
    VariantClear(&result);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return SUCCEEDED(outcome);
}

bool displayTopic(const wchar_t* collection, const wchar_t* filter, const wchar_t* keyword)
{
    if (!ensureMsHelpClient())
        return false;
    BSTR collectionArguments[2] = {SysAllocString(collection), SysAllocString(filter)};
    BSTR keywordArgument = SysAllocString(keyword);
    bool shown = collectionArguments[0] != nullptr && collectionArguments[1] != nullptr && keywordArgument != nullptr
        && callMethod(L"SetCollection", collectionArguments, 2)
        && callMethod(L"DisplayTopicFromKeyword", &keywordArgument, 1);
    SysFreeString(collectionArguments[0]);
    SysFreeString(collectionArguments[1]);
    SysFreeString(keywordArgument);
    return shown;
}

bool startsWithNoCase(const wchar_t* text, const wchar_t* prefix)
{
    return StrCmpNIW(text, prefix, lstrlenW(prefix)) == 0;
}

// location is collection?parameters; the keyword comes from its "word=" parameter, not from the word.
bool displayQuery(const wchar_t* location)
{
    wchar_t collection[textCapacity];
    StringCchCopyW(collection, _countof(collection), location);
    wchar_t* query = wcschr(collection, L'?');
    if (query == nullptr)
        return false;
    *query++ = L'\0';
    const wchar_t* filter = L"";
    const wchar_t* keyword = nullptr;
    // Parameters are separated by "&", a run of them counting as one; later ones replace earlier ones.
    wchar_t* parameter = query;
    while (*parameter != L'\0') {
        wchar_t* end = parameter;
        while (*end != L'\0' && *end != L'&')
            ++end;
        bool last = *end == L'\0';
        *end = L'\0';
        if (startsWithNoCase(parameter, L"filter="))
            filter = parameter + 7;
        else if (startsWithNoCase(parameter, L"word="))
            keyword = parameter + 5;
        parameter = last ? end : end + 1;
    }
    return keyword != nullptr && displayTopic(collection, filter, keyword);
}
} // namespace

void showMsHelp2(const wchar_t* location, const wchar_t* word)
{
    bool shown = StrStrIW(location, L"word=") != nullptr ? displayQuery(location) : displayTopic(location, L"", word);
    if (!shown)
        showMessage(L"Unable to display MsHelp!", L"ERROR", MB_OK);
}

void releaseMsHelpClient(bool processEnding)
{
    if (MsHelpClient.object != nullptr && !processEnding)
        MsHelpClient.object->Release();
    MsHelpClient = {nullptr, false};
}

} // namespace wordlamp
