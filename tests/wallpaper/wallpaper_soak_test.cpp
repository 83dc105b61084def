#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "app/app_instance.h"
#include "app/app_settings.h"
#include "app/tray_icon.h"
#include "app/tray_text.h"
#include "catalog/moon_catalog.h"
#include "resources/resource.h"
#include "tests/wallpaper/wallpaper_test_support.h"
#include "wallpaper/wallpaper_maker.h"

using namespace wallpaper_test;

namespace {

constexpr int kUpdates = 2000;
constexpr int kSettleUpdates = 10;
// The heap may keep a little more after many cycles without anything leaking per cycle.
constexpr SIZE_T kPrivateBytesSlack = 4u << 20;

class CFilledCatalog : public CMoonCatalog {
public:
    static void Set(const std::string& paper, const std::string& ann) {
        ClearEntries();
        for (double phase : {0.0, 100.0, 200.0}) {
            MoonEntry entry;
            entry.paper = paper;
            entry.ann = ann;
            entry.phase = phase;
            AppendEntry(entry);
        }
    }
};

class CSoakTrayIcon : public CTrayIcon {
public:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        return DefaultProcessing(message, wParam, lParam);
    }
};

struct ResourceUse {
    DWORD gdiObjects;
    DWORD userObjects;
    SIZE_T privateBytes;
};

ResourceUse MeasureResources() {
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
    return {GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS),
            memory.PrivateUsage};
}

void DrainMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

TEST(WallpaperSoak, ForcedUpdatesLeaveNoObjectsOrMemoryBehind) {
    CGdiplusSession imaging;
    ASSERT_TRUE(imaging.IsStarted());
    AppInstance().Init(GetModuleHandleA(nullptr));
    CWallpaperMaker maker;
    const std::string data = maker.GetDataDirectory();
    CreateDirectoryA(data.c_str(), nullptr);
    ASSERT_TRUE(SavePicture(data + "qw_soak.png", 320, 240, {{0, 0, 160, 240, 0xFFC0C0C0}}));
    ASSERT_TRUE(SavePicture(data + "qw_soak_ann.png", 320, 240, {{100, 80, 120, 80, 0xFF20C040}}));
    CFilledCatalog::Set("qw_soak.png", "qw_soak_ann.png");
    AppSettings::Instance().SetAnnotate(1);

    // The tray icon is updated as often: each modification loads the icon image afresh.
    CSoakTrayIcon tray;
    tray.SetIcon(IDI_QUELLWICK);
    tray.Show(true);
    ASSERT_TRUE(tray.GetHwnd());

    ResourceUse settled = {};
    for (int i = 0; i < kUpdates; ++i) {
        double percent = 0.0;
        double age = 0.0;
        ASSERT_EQ(1, maker.UpdateWallpaper(&percent, &age, 1)) << "update " << i;
        tray.SetTooltipText(FormatPhaseTooltip(percent, age));
        DrainMessages();
        if (i + 1 == kSettleUpdates)
            settled = MeasureResources();
    }
    const ResourceUse after = MeasureResources();
    std::printf("after %d updates: GDI objects %lu, USER objects %lu, private bytes %lu KiB\n", kSettleUpdates,
                settled.gdiObjects, settled.userObjects, static_cast<unsigned long>(settled.privateBytes / 1024));
    std::printf("after %d updates: GDI objects %lu, USER objects %lu, private bytes %lu KiB\n", kUpdates,
                after.gdiObjects, after.userObjects, static_cast<unsigned long>(after.privateBytes / 1024));
    EXPECT_EQ(settled.gdiObjects, after.gdiObjects);
    EXPECT_EQ(settled.userObjects, after.userObjects);
    EXPECT_LE(after.privateBytes, settled.privateBytes + kPrivateBytesSlack);

    tray.Show(false);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quellwick");
    DeleteFileA((data + "qw_soak.png").c_str());
    DeleteFileA((data + "qw_soak_ann.png").c_str());
}

}  // namespace
