#include <gtest/gtest.h>

#include <windows.h>

#include "services/data_directory.h"
#include "tests/catalog/catalog_fixture.h"
#include "tests/common/win_test_support.h"
#include "wallpaper/desktop_wallpaper_win.h"
#include "wallpaper/wallpaper_maker.h"

using namespace wintest;
using Gdiplus::ARGB;

namespace {

constexpr ARGB kRed = 0xFFD02020;
constexpr ARGB kBlue = 0xFF2030D0;
constexpr ARGB kGreen = 0xFF20C040;

// Every picture the present moment can choose is red.
class WallpaperUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(imaging.IsStarted());
        const std::string data = pictures.DataDirectory().string();
        ASSERT_FALSE(data.empty());
        CreateDirectoryA(data.c_str(), nullptr);
        ASSERT_TRUE(SavePicture(data + "qw_update_red.png", 64, 48, {{0, 0, 64, 48, kRed}}));
        ASSERT_TRUE(SavePicture(data + "qw_update_ann.png", 64, 48, {{24, 16, 16, 16, kGreen}}));
        catalog.Set({Entry("qw_update_red.png", 0, "qw_update_ann.png"),
                     Entry("qw_update_red.png", 100, "qw_update_ann.png"),
                     Entry("qw_update_red.png", 200, "qw_update_ann.png")});
        output = WallpaperOutputPath().string();
        ASSERT_FALSE(output.empty());
    }

    void TearDown() override {
        catalog.Set({});
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quellwick");
        DeleteFileA(output.c_str());
    }

    ARGB CentrePixel() {
        const GdipBitmapPtr bitmap = OpenBitmap(output);
        if (!bitmap)
            return 0;
        const SIZE size = ImagePixelSize(bitmap.get());
        return PixelAt(bitmap.get(), size.cx / 2, size.cy / 2);
    }

    CGdiplusSession imaging;
    CTestCatalog catalog;
    CPictureSet pictures{ResolveProgramDataDirectory()};
    CWallpaperMaker maker{catalog, pictures};
    WallpaperSettings settings;
    std::string output;
};

TEST_F(WallpaperUpdate, InstallsOnceUntilForcedAndAlwaysReportsTheMoon) {
    // The first update of the process always installs, centred and stretched.
    ResetUserState();
    double percent = -1.0;
    double age = -1.0;
    ASSERT_EQ(WallpaperStatus::Ok, maker.UpdateWallpaper(settings, &percent, &age, true));
    EXPECT_TRUE(percent >= 0.0 && percent <= 100.0 && age >= 0.0 && age < 30.0) << percent << " " << age;
    EXPECT_EQ(0, lstrcmpiA(output.c_str(), ReadDesktopString("Wallpaper").c_str())) << ReadDesktopString("Wallpaper");
    EXPECT_TRUE(ColourNear(CentrePixel(), kRed));
    EXPECT_EQ("0", ReadDesktopString("TileWallpaper"));
    EXPECT_EQ("2", ReadDesktopString("WallpaperStyle"));

    // The same picture again: nothing is rendered (the removed file stays removed).
    ASSERT_TRUE(DeleteFileA(output.c_str()));
    EXPECT_EQ(WallpaperStatus::Ok, maker.UpdateWallpaper(settings, nullptr, nullptr, false));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(output.c_str()));

    // Forced: rendered and installed again, now with the overlay.
    settings.view.annotated = true;
    EXPECT_EQ(WallpaperStatus::Ok, maker.UpdateWallpaper(settings, nullptr, nullptr, true));
    EXPECT_TRUE(ColourNear(CentrePixel(), kGreen));
}

// A picture that failed keeps the previous wallpaper and is not drawn again at each refresh,
// only once what stood in its way may have gone (a wake, an unlock, a forced update).
TEST_F(WallpaperUpdate, AFailedPictureKeepsThePreviousWallpaperUntilItIsTriedAgain) {
    ASSERT_EQ(WallpaperStatus::Ok, maker.UpdateWallpaper(settings, nullptr, nullptr, true));
    const std::string previous = ReadFileBytes(output);
    catalog.Set({Entry("qw_update_absent.png", 0, ""), Entry("qw_update_absent.png", 100, ""),
                 Entry("qw_update_absent.png", 200, "")});
    EXPECT_EQ(WallpaperStatus::PictureUnreadable, maker.UpdateWallpaper(settings, nullptr, nullptr, false));
    EXPECT_TRUE(previous == ReadFileBytes(output));

    const std::string absent = pictures.DataDirectory().string() + "qw_update_absent.png";
    ASSERT_TRUE(SavePicture(absent, 8, 8, {{0, 0, 8, 8, kBlue}}));
    EXPECT_EQ(WallpaperStatus::PictureUnreadable, maker.UpdateWallpaper(settings, nullptr, nullptr, false))
        << "tried again at once";
    EXPECT_TRUE(previous == ReadFileBytes(output));
    maker.ForgetFailure();
    EXPECT_EQ(WallpaperStatus::Ok, maker.UpdateWallpaper(settings, nullptr, nullptr, false));
    EXPECT_TRUE(ColourNear(CentrePixel(), kBlue));
    DeleteFileA(absent.c_str());
}

}  // namespace
