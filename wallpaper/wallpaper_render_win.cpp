#include <windows.h>

#include <versionhelpers.h>

#include <new>
#include <utility>

#include "wallpaper/image_encoder_win.h"
#include "wallpaper/wallpaper_fit.h"
#include "wallpaper/wallpaper_layout.h"
#include "wallpaper/wallpaper_maker.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr ARGB kOpaqueBlack = 0xFF000000;
constexpr wchar_t kCaption[] = L"Quellwick";

// Removes a half-written file when the save does not complete.
class CTemporaryFile {
public:
    explicit CTemporaryFile(std::filesystem::path path) : path_(std::move(path)) {}
    ~CTemporaryFile() {
        if (!path_.empty())
            DeleteFileW(path_.c_str());
    }
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    void Release() { path_.clear(); }

private:
    std::filesystem::path path_;
};

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM monitors) {
    reinterpret_cast<std::vector<MonitorRect>*>(monitors)->push_back({rect->left, rect->top, rect->right, rect->bottom});
    return TRUE;
}

}  // namespace

std::vector<MonitorRect> CWallpaperMaker::CurrentMonitors() {
    std::vector<MonitorRect> monitors;
    if (!EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors)) ||
        monitors.empty())
        monitors = {{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}};
    return monitors;
}

bool CWallpaperMaker::CanSpan() {
    return IsWindows8OrGreater();
}

GpBitmap* CWallpaperMaker::ComposeFitted(GpBitmap* canvas, GpImage* picture, GpImage* overlay,
                                         const std::vector<DrawRect>& draws) const {
    const SIZE canvasSize = ImagePixelSize(canvas);
    const SIZE pictureSize = ImagePixelSize(picture);

    GpGraphics* rawGraphics = nullptr;
    if (!canvas || GdipGetImageGraphicsContext(canvas, &rawGraphics) != Ok)
        return nullptr;
    const GdipGraphicsPtr graphics(rawGraphics);

    GpSolidFill* rawBrush = nullptr;
    if (GdipCreateSolidFill(kOpaqueBlack, &rawBrush) != Ok)
        return nullptr;
    const GdipSolidFillPtr black(rawBrush);
    if (GdipFillRectangleI(graphics.get(), black.get(), 0, 0, canvasSize.cx, canvasSize.cy) != Ok)
        return nullptr;
    if (GdipSetInterpolationMode(graphics.get(), InterpolationModeHighQuality) != Ok)
        return nullptr;

    for (const DrawRect& draw : draws) {
        for (GpImage* layer : {picture, overlay}) {
            if (layer && GdipDrawImageRectRectI(graphics.get(), layer, draw.x, draw.y, draw.width, draw.height, 0, 0,
                                                pictureSize.cx, pictureSize.cy, UnitPixel, nullptr, nullptr,
                                                nullptr) != Ok) {
                return nullptr;
            }
        }
    }
    return canvas;
}

int CWallpaperMaker::RenderWallpaper(const std::filesystem::path& picturePath, const std::filesystem::path& outputPath,
                                     const std::filesystem::path& annotatedPath) const {
    return RenderWallpaper(picturePath, outputPath, annotatedPath, CurrentMonitors());
}

int CWallpaperMaker::RenderWallpaper(const std::filesystem::path& picturePath, const std::filesystem::path& outputPath,
                                     const std::filesystem::path& annotatedPath, const std::vector<MonitorRect>& monitors,
                                     bool turned) const {
    try {
        // A picture that does not load would give a black wallpaper: keep the old one.
        const GdipImagePtr picture = LoadPicture(picturePath);
        if (!picture || (turned && !TurnHalfTurn(picture.get())))
            return 0;
        // A missing overlay leaves the plain picture, which is still the right Moon.
        const GdipImagePtr overlay = annotatedPath.empty() ? nullptr : LoadPicture(annotatedPath);

        const SIZE pictureSize = ImagePixelSize(picture.get());
        const WallpaperLayout layout = LayoutWallpaper(monitors, CanSpan(), static_cast<uint32_t>(pictureSize.cx),
                                                       static_cast<uint32_t>(pictureSize.cy));
        if (layout.width == 0 || layout.height == 0)
            return 0;
        const GdipBitmapPtr canvas = CreateCanvas(layout.width, layout.height);
        if (!canvas || !ComposeFitted(canvas.get(), picture.get(), overlay.get(), layout.draws))
            return 0;
        CLSID encoder;
        if (!FindEncoderForExtension(outputPath.extension().native(), &encoder)) {
            // Told once until a save succeeds: the box's own loop runs timer ticks, and each
            // would add a box.
            if (!encoderFailureReported) {
                encoderFailureReported = true;
                const std::wstring message = L"Failed to determine the image encoder for " + outputPath.native();
                MessageBoxW(nullptr, message.c_str(), kCaption, MB_OKCANCEL | MB_ICONERROR);
            }
            return 0;
        }

        CTemporaryFile temporary(outputPath.native() + L".tmp");
        if (GdipSaveImageToFile(canvas.get(), temporary.Path().c_str(), &encoder, nullptr) != Ok)
            return 0;
        if (!MoveFileExW(temporary.Path().c_str(), outputPath.c_str(), MOVEFILE_REPLACE_EXISTING))
            return 0;
        temporary.Release();
        encoderFailureReported = false;
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
