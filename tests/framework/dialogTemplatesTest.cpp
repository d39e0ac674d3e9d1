// Every dialog of both plug-ins as its template in the library lays it out, read at run time: each
// text fits its control at 100, 150 and 200 % in the dialog's own font, every control a person can
// reach has an access key of its own, Tab goes as a person reads, and a label's key takes the
// focus to its field.
#include "dialogDriver.h"
#include "dialogTemplate.h"
#include "entryListIds.h"
#include "pluginUnderTest.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>

namespace {
using Driver = DialogDriver;

const int displayScales[] = {96, 144, 192}; // 100, 150 and 200 %
constexpr int optionsDialogId = 10000;
constexpr int entryEditorId = 10100;
constexpr int entriesNotShownId = 10017;

struct PluginDialog {
    std::wstring plugin;
    int id;
    DialogTemplate layout;
    std::string name() const { return narrow(plugin) + " dialog " + std::to_string(id); }
};

BOOL CALLBACK collectDialogId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR ids)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<int>*>(ids)->push_back(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

// Every dialog template of both libraries, whatever dialogs they hold.
std::vector<PluginDialog> everyDialog()
{
    std::vector<PluginDialog> dialogs;
    for (const PluginUnderTest& plugin : pluginsUnderTest) {
        HMODULE module = LoadLibraryExW(
            pluginPath(std::wstring(plugin.name) + L".dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        EXPECT_NE(module, nullptr) << narrow(plugin.name);
        std::vector<int> ids;
        EnumResourceNamesW(module, RT_DIALOG, collectDialogId, reinterpret_cast<LONG_PTR>(&ids));
        for (int id : ids) {
            PluginDialog dialog = {plugin.name, id, {}};
            EXPECT_TRUE(readDialogTemplate(module, id, dialog.layout)) << dialog.name();
            dialogs.push_back(dialog);
        }
        FreeLibrary(module);
    }
    return dialogs;
}

bool isButtonKind(const TemplateControl& control, DWORD kind)
{
    return control.className == L"Button" && (control.style & BS_TYPEMASK) == kind;
}

bool isCheckOrRadio(const TemplateControl& control)
{
    for (DWORD kind : {BS_CHECKBOX, BS_AUTOCHECKBOX, BS_RADIOBUTTON, BS_AUTORADIOBUTTON, BS_3STATE, BS_AUTO3STATE})
        if (isButtonKind(control, kind))
            return true;
    return false;
}

// What Tab or the arrow keys can reach.
bool takesFocus(const TemplateControl& control)
{
    if (control.className == L"Button")
        return !isButtonKind(control, BS_GROUPBOX);
    return control.className == L"Edit" || control.className == L"ListBox" || control.className == L"ComboBox";
}

// A field has no caption of its own: the static text just before it names it and gives its key.
bool namedByLabel(const TemplateControl& control)
{
    return control.className != L"Button";
}

std::string describe(const TemplateControl& control)
{
    return narrow(control.className) + " " + std::to_string(control.id) + " \"" + narrow(control.text) + "\"";
}

// The texts the dialogs show at run time where their templates hold none, by dialog and control:
// the note on the entries the Options dialog doesn't show, with a four-digit count.
std::map<std::pair<std::wstring, int>, std::wstring> textsSetAtRunTime()
{
    std::map<std::pair<std::wstring, int>, std::wstring> texts;
    std::vector<std::wstring> many;
    for (int i = 0; i < 1050; ++i)
        many.push_back(L"E" + std::to_wstring(i));
    for (const PluginUnderTest& plugin : pluginsUnderTest) {
        writeEntries(plugin, many);
        PluginInEditor inEditor(plugin);
        EXPECT_TRUE(inEditor.loaded);
        Driver driver;
        driver.then([&](HWND dialog) {
            texts[{plugin.name, entriesNotShownId}] = Driver::text(dialog, entriesNotShownId);
            Driver::click(dialog, IDCANCEL);
        });
        inEditor.openOptions(driver);
        const std::wstring& note = texts[{plugin.name, entriesNotShownId}];
        EXPECT_FALSE(note.empty()) << narrow(plugin.name);
    }
    return texts;
}

// The room a caption has inside its control: a check box's or radio button's box and the gap after
// it, a push button's edges, a group box's corners.
int captionRoom(const TemplateControl& control, const RECT& box, const ScaledDialog& scaled)
{
    int width = box.right - box.left;
    if (isCheckOrRadio(control))
        return width - scaled.scaled(13 + 4);
    if (isButtonKind(control, BS_GROUPBOX))
        return width - scaled.scaled(16);
    return width - scaled.scaled(6);
}
} // namespace

TEST(DialogTemplates, EveryTextFitsItsControlAtThreeScales)
{
    const std::map<std::pair<std::wstring, int>, std::wstring> runTime = textsSetAtRunTime();
    std::vector<PluginDialog> dialogs = everyDialog();
    ASSERT_GE(dialogs.size(), 4u) << "both plug-ins' Options dialogs and entry editors";
    int texts = 0;
    for (const PluginDialog& dialog : dialogs) {
        for (int dpi : displayScales) {
            ScaledDialog scaled(dialog.layout, dpi);
            RECT client = scaled.pixels(0, 0, dialog.layout.cx, dialog.layout.cy);
            for (const TemplateControl& control : dialog.layout.controls) {
                std::wstring text = control.text;
                auto setLater = runTime.find({dialog.plugin, control.id});
                if (setLater != runTime.end())
                    text = setLater->second;
                bool isStatic = control.className == L"Static" && (control.style & SS_TYPEMASK) <= SS_RIGHT;
                if (text.empty() || !(isStatic || control.className == L"Button"))
                    continue;
                ++texts;
                std::string what = dialog.name() + " at " + std::to_string(dpi * 100 / 96) + " %: " + describe(control);
                RECT box = scaled.pixels(control);
                EXPECT_LE(box.right, client.right) << what;
                EXPECT_LE(box.bottom, client.bottom) << what;
                UINT prefix = (isStatic && (control.style & SS_NOPREFIX)) ? DT_NOPREFIX : 0;
                if (isStatic) {
                    // Word-wrapped at the control's width, as a static control draws it.
                    SIZE size = scaled.textSize(text, prefix, box.right - box.left);
                    EXPECT_LE(size.cy, box.bottom - box.top) << what << ": the text needs " << size.cy << " pixels";
                    EXPECT_LE(size.cx, box.right - box.left) << what << ": a word is wider than the control";
                } else {
                    SIZE size = scaled.textSize(text, 0, 0);
                    EXPECT_LE(size.cx, captionRoom(control, box, scaled)) << what << ": the caption needs " << size.cx
                                                                           << " pixels";
                    if (!isButtonKind(control, BS_GROUPBOX)) {
                        EXPECT_LE(size.cy, box.bottom - box.top) << what;
                    }
                }
            }
        }
    }
    EXPECT_GT(texts, 50);
}

TEST(DialogTemplates, TheScaledLayoutIsTheOneTheSystemMakesAt100Percent)
{
    // The arithmetic the fit is judged by gives every control of the live dialogs where it is.
    for (const PluginUnderTest& plugin : pluginsUnderTest) {
        SCOPED_TRACE(narrow(plugin.name));
        writeEntries(plugin, {L"A"});
        HMODULE module = LoadLibraryExW(
            pluginPath(std::wstring(plugin.name) + L".dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        std::map<int, DialogTemplate> layouts;
        for (int id : {optionsDialogId, entryEditorId})
            ASSERT_TRUE(readDialogTemplate(module, id, layouts[id]));
        FreeLibrary(module);
        auto expectLaidOut = [&](HWND dialog, int id) {
            ScaledDialog scaled(layouts[id], 96);
            size_t index = 0;
            for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr;
                 control = GetWindow(control, GW_HWNDNEXT), ++index) {
                ASSERT_LT(index, layouts[id].controls.size());
                RECT live;
                GetWindowRect(control, &live);
                MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&live), 2);
                RECT made = scaled.pixels(layouts[id].controls[index]);
                EXPECT_TRUE(EqualRect(&live, &made)) << describe(layouts[id].controls[index]);
            }
            EXPECT_EQ(index, layouts[id].controls.size());
        };
        PluginInEditor inEditor(plugin);
        ASSERT_TRUE(inEditor.loaded);
        Driver driver;
        driver.then([&](HWND dialog) {
            expectLaidOut(dialog, optionsDialogId);
            Driver::click(dialog, IDC_ADD);
            Driver::click(dialog, IDCANCEL);
        });
        driver.then([&](HWND editor) {
            expectLaidOut(editor, entryEditorId);
            Driver::click(editor, IDCANCEL);
        });
        inEditor.openOptions(driver);
    }
}

TEST(DialogTemplates, EveryControlHasAnAccessKeyOfItsOwn)
{
    for (const PluginDialog& dialog : everyDialog()) {
        SCOPED_TRACE(dialog.name());
        const std::vector<TemplateControl>& controls = dialog.layout.controls;
        std::map<wchar_t, std::string> keys;
        bool enter = false;
        bool escape = false;
        for (size_t i = 0; i < controls.size(); ++i) {
            const TemplateControl& control = controls[i];
            if (!takesFocus(control)) {
                // A label's key goes to the field after it; a key on anything else would do nothing.
                if (control.className == L"Static" && accessKeyOf(control.text) != 0) {
                    EXPECT_TRUE(i + 1 < controls.size() && takesFocus(controls[i + 1]) && namedByLabel(controls[i + 1]))
                        << describe(control) << " gives a key to no field";
                }
                continue;
            }
            // OK answers Enter, as the default button, and Cancel Esc.
            if (control.id == IDOK) {
                enter = isButtonKind(control, BS_DEFPUSHBUTTON);
                continue;
            }
            if (control.id == IDCANCEL) {
                escape = true;
                continue;
            }
            wchar_t key = 0;
            if (!namedByLabel(control))
                key = accessKeyOf(control.text);
            else if (i > 0 && controls[i - 1].className == L"Static")
                key = accessKeyOf(controls[i - 1].text);
            EXPECT_NE(key, 0) << describe(control) << " has no access key"
                              << (namedByLabel(control) ? " (nor a label just before it)" : "");
            if (key == 0)
                continue;
            auto taken = keys.emplace(key, describe(control));
            EXPECT_TRUE(taken.second) << describe(control) << " shares Alt+" << narrow(std::wstring(1, key)) << " with "
                                      << taken.first->second;
        }
        EXPECT_TRUE(enter) << "OK is the default button";
        EXPECT_TRUE(escape) << "Cancel answers Esc";
    }
}

TEST(DialogTemplates, TabGoesAsAPersonReadsWithOkAndCancelLast)
{
    for (const PluginDialog& dialog : everyDialog()) {
        SCOPED_TRACE(dialog.name());
        std::vector<TemplateControl> reached;
        for (const TemplateControl& control : dialog.layout.controls)
            if (takesFocus(control))
                reached.push_back(control);
        ASSERT_GE(reached.size(), 3u);
        EXPECT_EQ(reached[reached.size() - 2].id, IDOK);
        EXPECT_EQ(reached.back().id, IDCANCEL);
        // Top to bottom; controls on one row (tops within half the lower one's height) left to right.
        for (size_t i = 0; i + 3 < reached.size(); ++i) {
            const TemplateControl& a = reached[i];
            const TemplateControl& b = reached[i + 1];
            int tolerance = std::min(a.cy, b.cy) / 2;
            bool sameRow = std::abs(b.y - a.y) <= tolerance;
            bool inOrder = sameRow ? b.x > a.x : b.y > a.y;
            EXPECT_TRUE(inOrder) << describe(a) << " then " << describe(b);
        }
        // The first radio button of a group is where Tab stops; the arrows go through the rest.
        for (size_t i = 0; i < reached.size(); ++i) {
            bool radio = isButtonKind(reached[i], BS_AUTORADIOBUTTON) || isButtonKind(reached[i], BS_RADIOBUTTON);
            bool firstOfGroup = (reached[i].style & WS_GROUP) != 0;
            if (!radio || firstOfGroup) {
                EXPECT_NE(reached[i].style & WS_TABSTOP, 0u) << describe(reached[i]) << " is skipped by Tab";
            }
        }
    }
}

TEST(DialogTemplates, ALabelsKeyTakesTheFocusToItsField)
{
    for (const PluginUnderTest& plugin : pluginsUnderTest) {
        SCOPED_TRACE(narrow(plugin.name));
        writeEntries(plugin, {L"A"});
        PluginInEditor inEditor(plugin);
        ASSERT_TRUE(inEditor.loaded);
        int fields = 0;
        // Alt and the label's key, as IsDialogMessage gets it from the dialog's loop.
        auto pressEachLabelsKey = [&](HWND dialog) {
            for (HWND label = GetWindow(dialog, GW_CHILD); label != nullptr; label = GetWindow(label, GW_HWNDNEXT)) {
                wchar_t className[16] = L"";
                GetClassNameW(label, className, _countof(className));
                wchar_t text[512] = L"";
                GetWindowTextW(label, text, _countof(text));
                wchar_t key = accessKeyOf(text);
                if (_wcsicmp(className, L"Static") != 0 || key == 0)
                    continue;
                HWND field = GetWindow(label, GW_HWNDNEXT);
                SetFocus(GetDlgItem(dialog, IDOK));
                MSG message = {GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(towlower(key)), 1 << 29, 0, {}};
                EXPECT_TRUE(IsDialogMessageW(dialog, &message));
                EXPECT_EQ(GetFocus(), field) << "Alt+" << narrow(std::wstring(1, key));
                ++fields;
            }
        };
        Driver driver;
        driver.then([&](HWND dialog) {
            pressEachLabelsKey(dialog);
            Driver::click(dialog, IDC_ADD);
            Driver::click(dialog, IDCANCEL);
        });
        driver.then([&](HWND editor) {
            pressEachLabelsKey(editor);
            Driver::click(editor, IDCANCEL);
        });
        inEditor.openOptions(driver);
        EXPECT_GE(fields, 4) << "the list, then the entry editor's fields";
    }
}
