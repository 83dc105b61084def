// However the viewer ends, its owner hears of it exactly once, so that it can open a new one.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "tests/common/win_test_support.h"

using namespace wintest;

namespace {

class ViewerCloseTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { process = new CViewerProcess; }
    static void TearDownTestSuite() { delete process; }
    void SetUp() override { ASSERT_TRUE(process->IsReady() && owner.Get() && catalogue.IsLoaded()); }

    static inline CViewerProcess* process = nullptr;
    CTestCatalogue catalogue{{{"qw_close.png", "", 64, 64, 0xFF808080, 0}}};
    COwnerWindow owner;
};

TEST_F(ViewerCloseTest, ClosedOrDestroyedFromOutsideItReportsOnce) {
    // The task manager asks with WM_CLOSE (as Alt+F4 and the task bar do, through SC_CLOSE);
    // a window can also be destroyed without being asked.
    int expected = 0;
    for (const bool asked : {true, false}) {
        std::unique_ptr<CViewerWindow> viewer = OpenViewer(owner.Get(), 0, false);
        ASSERT_TRUE(viewer);
        const HWND frame = viewer->GetHwnd(), toolbar = viewer->GetToolbar().GetHwnd();
        asked ? SendMessageA(frame, WM_CLOSE, 0, 0) : DestroyWindow(frame);
        viewer->CloseViewer();
        Pump();
        EXPECT_FALSE(IsWindow(frame) || IsWindow(toolbar)) << asked;
        EXPECT_EQ(++expected, owner.ClosedCount()) << asked;
    }
}

// A frame that the system refuses to create: a computer-based-training hook vetoes it.
LRESULT CALLBACK RefuseViewerFrame(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        char name[64] = {};
        GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof(name));
        if (lstrcmpA(name, "QuellwickViewerFrame") == 0)
            return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(ViewerCloseTest, AFailedCreateReportsOnce) {
    const HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseViewerFrame, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    CViewerWindow viewer(TestCatalog());
    const int32_t result = viewer.Create(owner.Get());
    UnhookWindowsHookEx(hook);
    EXPECT_NE(0, result);
    EXPECT_FALSE(viewer.GetHwnd());
    viewer.CloseViewer();
    Pump();
    EXPECT_EQ(1, owner.ClosedCount());
}

}  // namespace
