#include "viewer/viewer_window.h"

#include <new>
#include <vector>

#include "resources/app_messages.h"
#include "viewer/phase_stepping.h"
#include "viewer/viewer_commands.h"
#include "win/owners_win.h"
#include "win/wait_cursor.h"

namespace {

const WindowClassInfo kFrameClass = {"QuellwickViewerFrame", nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                                     CS_DBLCLKS};
constexpr char kFrameTitle[] = "QuellwickViewerWindow";
constexpr char kErrorCaption[] = "Error";

int32_t FailureCode(DWORD error) {
    const auto code = static_cast<int32_t>(error);
    return code > 0 ? static_cast<int32_t>(0x80070000u | (error & 0xFFFFu)) : code;
}

}  // namespace

CViewerWindow::~CViewerWindow() {
    // The owner deleting the viewer knows it is gone.
    notifyWindow = nullptr;
    DestroyWindows();
}

int32_t CViewerWindow::Create(HWND notify) {
    notifyWindow = notify;
    const RECT empty = {0, 0, 0, 0};
    if (!CreateWindowOfClass(kFrameClass, 0, kFrameTitle, WS_POPUP, empty, nullptr, 0)) {
        const int32_t failure = FailureCode(GetLastError());
        ReportClosed();
        return failure;
    }
    return 0;
}

LRESULT CViewerWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_CLOSE:
            CloseViewer();
            return 0;
        case WM_DESTROY:
            // However the frame ends: Esc, its Close button, Alt+F4, the task bar, the task
            // manager, or its owner.
            ReportClosed();
            return 0;
        case WM_SIZE:
            OnSize(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_CHAR:
            OnChar(wParam);
            return 0;
        case WM_KEYDOWN:
            OnKeyDown(wParam);
            return 0;
        case WM_MOUSEWHEEL:
            return view.GetHwnd() ? SendMessageA(view.GetHwnd(), message, wParam, lParam) : 0;
        case WM_KILLFOCUS:
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && IsViewerCommand(LOWORD(wParam))) {
                OnCommand(LOWORD(wParam));
                return 0;
            }
            return DefaultProcessing(message, wParam, lParam);
        case WM_SETFOCUS:
            if (view.GetHwnd() && IsWindowVisible(view.GetHwnd()))
                SetFocus(view.GetHwnd());
            return 0;
        case WM_ERASEBKGND:
            // The pane covers the whole client area and paints its own background.
            return view.GetHwnd() ? 1 : DefaultProcessing(message, wParam, lParam);
        default:
            if (view.GetWheelMessage() != 0 && message == view.GetWheelMessage())
                return view.GetHwnd() ? SendMessageA(view.GetHwnd(), message, wParam, lParam) : 0;
            return DefaultProcessing(message, wParam, lParam);
    }
}

void CViewerWindow::OnCreate() {
    if (!view.Create(GetHwnd()))
        ShowErrorBox();
    view.SetImages(nullptr, nullptr, false);
    if (!toolbar.Create(GetHwnd()))
        ShowErrorBox();
}

void CViewerWindow::ShowErrorBox() {
    const DWORD error = GetLastError();
    CLocalText text;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(text.Receive()), 0,
                   nullptr);
    MessageBoxA(GetHwnd(), text.Get(), kErrorCaption, MB_ICONINFORMATION);
}

void CViewerWindow::OnSize(int width, int height) {
    // The tool bar works out its own place and size from the frame's client area.
    if (toolbar.GetHwnd())
        SetWindowPos(toolbar.GetHwnd(), nullptr, 0, 0, 0, 0, SWP_NOACTIVATE);
    if (view.GetHwnd())
        MoveWindow(view.GetHwnd(), 0, 0, width, height, TRUE);
}

void CViewerWindow::OnChar(WPARAM character) {
    switch (character) {
        case 27:
            CloseViewer();
            break;
        case '+':
        case '=':
            view.ZoomStep(ZoomDirection::In, 0, 0);
            break;
        case '-':
        case '_':
            view.ZoomStep(ZoomDirection::Out, 0, 0);
            break;
        default:
            break;
    }
}

void CViewerWindow::OnKeyDown(WPARAM key) {
    switch (key) {
        case VK_LEFT:
            view.ScrollLine(ScrollAxis::Horizontal, ScrollCode::LineUp);
            break;
        case VK_RIGHT:
            view.ScrollLine(ScrollAxis::Horizontal, ScrollCode::LineDown);
            break;
        case VK_UP:
            view.ScrollLine(ScrollAxis::Vertical, ScrollCode::LineUp);
            break;
        case VK_DOWN:
            view.ScrollLine(ScrollAxis::Vertical, ScrollCode::LineDown);
            break;
        default:
            break;
    }
}

void CViewerWindow::OnCommand(UINT id) {
    switch (id) {
        case kCommandClose:
            // The tool bar is gone with the viewer; its tooltip with it.
            CloseViewer();
            return;
        case kCommandZoomIn:
            view.ZoomStep(ZoomDirection::In, 0, 0);
            break;
        case kCommandZoomOut:
            view.ZoomStep(ZoomDirection::Out, 0, 0);
            break;
        case kCommandActualSize:
            view.ZoomActualSize();
            break;
        case kCommandBestFit:
            view.ZoomToFit();
            break;
        case kCommandAnnotations:
            view.ToggleAnnotations();
            break;
        case kCommandNextPhase:
            StepPhase(NextPhaseIndex(currentIndex, static_cast<int32_t>(catalogue.GetEntries().size())));
            break;
        case kCommandPreviousPhase:
            StepPhase(PreviousPhaseIndex(currentIndex, static_cast<int32_t>(catalogue.GetEntries().size())));
            break;
        default:
            return;
    }
    toolbar.ResetTooltip(id);
}

void CViewerWindow::StepPhase(int32_t index) {
    // An empty catalogue has nothing to step to.
    if (index < 0)
        return;
    currentIndex = index;
    ShowMoon(currentIndex, view.GetShowAnnotations(), southernView);
}

void CViewerWindow::ShowMoon(int32_t index, bool annotated, bool southern) {
    currentIndex = index;
    southernView = southern;
    const CWaitCursor wait;
    GdipImagePtr plain;
    GdipImagePtr annotation;
    try {
        const std::vector<MoonEntry>& entries = catalogue.GetEntries();
        if (index >= 0 && static_cast<size_t>(index) < entries.size()) {
            // The overlay is loaded whatever `annotated` says: the tool bar shows and hides it.
            const PictureFiles files = pictures.FilesFor(entries[static_cast<size_t>(index)], {true, southern});
            plain = LoadPicture(files.picture);
            if (files.turned)
                TurnHalfTurn(plain.get());
            annotation = LoadPicture(files.overlay);
        }
    } catch (const std::bad_alloc&) {
        // Whatever was loaded goes with the owners; the pane keeps what it shows.
        return;
    }
    ShowPictures(index, std::move(plain), std::move(annotation), annotated, southern);
}

void CViewerWindow::ShowPictures(int32_t index, GdipImagePtr plain, GdipImagePtr labelled, bool annotated,
                                 bool southern) {
    currentIndex = index;
    southernView = southern;
    view.SetImages(std::move(plain), std::move(labelled), annotated);
    view.ZoomToFit();
}

void CViewerWindow::CloseViewer() {
    DestroyWindows();
}

void CViewerWindow::ReportClosed() {
    const HWND notify = notifyWindow;
    notifyWindow = nullptr;
    if (notify && IsWindow(notify))
        PostMessageA(notify, WM_VIEWER_CLOSED, 0, 0);
}

void CViewerWindow::DestroyWindows() {
    view.SetImages(nullptr, nullptr, false);
    if (view.GetHwnd())
        DestroyWindow(view.GetHwnd());
    if (toolbar.GetHwnd())
        DestroyWindow(toolbar.GetHwnd());
    if (GetHwnd())
        DestroyWindow(GetHwnd());
}
