#include <gtest/gtest.h>

#include <windows.h>

#include "services/app_settings.h"
#include "tests/common/win_test_support.h"
#include "tests/catalog/catalog_fixture.h"
#include "wallpaper/wallpaper_fit.h"
#include "services/data_directory.h"
#include "wallpaper/desktop_wallpaper_win.h"
#include "wallpaper/wallpaper_maker.h"

using namespace wintest;
using Gdiplus::ARGB;

namespace {

constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr ARGB kBlack = 0xFF000000;
constexpr ARGB kGreen = 0xFF20C040;
constexpr ARGB kBlue = 0xFF2030D0;
constexpr int kWidth = 64;
constexpr int kHeight = 48;

// A waxing and a waning Moon as the northern pictures show them (lit on the right and on
// the left), with a northern overlay marked green at the top left and a southern one marked
// blue there; the third entry's overlay has no southern counterpart.
class SouthernWallpaper : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(imaging.IsStarted());
        const std::filesystem::path data = pictures.DataDirectory();
        CreateDirectoryW(data.c_str(), nullptr);
        ASSERT_TRUE(SavePicture(data / "qw_south_waxing.png", kWidth, kHeight, {{32, 0, 32, 48, kWhite}}));
        ASSERT_TRUE(SavePicture(data / "qw_south_waning.png", kWidth, kHeight, {{0, 0, 32, 48, kWhite}}));
        ASSERT_TRUE(SavePicture(data / "qw_south_ann.png", kWidth, kHeight, {{2, 2, 10, 10, kGreen}}));
        ASSERT_TRUE(SavePicture(data / "qw_south_ann_south.png", kWidth, kHeight, {{2, 2, 10, 10, kBlue}}));
        ASSERT_TRUE(SavePicture(data / "qw_south_alone.png", kWidth, kHeight, {{2, 2, 10, 10, kGreen}}));
        catalog.Set({Entry("qw_south_waxing.png", 50, "qw_south_ann.png"),
                     Entry("qw_south_waning.png", 150, "qw_south_ann.png"),
                     Entry("qw_south_waxing.png", 200, "qw_south_alone.png")});
        output = WallpaperOutputPath();
    }

    void TearDown() override {
        catalog.Set({});
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quellwick");
        DeleteFileW(output.c_str());
    }

    CGdiplusSession imaging;
    CTestCatalog catalog;
    CPictureSet pictures{ResolveProgramDataDirectory()};
    CWallpaperMaker maker{catalog, pictures};
    std::filesystem::path output;
};

TEST_F(SouthernWallpaper, TurnsThePictureAndTakesTheSouthernOverlayUpright) {
    struct Case {
        int entry, southern;
        bool litOnRight;
        ARGB topLeftMark;  // 0: no overlay there (entry 2 has no southern overlay)
    };
    const Case cases[] = {
        {0, 0, true, kGreen}, {0, 1, false, kBlue}, {1, 0, false, kGreen}, {1, 1, true, kBlue}, {2, 1, false, 0}};
    for (const Case& c : cases) {
        // Not forced: a new view of the same picture is drawn again all the same.
        const WallpaperSettings settings{1, c.entry, {true, c.southern != 0}};
        ASSERT_EQ(WallpaperStatus::Ok, maker.UpdateWallpaper(settings, nullptr, nullptr, false));
        const GdipBitmapPtr wallpaper = OpenBitmap(output);
        ASSERT_TRUE(wallpaper);
        const SIZE size = ImagePixelSize(wallpaper.get());
        const FitRect fit = ComputeFit(size.cx, size.cy, kWidth, kHeight);
        // A point of the picture's own coordinates on the wallpaper.
        const auto at = [&](double x, double y) {
            return PixelAt(wallpaper.get(), static_cast<int>(fit.x + x * fit.scale),
                           static_cast<int>(fit.y + y * fit.scale));
        };
        const ARGB right = c.litOnRight ? kWhite : kBlack, left = c.litOnRight ? kBlack : kWhite;
        const std::string which = "entry " + std::to_string(c.entry) + " southern " + std::to_string(c.southern);
        EXPECT_TRUE(ColourNear(at(48, 30), right) && ColourNear(at(16, 30), left)) << which;
        EXPECT_TRUE(ColourNear(at(7, 7), c.topLeftMark ? c.topLeftMark : left)) << which;
        EXPECT_TRUE(ColourNear(at(57, 41), right)) << which << ": overlay turned";
    }
}

const char kGeoKey[] = "Control Panel\\International\\Geo";
const char kTestKey[] = "Software\\QuellwickSouthernTest";

// A store of its own on a test key, read afresh at construction, as at a program start.
class StartedSettings : public AppSettings {
public:
    StartedSettings() : AppSettings(HKEY_CURRENT_USER, kTestKey) {}
};

// The user's country as Wine keeps it, put back afterwards.
class UserNation : public ::testing::Test {
protected:
    void SetUp() override {
        DWORD size = sizeof saved;
        RegGetValueA(HKEY_CURRENT_USER, kGeoKey, "Nation", RRF_RT_REG_SZ, nullptr, saved, &size);
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    }
    void TearDown() override {
        SetNation(saved[0] ? saved : "244");
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    }
    static void SetNation(const char* geoId) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, kGeoKey, "Nation", REG_SZ, geoId,
                                                 static_cast<DWORD>(strlen(geoId) + 1)));
        ASSERT_EQ(static_cast<GEOID>(atoi(geoId)), GetUserGeoID(GEOCLASS_NATION));
    }

    char saved[32] = {};
};

TEST_F(UserNation, NeverSetTheViewFollowsTheCountryOnceSetItSurvivesARestart) {
    SetNation("12");  // Australia
    EXPECT_EQ(1, StartedSettings().GetSouthernView());
    SetNation("177");  // Norway
    EXPECT_EQ(0, StartedSettings().GetSouthernView());
    StartedSettings().SetSouthernView(1);
    EXPECT_EQ(1, StartedSettings().GetSouthernView());
    SetNation("12");
    StartedSettings().SetSouthernView(0);
    EXPECT_EQ(0, StartedSettings().GetSouthernView());
}

}  // namespace
