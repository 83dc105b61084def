#include <windows.h>

#include <gtest/gtest.h>

// The artwork as the program's resources: what the resource compiler made of the files.
namespace {

struct IconInfo {
    ICONINFO info{};
    ~IconInfo() {
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        if (info.hbmMask)
            DeleteObject(info.hbmMask);
    }
};

BITMAP BitmapOf(HBITMAP bitmap) {
    BITMAP b{};
    GetObjectA(bitmap, sizeof b, &b);
    return b;
}

TEST(Resources, IconComesInEverySizeTheShellAsksFor) {
    for (int size : {16, 32, 48, 256}) {
        HICON icon = static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128), IMAGE_ICON, size, size, 0));
        ASSERT_NE(nullptr, icon) << size;
        IconInfo info;
        ASSERT_TRUE(GetIconInfo(icon, &info.info));
        const BITMAP colour = BitmapOf(info.info.hbmColor);
        EXPECT_EQ(size, colour.bmWidth);
        EXPECT_EQ(size, colour.bmHeight);
        DestroyIcon(icon);
    }
}

TEST(Resources, HandCursorHasItsHotSpotOnThePalm) {
    HCURSOR cursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(208));
    ASSERT_NE(nullptr, cursor);
    IconInfo info;
    ASSERT_TRUE(GetIconInfo(cursor, &info.info));
    EXPECT_FALSE(info.info.fIcon);
    EXPECT_EQ(16u, info.info.xHotspot);
    EXPECT_EQ(15u, info.info.yHotspot);
    const BITMAP mask = BitmapOf(info.info.hbmMask);
    EXPECT_EQ(32, mask.bmWidth);
    EXPECT_EQ(64, mask.bmHeight);  // a monochrome cursor: mask and colour in one bitmap
}

TEST(Resources, ToolBarBitmapsKeepTheirSizesAndDepths) {
    const struct {
        int id, width, height, bits;
    } bitmaps[] = {{213, 200, 30, 24}, {214, 84, 21, 8},  {215, 84, 21, 24}, {216, 84, 21, 24}, {217, 84, 21, 24},
                   {218, 84, 21, 24},  {219, 84, 21, 24}, {220, 84, 21, 24}, {221, 84, 21, 24}};
    for (const auto& expected : bitmaps) {
        HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(expected.id),
                                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(nullptr, bitmap) << expected.id;
        const BITMAP b = BitmapOf(bitmap);
        EXPECT_EQ(expected.width, b.bmWidth) << expected.id;
        EXPECT_EQ(expected.height, b.bmHeight) << expected.id;
        EXPECT_EQ(expected.bits, b.bmBitsPixel) << expected.id;
        DeleteObject(bitmap);
    }
}

}  // namespace
