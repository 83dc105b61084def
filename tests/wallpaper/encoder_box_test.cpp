// The missing-encoder box while timer ticks keep coming, as they do in the box's own loop.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <thread>

#include "tests/common/win_test_support.h"
#include "wallpaper/wallpaper_maker.h"

using namespace wintest;

namespace {

const CWallpaperMaker* tickMaker = nullptr;
std::string tickPicture, tickOutput;

int ticks = 0;

// Ten timer ticks that render again, as the tray window's refresh does.
void CALLBACK RenderOnTick(HWND, UINT, UINT_PTR timer, DWORD) {
    if (++ticks == 10)
        KillTimer(nullptr, timer);
    tickMaker->RenderWallpaper(tickPicture, tickOutput, "");
}

BOOL CALLBACK CollectBox(HWND window, LPARAM param) {
    DWORD owner = 0;
    char name[32] = {}, caption[32] = {};
    GetWindowThreadProcessId(window, &owner);
    GetClassNameA(window, name, sizeof(name));
    GetWindowTextA(window, caption, sizeof(caption));
    if (owner == GetCurrentProcessId() && lstrcmpA(name, "#32770") == 0 && lstrcmpA(caption, "Quellwick") == 0)
        reinterpret_cast<std::map<HWND, int>*>(param)->emplace(window, 0);
    return TRUE;
}

// Counts the boxes this process shows and the most open at once; each one is cancelled
// after it has been open for two seconds.
class CBoxWatcher {
public:
    CBoxWatcher()
        : thread([this] {
              std::map<HWND, int> ages;
              while (!stop) {
                  std::map<HWND, int> open;
                  EnumWindows(&CollectBox, reinterpret_cast<LPARAM>(&open));
                  most = std::max(most.load(), static_cast<int>(open.size()));
                  for (auto& box : open) {
                      box.second = ages.count(box.first) ? ages[box.first] + 1 : 0;
                      seen += box.second == 0;
                      if (box.second == 40)
                          PostMessageA(box.first, WM_COMMAND, IDCANCEL, 0);
                  }
                  ages.swap(open);
                  Sleep(50);
              }
          }) {}
    ~CBoxWatcher() {
        stop = true;
        thread.join();
    }
    std::atomic<int> seen{0}, most{0};

private:
    std::atomic<bool> stop{false};
    std::thread thread;
};

TEST(MissingEncoderBox, OneBoxWhileTicksComeAndNoneAgainUntilASaveSucceeds) {
    CGdiplusSession imaging;
    CScratchFolder scratch("qw_encoder_box");
    const std::string picture = scratch.Path("moon.png"), bitmap = scratch.Path("wallpaper.bmp");
    ASSERT_TRUE(SavePicture(picture, 32, 32, {{0, 0, 32, 32, 0xFFC03030}}));
    const CWallpaperMaker maker;
    tickMaker = &maker;
    tickPicture = picture;
    tickOutput = scratch.Path("wallpaper.xyz");
    CBoxWatcher boxes;

    SetTimer(nullptr, 0, 100, &RenderOnTick);
    EXPECT_EQ(0, maker.RenderWallpaper(picture, tickOutput, ""));
    EXPECT_EQ(10, ticks);
    EXPECT_EQ(1, boxes.most.load()) << "boxes piled up";
    // Remembered: no box at the next attempt, until a save has succeeded.
    EXPECT_EQ(0, maker.RenderWallpaper(picture, tickOutput, ""));
    EXPECT_EQ(1, boxes.seen.load());
    EXPECT_EQ(1, maker.RenderWallpaper(picture, bitmap, ""));
    EXPECT_EQ(0, maker.RenderWallpaper(picture, tickOutput, ""));
    EXPECT_EQ(2, boxes.seen.load()) << "a new failure after a success is not reported";
}

}  // namespace
