// Every dialog of both plug-ins as its template in the library lays it out, read at run time: each
// text fits its control at 100, 150 and 200 % in the dialog's own font, every control a person can
// reach has an access key of its own, and Tab goes as a person reads.
#include "dialogDriver.h"
#include "dialogTemplate.h"
#include "entryListIds.h"
#include "pluginUnderTest.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace {
using Driver = DialogDriver;
using TextsSetLater = std::map<std::pair<std::wstring, int>, std::wstring>;

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
        std::vector<int> ids;
        EnumResourceNamesW(module, RT_DIALOG, collectDialogId, reinterpret_cast<LONG_PTR>(&ids));
        for (int id : ids) {
            dialogs.push_back(PluginDialog{plugin.name, id, {}});
            EXPECT_TRUE(readDialogTemplate(module, id, dialogs.back().layout)) << dialogs.back().name();
        }
        FreeLibrary(module);
    }
    return dialogs;
}

bool isButtonKind(const TemplateControl& control, DWORD kind)
{
    return control.className == L"Button" && (control.style & BS_TYPEMASK) == kind;
}

bool isRadio(const TemplateControl& control)
{
    return isButtonKind(control, BS_AUTORADIOBUTTON) || isButtonKind(control, BS_RADIOBUTTON);
}

// What Tab or the arrow keys can reach.
bool takesFocus(const TemplateControl& control)
{
    if (control.className == L"Button")
        return !isButtonKind(control, BS_GROUPBOX);
    return control.className == L"Edit" || control.className == L"ListBox" || control.className == L"ComboBox"
        || _wcsicmp(control.className.c_str(), L"SysListView32") == 0; // the resource compiler writes it in capitals
}

std::string describe(const TemplateControl& control)
{
    return narrow(control.className) + " " + std::to_string(control.id) + " \"" + narrow(control.text) + "\"";
}

// Opens both Options dialogs and entry editors: the live controls lie where the template's arithmetic
// puts them at 100 %, and the texts set at run time where the template holds none are collected (the
// note on the entries the Options dialog doesn't show, here with a four-digit count).
TextsSetLater openEachDialog()
{
    TextsSetLater texts;
    std::vector<std::wstring> many;
    for (int i = 0; i < 1050; ++i)
        many.push_back(L"E" + std::to_wstring(i));
    std::vector<PluginDialog> dialogs = everyDialog();
    for (const PluginUnderTest& plugin : pluginsUnderTest) {
        writeEntries(plugin, many);
        PluginInEditor inEditor(plugin);
        EXPECT_TRUE(inEditor.loaded);
        auto look = [&](HWND dialog, int id) {
            const PluginDialog* layout = nullptr;
            for (const PluginDialog& candidate : dialogs)
                if (candidate.plugin == plugin.name && candidate.id == id)
                    layout = &candidate;
            ASSERT_NE(layout, nullptr);
            ScaledDialog scaled(layout->layout, 96);
            size_t index = 0;
            for (HWND control = GetWindow(dialog, GW_CHILD);
                 control != nullptr && index < layout->layout.controls.size();
                 control = GetWindow(control, GW_HWNDNEXT), ++index) {
                const TemplateControl& made = layout->layout.controls[index];
                RECT live;
                GetWindowRect(control, &live);
                MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&live), 2);
                RECT expected = scaled.pixels(made);
                EXPECT_TRUE(EqualRect(&live, &expected)) << layout->name() << ": " << describe(made);
                wchar_t text[512] = L"";
                GetWindowTextW(control, text, _countof(text));
                if (made.text.empty())
                    texts[{plugin.name, made.id}] = text;
            }
        };
        Driver driver;
        driver.then([&](HWND dialog) {
            look(dialog, 10000);
            // A full list takes no new entry: one goes first.
            Driver::selectRow(dialog, IDC_ENTRY_LIST, 0);
            Driver::click(dialog, IDC_REMOVE);
            Driver::click(dialog, IDC_ADD);
            Driver::click(dialog, IDCANCEL);
        });
        driver.then([&](HWND editor) {
            look(editor, 10100);
            Driver::click(editor, IDCANCEL);
        });
        inEditor.openOptions(driver);
    }
    return texts;
}

// The room a caption has inside its control: a check box's or radio button's box and the gap after
// it, a group box's corners, a push button's edges.
int captionRoom(const TemplateControl& control, const RECT& box, const ScaledDialog& scaled)
{
    int width = box.right - box.left;
    bool box13 = isRadio(control) || isButtonKind(control, BS_AUTOCHECKBOX) || isButtonKind(control, BS_CHECKBOX);
    if (box13)
        return width - scaled.scaled(13 + 4);
    return width - scaled.scaled(isButtonKind(control, BS_GROUPBOX) ? 16 : 6);
}
} // namespace

TEST(DialogTemplates, EveryTextFitsItsControlAtThreeScales)
{
    const TextsSetLater setLater = openEachDialog();
    std::vector<PluginDialog> dialogs = everyDialog();
    ASSERT_GE(dialogs.size(), 4u) << "both plug-ins' Options dialogs and entry editors";
    int texts = 0;
    for (const PluginDialog& dialog : dialogs) {
        for (int dpi : {96, 144, 192}) {
            ScaledDialog scaled(dialog.layout, dpi);
            RECT client = scaled.pixels(0, 0, dialog.layout.cx, dialog.layout.cy);
            for (const TemplateControl& control : dialog.layout.controls) {
                auto later = setLater.find({dialog.plugin, control.id});
                std::wstring text = later != setLater.end() && control.text.empty() ? later->second : control.text;
                bool isStatic = control.className == L"Static" && (control.style & SS_TYPEMASK) <= SS_RIGHT;
                if (text.empty() || !(isStatic || control.className == L"Button"))
                    continue;
                ++texts;
                std::string what = dialog.name() + " at " + std::to_string(dpi * 100 / 96) + " %: " + describe(control);
                RECT box = scaled.pixels(control);
                EXPECT_LE(box.right, client.right) << what;
                EXPECT_LE(box.bottom, client.bottom) << what;
                if (isStatic) {
                    // Word-wrapped at the control's width, as a static control draws it.
                    UINT prefix = (control.style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
                    SIZE size = scaled.textSize(text, prefix, box.right - box.left);
                    EXPECT_LE(size.cy, box.bottom - box.top) << what << ": the text needs " << size.cy << " pixels";
                    EXPECT_LE(size.cx, box.right - box.left) << what << ": a word is wider than the control";
                } else {
                    SIZE size = scaled.textSize(text, 0, 0);
                    EXPECT_LE(size.cx, captionRoom(control, box, scaled)) << what << ": needs " << size.cx << " pixels";
                    EXPECT_TRUE(isButtonKind(control, BS_GROUPBOX) || size.cy <= box.bottom - box.top) << what;
                }
            }
        }
    }
    EXPECT_GT(texts, 50);
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
            // A field shows no caption: the static text just before it names it and gives its key.
            bool labelled = control.className != L"Button";
            bool labelBefore = i > 0 && controls[i - 1].className == L"Static";
            if (!takesFocus(control)) {
                // A label's key goes to the field after it; on anything else it would do nothing.
                bool fieldAfter
                    = i + 1 < controls.size() && takesFocus(controls[i + 1]) && controls[i + 1].className != L"Button";
                EXPECT_TRUE(control.className != L"Static" || accessKeyOf(control.text) == 0 || fieldAfter)
                    << describe(control) << " gives a key to no field";
                continue;
            }
            // OK answers Enter, as the default button, and Cancel Esc.
            if (control.id == IDOK || control.id == IDCANCEL) {
                enter = enter || (control.id == IDOK && isButtonKind(control, BS_DEFPUSHBUTTON));
                escape = escape || control.id == IDCANCEL;
                continue;
            }
            wchar_t key = labelled ? (labelBefore ? accessKeyOf(controls[i - 1].text) : 0) : accessKeyOf(control.text);
            if (key == 0) {
                ADD_FAILURE() << describe(control) << " has no access key"
                              << (labelled ? " (nor a label before it)" : "");
                continue;
            }
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
        for (size_t i = 0; i < reached.size(); ++i) {
            const TemplateControl& a = reached[i];
            // Tab stops at each control, and at the first radio button of a group, whose arrows go on.
            EXPECT_TRUE((isRadio(a) && !(a.style & WS_GROUP)) || (a.style & WS_TABSTOP))
                << describe(a) << " is skipped";
            if (i + 3 >= reached.size())
                continue;
            // Top to bottom; controls on one row (tops within half the lower one's height) left to right.
            const TemplateControl& b = reached[i + 1];
            bool sameRow = std::abs(b.y - a.y) <= std::min(a.cy, b.cy) / 2;
            EXPECT_TRUE(sameRow ? b.x > a.x : b.y > a.y) << describe(a) << " then " << describe(b);
        }
    }
}
