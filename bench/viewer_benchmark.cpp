// Prints how long the viewer takes to repaint its pane and to step the zoom, with a
// 2048 x 2048 picture in a 1920 x 1080 pane. Figures, not a test: run it on an idle machine.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "tests/common/win_test_support.h"

using namespace wintest;

namespace {

constexpr int kRuns = 20;

// Runs `run` kRuns times and prints the median, minimum and maximum in milliseconds.
void Report(const char* what, const std::function<void()>& run) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QueryPerformanceCounter(&start);
        run();
        GdiFlush();
        QueryPerformanceCounter(&end);
        times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart));
    }
    std::sort(times.begin(), times.end());
    std::printf("%-44s median %7.2f ms   min %7.2f ms   max %7.2f ms   (%d runs)\n", what, times[kRuns / 2],
                times.front(), times.back(), kRuns);
}

}  // namespace

int main() {
    const CViewerProcess process;
    if (!process.IsReady())
        return 1;
    // Drawing takes as long whatever the picture shows: one colour will do.
    const CTestCatalogue catalogue(
        {{"qw_viewer_bench.png", "qw_viewer_bench_ann.png", 2048, 2048, 0xFF808890, 0xFF20C040}});
    if (!catalogue.IsLoaded())
        return 1;
    const COwnerWindow owner;
    const std::unique_ptr<CViewerWindow> viewer = OpenViewer(owner.Get(), 0, true);
    if (!viewer)
        return 1;
    // A frame whose pane has a 1920 x 1080 client area inside its two-pixel edge.
    ShowWindow(viewer->GetHwnd(), SW_RESTORE);
    SetWindowPos(viewer->GetHwnd(), nullptr, 0, 0, 1924, 1084, SWP_NOZORDER);
    viewer->ShowMoon(0, true);
    Pump();
    const HWND view = viewer->GetView().GetHwnd();
    RECT client;
    GetClientRect(view, &client);
    std::printf("pane %ld x %ld, picture 2048 x 2048 with overlay\n", client.right, client.bottom);

    const auto repaint = [view] {
        InvalidateRect(view, nullptr, TRUE);
        UpdateWindow(view);
    };
    const auto zoomTo = [&](int steps) {
        for (int i = 0; i < steps; ++i)
            SendMessageA(view, WM_CHAR, '+', 0);
        Pump();
        std::printf("zoom %.2f\n", viewer->GetView().GetModel().GetZoom());
    };
    zoomTo(0);
    Report("full repaint at best fit", repaint);

    // Between best fit and 1.00 the scroll bars come and go with every step.
    bool in = true;
    const auto zoomStep = [&] {
        SendMessageA(view, WM_CHAR, in ? '+' : '-', 0);
        UpdateWindow(view);
        in = !in;
    };
    Report("zoom step 0.52 <-> 1.00 (relayout, repaint)", zoomStep);
    zoomTo(3);
    Report("zoom step 3.00 <-> 4.00 (relayout, repaint)", zoomStep);

    zoomTo(12);
    Report("full repaint at zoom 7.00", repaint);
    Report("line scroll at zoom 7.00", [&] {
        SendMessageA(view, WM_KEYDOWN, in ? VK_RIGHT : VK_LEFT, 0);
        UpdateWindow(view);
        in = !in;
    });
    viewer->CloseViewer();
    Pump();
    return 0;
}
