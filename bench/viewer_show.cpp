// Opens the viewer on an entry of the catalogue in the program's data folder and keeps it
// open for a while, for screenshots of what a user sees. Copy it beside Quellwick.exe, then
// run: quellwick_viewer_show.exe <index> <annotated 0|1> <zoom-in steps> <seconds>

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "services/data_directory.h"
#include "catalog/catalog_loader.h"
#include "tests/common/win_test_support.h"

using namespace wintest;

int main(int argc, char** argv) {
    if (argc < 5)
        return 2;
    const CViewerProcess process;
    if (!process.IsReady() || LoadMoonCatalog(TestCatalog(), TestPictures().File("Quellwicks.xml")) < 0)
        return 1;
    const COwnerWindow owner;
    const std::unique_ptr<CViewerWindow> viewer = OpenViewer(owner.Get(), std::atoi(argv[1]), std::atoi(argv[2]) != 0);
    if (!viewer)
        return 1;
    for (int i = 0; i < std::atoi(argv[3]); ++i)
        SendMessageA(viewer->GetView().GetHwnd(), WM_CHAR, '+', 0);
    std::printf("entry %s at zoom %.2f\n", argv[1], viewer->GetView().GetModel().GetZoom());
    const ULONGLONG end = GetTickCount64() + 1000ull * static_cast<ULONGLONG>(std::atoi(argv[4]));
    while (GetTickCount64() < end && IsWindow(viewer->GetHwnd()))
        Pump();
    viewer->CloseViewer();
    return 0;
}
