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

}  // namespace
