// Icons turned into bitmaps with real transparency, at the sizes of 100, 150 and 200 %.
#include "iconImages.h"
#include "testSupport.h"

#include <gtest/gtest.h>

TEST(IconImages, BitmapsLetTheMenuShowThroughWhereTheIconIsTransparent)
{
    // Left half opaque red, right half transparent by the icon's mask.
    HICON icon = makeTwoHalvesIcon(0x00FF0000, 0, true);
    ASSERT_NE(icon, nullptr);

    struct Case {
        int size;
    };
    const Case cases[] = {{16}, {24}, {32}}; // 100 %, 150 % and 200 %
    for (const Case& c : cases) {
        HBITMAP bitmap = iconToAlphaBitmap(icon, c.size);
        ASSERT_NE(bitmap, nullptr);
        DIBSECTION section = {};
        ASSERT_EQ(GetObjectW(bitmap, sizeof(section), &section), static_cast<int>(sizeof(section)));
        EXPECT_EQ(section.dsBm.bmWidth, c.size);
        ASSERT_EQ(section.dsBm.bmBitsPixel, 32);
        const DWORD* bits = static_cast<const DWORD*>(section.dsBm.bmBits);
        for (int row = 0; row < c.size; ++row) {
            EXPECT_EQ(bits[row * c.size + 1], 0xFFFF0000u) << "opaque red, premultiplied";
            EXPECT_EQ(bits[row * c.size + c.size - 2], 0u) << "fully transparent";
        }
        DeleteObject(bitmap);
    }
    EXPECT_EQ(iconToAlphaBitmap(nullptr, 16), nullptr);
    DestroyIcon(icon);
}
