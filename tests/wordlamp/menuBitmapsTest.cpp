// Wordlamp's three menu bitmaps, linked in: made once from the icon resources at the display's
// scale, kept while the library is loaded, and deleted at its release, which the editor's window may
// draw from where the menus don't blend them themselves.
#include "iconImages.h"
#include "wordlampMenus.h"
#include "wordlampState.h"

#include "testSupport.h"

#include <gtest/gtest.h>

using namespace wordlamp;

TEST(MenuBitmaps, MadeOnceAndDeletedAtTheRelease)
{
    makeMenuBitmaps(GetModuleHandleW(nullptr));
    const HBITMAP made[] = {HelpBitmap.get(), OptionsBitmap.get(), AboutBitmap.get()};
    for (HBITMAP bitmap : made) {
        ImageShape shape = shapeOfBitmap(bitmap);
        EXPECT_EQ(shape.width, scaledToDisplay(16));
        EXPECT_EQ(shape.bitsPerPixel, 32);
        EXPECT_TRUE(shape.someTransparent && shape.someOpaque);
    }
    makeMenuBitmaps(GetModuleHandleW(nullptr));
    EXPECT_EQ(HelpBitmap.get(), made[0]) << "made once";
    releaseMenuBitmaps();
    for (HBITMAP bitmap : made)
        EXPECT_EQ(GetObjectType(bitmap), 0u) << "deleted";
    EXPECT_FALSE(HelpBitmap || OptionsBitmap || AboutBitmap);
}
