// Pickpath on editors old and new: the toolbar button's faces for every icon set, and its two
// dialogs themed by the editor at their start and at every switch of the mode.
#include "pickpathTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

SettingsText withToolbarButton()
{
    SettingsText settings;
    settings.showToolBarButton = 1;
    return settings;
}

// Opens the Options dialog and from it the entry editor; whileOpen runs with both on the screen.
void withBothDialogsOpen(PickpathInEditor& pickpath, const std::function<void(HWND options, HWND editor)>& whileOpen)
{
    withOptionsAndEntryEditorOpen([&] { pickpath.openOptions(); }, whileOpen);
}
} // namespace

TEST(PickpathEditorLook, AnOldEditorGetsTheBitmapButtonAndNoThemingAsBefore)
{
    PickpathInEditor pickpath(withToolbarButton(), EditorLook::unanswered);
    ASSERT_TRUE(pickpath.loaded);
    ASSERT_EQ(pickpath.editor.toolbarButtons.size(), 1u);
    const ToolbarButton& button = pickpath.editor.toolbarButtons[0];
    EXPECT_EQ(button.message, NPPM_ADDTOOLBARICON);
    EXPECT_NE(button.bitmap, nullptr);
    EXPECT_EQ(button.icon, nullptr);
    withBothDialogsOpen(pickpath, [&](HWND, HWND) { pickpath.editor.switchDarkMode(true); });
    EXPECT_EQ(pickpath.editor.requestCount(NPPM_ADDTOOLBARICON_FORDARKMODE), 0u);
    EXPECT_EQ(pickpath.editor.requestCount(NPPM_DARKMODESUBCLASSANDTHEME), 0u);
}

TEST(PickpathEditorLook, ANewEditorGetsThreeFacesSizedForItsIconSet)
{
    struct Case {
        EditorLook look;
        int iconSet;
        int iconSize; // at this display's 100 %
    };
    const Case cases[] = {
        {EditorLook::dark, 0, 16},  // Fluent small, dark mode's default
        {EditorLook::dark, 1, 24},  // Fluent large
        {EditorLook::light, 3, 24}, // Filled Fluent large
        {EditorLook::light, 4, 16}, // Standard small, light mode's default
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.iconSet);
        SettingsText settings = withToolbarButton();
        writeSettings(settings);
        StandinEditor editor;
        editor.document.look = c.look;
        editor.document.toolbarIconSet = c.iconSet;
        ASSERT_EQ(editor.loadPlugin(pluginPath(L"Pickpath.dll")), L"");
        ASSERT_EQ(editor.toolbarButtons.size(), 1u);
        const ToolbarButton& button = editor.toolbarButtons[0];
        EXPECT_EQ(button.message, NPPM_ADDTOOLBARICON_FORDARKMODE);
        EXPECT_EQ(button.commandId, editor.commandId(L"Pickpath", 0));
        EXPECT_EQ(editor.requestCount(NPPM_ADDTOOLBARICON), 0u) << "one button, not two";
        ASSERT_NE(button.bitmap, nullptr);
        ASSERT_NE(button.icon, nullptr);
        ASSERT_NE(button.darkIcon, nullptr);
        EXPECT_NE(button.icon, button.darkIcon);
        for (HICON icon : {button.icon, button.darkIcon}) {
            ImageShape shape = shapeOfIcon(icon);
            EXPECT_EQ(shape.width, c.iconSize);
            EXPECT_EQ(shape.height, c.iconSize);
            EXPECT_EQ(shape.bitsPerPixel, 32);
            EXPECT_TRUE(shape.someTransparent && shape.someOpaque) << "an outline over the toolbar";
        }
        EXPECT_EQ(shapeOfBitmap(button.bitmap).width, 16);
    }
}

TEST(PickpathEditorLook, EveryDialogIsThemedOnceAtItsStartAndAgainAtEverySwitch)
{
    for (EditorLook look : {EditorLook::light, EditorLook::dark}) {
        PickpathInEditor pickpath(SettingsText{}, look);
        ASSERT_TRUE(pickpath.loaded);
        StandinEditor& editor = pickpath.editor;
        withBothDialogsOpen(pickpath, [&](HWND options, HWND entryEditor) {
            std::map<HWND, int> atStart = themingsWith(editor, darkModeThemeAtInit);
            EXPECT_EQ(atStart, (std::map<HWND, int>{{options, 1}, {entryEditor, 1}}));
            editor.switchDarkMode(look == EditorLook::light);
            editor.switchDarkMode(look == EditorLook::dark);
            std::map<HWND, int> onSwitch = themingsWith(editor, darkModeThemeOnChange);
            EXPECT_EQ(onSwitch, (std::map<HWND, int>{{options, 2}, {entryEditor, 2}}));
        });
        size_t requests = editor.themeRequests.size();
        EXPECT_EQ(requests, 6u);
        // Closed dialogs no longer follow the mode.
        editor.switchDarkMode(true);
        EXPECT_EQ(editor.themeRequests.size(), requests);
    }
}
