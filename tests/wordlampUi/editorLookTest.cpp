// Wordlamp on editors old and new: the toolbar button's faces, and its two dialogs themed by the
// editor at their start and at every switch of the mode.
#include "dialogDriver.h"
#include "resource.h"
#include "wordlampTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

// Opens the Options dialog and from it the entry editor; whileOpen runs with both on the screen.
void withBothDialogsOpen(WordlampInEditor& wordlamp, const std::function<void(HWND options, HWND editor)>& whileOpen)
{
    withOptionsAndEntryEditorOpen([&] { wordlamp.openOptions(); }, whileOpen);
}
} // namespace

TEST(WordlampEditorLook, TheToolbarButtonTakesEveryFaceTheEditorKnows)
{
    SettingsText settings;
    settings.showToolBarButton = 1;
    for (EditorLook look : {EditorLook::unanswered, EditorLook::light, EditorLook::dark}) {
        WordlampInEditor wordlamp(settings, look);
        ASSERT_TRUE(wordlamp.loaded);
        ASSERT_EQ(wordlamp.editor.toolbarButtons.size(), 1u);
        const ToolbarButton& button = wordlamp.editor.toolbarButtons[0];
        EXPECT_EQ(button.commandId, wordlamp.commandId(0));
        ASSERT_NE(button.bitmap, nullptr);
        if (look == EditorLook::unanswered) {
            // As before: the one message every editor knows, with the bitmap alone.
            EXPECT_EQ(button.message, NPPM_ADDTOOLBARICON);
            EXPECT_EQ(button.icon, nullptr);
            EXPECT_EQ(wordlamp.editor.requestCount(NPPM_ADDTOOLBARICON_FORDARKMODE), 0u);
            continue;
        }
        EXPECT_EQ(button.message, NPPM_ADDTOOLBARICON_FORDARKMODE);
        ASSERT_NE(button.icon, nullptr);
        ASSERT_NE(button.darkIcon, nullptr);
        EXPECT_NE(button.icon, button.darkIcon);
        for (HICON icon : {button.icon, button.darkIcon}) {
            ImageShape shape = shapeOfIcon(icon);
            EXPECT_EQ(shape.width, 16) << "Fluent small at 100 %";
            EXPECT_TRUE(shape.someTransparent && shape.someOpaque);
        }
    }
}

TEST(WordlampEditorLook, EveryDialogIsThemedOnceAtItsStartOnlyWhereTheEditorCan)
{
    for (EditorLook look : {EditorLook::unanswered, EditorLook::light, EditorLook::dark}) {
        WordlampInEditor wordlamp(SettingsText{}, look);
        ASSERT_TRUE(wordlamp.loaded);
        StandinEditor& editor = wordlamp.editor;
        bool themes = look != EditorLook::unanswered;
        withBothDialogsOpen(wordlamp, [&](HWND options, HWND entryEditor) {
            std::map<HWND, int> expected;
            if (themes)
                expected = {{options, 1}, {entryEditor, 1}};
            EXPECT_EQ(themingsWith(editor, darkModeThemeAtInit), expected);
            editor.switchDarkMode(look != EditorLook::dark);
            EXPECT_EQ(themingsWith(editor, darkModeThemeOnChange), expected);
        });
        EXPECT_EQ(editor.themeRequests.size(), themes ? 4u : 0u);
        editor.switchDarkMode(true);
        EXPECT_EQ(editor.themeRequests.size(), themes ? 4u : 0u) << "closed dialogs follow no more";
    }
}
