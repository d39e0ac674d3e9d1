// Icons turned into bitmaps with real transparency, at the sizes of 100, 150 and 200 %.
#include "iconImages.h"

#include <gtest/gtest.h>

TEST(IconImages, BitmapsLetTheMenuShowThroughWhereTheIconIsTransparent)
{
    // Left half opaque red, right half transparent by the icon's mask.
    DWORD pixels[16 * 16];
    for (int i = 0; i < 16 * 16; ++i)
        pixels[i] = i % 16 < 8 ? 0x00FF0000 : 0;
    BYTE mask[16 * 2];
    for (int row = 0; row < 16; ++row) {
        mask[row * 2] = 0x00;
        mask[row * 2 + 1] = 0xFF;
    }
    ICONINFO iconInfo = {};
    iconInfo.fIcon = TRUE;
    iconInfo.hbmColor = CreateBitmap(16, 16, 1, 32, pixels);
    iconInfo.hbmMask = CreateBitmap(16, 16, 1, 1, mask);
    HICON icon = CreateIconIndirect(&iconInfo);
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
    DeleteObject(iconInfo.hbmColor);
    DeleteObject(iconInfo.hbmMask);
}
