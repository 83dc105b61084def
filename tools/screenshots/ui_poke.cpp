// Drives the running Quellwick for screenshots, as the icon and the buttons would, and
// checks that the settings dialog's controls lie inside it. Run under the same Wine
// desktop as the program: ui_poke settings | viewer | close-viewer | about | close-about
// | place | close-place | check-settings. Exit code 0 on success.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr UINT kTrayNotify = WM_USER;
constexpr int kViewFullscreen = 1007;
constexpr int kAbout = 57664;
constexpr int kChangePlace = 1014;

HWND Wait(const char* className, const char* caption) {
    for (int i = 0; i < 300; ++i) {
        if (const HWND window = FindWindowA(className, caption))
            return window;
        Sleep(100);
    }
    std::fprintf(stderr, "no window %s \"%s\"\n", className ? className : "-", caption ? caption : "-");
    return nullptr;
}

void Click(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// Every child of the dialog within its client area; prints those that are not.
bool ControlsInside(HWND dialog) {
    RECT client;
    GetClientRect(dialog, &client);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::printf("dialog client %ldx%ld\n", client.right - client.left, client.bottom - client.top);
    bool inside = true;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(child, &rect);
        if (rect.left < client.left || rect.top < client.top || rect.right > client.right ||
            rect.bottom > client.bottom) {
            char text[128] = {};
            GetWindowTextA(child, text, sizeof(text));
            std::printf("outside: id %d \"%s\" %ld,%ld-%ld,%ld\n", GetDlgCtrlID(child), text, rect.left, rect.top,
                        rect.right, rect.bottom);
            inside = false;
        }
    }
    return inside;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const char* command = argv[1];
    if (std::strcmp(command, "settings") == 0) {
        const HWND tray = Wait(nullptr, "QuellwickShellIconHiddenWindow");
        return tray && PostMessageA(tray, kTrayNotify, 0, WM_LBUTTONDBLCLK) && Wait("#32770", "Quellwick") ? 0 : 1;
    }
    if (std::strcmp(command, "close-viewer") == 0) {
        const HWND frame = Wait("QuellwickViewerFrame", nullptr);
        return frame && PostMessageA(frame, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (std::strcmp(command, "close-place") == 0) {
        const HWND place = Wait("#32770", "Your place");
        return place && PostMessageA(place, WM_COMMAND, IDCANCEL, 0) ? 0 : 1;
    }
    if (std::strcmp(command, "close-about") == 0) {
        const HWND about = Wait("#32770", "About");
        return about && PostMessageA(about, WM_COMMAND, IDCANCEL, 0) ? 0 : 1;
    }
    const HWND dialog = Wait("#32770", "Quellwick");
    if (!dialog)
        return 1;
    if (std::strcmp(command, "viewer") == 0) {
        Click(dialog, kViewFullscreen);
        return Wait("QuellwickViewerFrame", nullptr) ? 0 : 1;
    }
    if (std::strcmp(command, "about") == 0) {
        Click(dialog, kAbout);
        return Wait("#32770", "About") ? 0 : 1;
    }
    if (std::strcmp(command, "place") == 0) {
        Click(dialog, kChangePlace);
        return Wait("#32770", "Your place") ? 0 : 1;
    }
    if (std::strcmp(command, "check-settings") == 0)
        return ControlsInside(dialog) ? 0 : 1;
    return 2;
}
