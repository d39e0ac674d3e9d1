#include "msHelpViewer.h"

#include "helpViewers.h"
#include "scopedWin.h"
#include "textHelpers.h"
#include "userMessages.h"

#include <objbase.h>
#include <oleauto.h>
#include <shlwapi.h>

#include <optional>
#include <string>

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

// COM for the editor's thread, set up at the first lookup rather than while the library is being
// loaded, and the automation object, both kept until the editor shuts down.
struct MsHelpClientState {
    std::optional<ComInitialization> com;
    UniqueComPtr<IDispatch> object;
    bool creationFailed = false; // once set, no further attempt while the library is loaded
};

MsHelpClientState MsHelpClient;

UniqueComPtr<IDispatch> createObject(REFCLSID type)
{
    UniqueComPtr<IDispatch> object;
    CoCreateInstance(type, nullptr, CLSCTX_ALL, helpInterface, reinterpret_cast<void**>(object.put()));
    return object;
}

bool ensureMsHelpClient()
{
    if (MsHelpClient.object || MsHelpClient.creationFailed)
        return static_cast<bool>(MsHelpClient.object);
    if (!MsHelpClient.com)
        MsHelpClient.com.emplace();
    CLSID type;
    if (MsHelpClient.com->usable() && SUCCEEDED(CLSIDFromProgID(L"DExplore.AppObj", &type)))
        MsHelpClient.object = createObject(type);
    for (const CLSID& fallback : fallbackClasses) {
        if (MsHelpClient.object || !MsHelpClient.com->usable())
            break;
        MsHelpClient.object = createObject(fallback);
    }
    MsHelpClient.creationFailed = !MsHelpClient.object;
    return static_cast<bool>(MsHelpClient.object);
}

// Calls a method of the object with text arguments, given in their natural order.
bool callMethod(const wchar_t* method, BSTR* arguments, UINT count)
{
    LPOLESTR name = const_cast<LPOLESTR>(method);
    DISPID id = 0;
    if (FAILED(MsHelpClient.object.get()->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id)))
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
    HRESULT outcome = MsHelpClient.object.get()->Invoke(
        id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, &result, &exception, nullptr);
    VariantClear(&result);
    // What the object tells of a failure is ours to free; the failure itself is told as one message.
    UniqueBstr source(exception.bstrSource);
    UniqueBstr description(exception.bstrDescription);
    UniqueBstr helpFile(exception.bstrHelpFile);
    return SUCCEEDED(outcome);
}

bool displayTopic(const wchar_t* collection, const wchar_t* filter, const wchar_t* keyword)
{
    if (!ensureMsHelpClient())
        return false;
    UniqueBstr collectionArgument(SysAllocString(collection));
    UniqueBstr filterArgument(SysAllocString(filter));
    UniqueBstr keywordArgument(SysAllocString(keyword));
    if (!collectionArgument || !filterArgument || !keywordArgument)
        return false;
    BSTR collectionArguments[2] = {collectionArgument.get(), filterArgument.get()};
    BSTR keywordArguments[1] = {keywordArgument.get()};
    return callMethod(L"SetCollection", collectionArguments, 2)
        && callMethod(L"DisplayTopicFromKeyword", keywordArguments, 1);
}

bool startsWithNoCase(std::wstring_view text, const wchar_t* prefix)
{
    int length = lstrlenW(prefix);
    return text.size() >= static_cast<size_t>(length) && StrCmpNIW(text.data(), prefix, length) == 0;
}

// location is collection?parameters; the keyword comes from its "word=" parameter, not from the word.
bool displayQuery(const wchar_t* location)
{
    std::wstring_view whole(location);
    size_t query = whole.find(L'?');
    if (query == std::wstring_view::npos)
        return false;
    std::wstring filter;
    std::optional<std::wstring> keyword;
    // Parameters are separated by "&", a run of them counting as one; later ones replace earlier ones.
    for (std::wstring_view parameter : ListItems(whole.substr(query + 1), L'&')) {
        if (startsWithNoCase(parameter, L"filter="))
            filter = parameter.substr(7);
        else if (startsWithNoCase(parameter, L"word="))
            keyword = parameter.substr(5);
    }
    return keyword && displayTopic(std::wstring(whole.substr(0, query)).c_str(), filter.c_str(), keyword->c_str());
}
} // namespace

void showMsHelp2(const wchar_t* location, const wchar_t* word)
{
    bool shown = StrStrIW(location, L"word=") != nullptr ? displayQuery(location) : displayTopic(location, L"", word);
    if (!shown)
        showMessage(L"Unable to display MsHelp!", L"ERROR", MB_OK);
}

void releaseMsHelpClient()
{
    // The object goes before the apartment it lives in.
    MsHelpClient.object.reset();
    MsHelpClient.com.reset();
    MsHelpClient.creationFailed = false;
}

void abandonMsHelpClient()
{
    // Whatever is still held is dropped without a call: COM must not be called under the loader
    // lock, and the object's server may be gone with the process.
    MsHelpClient.object.release();
    if (MsHelpClient.com)
        MsHelpClient.com->forget();
    MsHelpClient.com.reset();
    MsHelpClient.creationFailed = false;
}

} // namespace wordlamp
