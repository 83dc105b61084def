#include "wallpaper/wallpaper_composer_win.h"

#include <versionhelpers.h>

#include <algorithm>

#include <new>

#include "wallpaper/bmp_file.h"
#include "wallpaper/image_encoder_win.h"
#include "wallpaper/wallpaper_fit.h"
#include "wallpaper/wallpaper_layout.h"
#include "win/owners_win.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr ARGB kOpaqueBlack = 0xFF000000;

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM monitors) {
    reinterpret_cast<std::vector<MonitorRect>*>(monitors)->push_back(
        {rect->left, rect->top, rect->right, rect->bottom});
    return TRUE;
}

bool IsReadOnlyFile(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == FILE_ATTRIBUTE_READONLY;
}

// Why the finished picture could not replace the file at `path`, after `error`. Windows
// answers a file held open without delete sharing with a refused access, so that case is
// told from a folder in the way by asking for the file's deletion.
WallpaperStatus ReplaceFailure(const std::filesystem::path& path, DWORD error) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return WallpaperStatus::FileInUse;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return WallpaperStatus::SaveFailed;
    const CFileHandle probe(CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    if (!probe.IsOpen() && GetLastError() == ERROR_SHARING_VIOLATION)
        return WallpaperStatus::FileInUse;
    return WallpaperStatus::SaveFailed;
}

}  // namespace

std::vector<MonitorRect> CurrentMonitors() {
    std::vector<MonitorRect> monitors;
    if (!EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors)) || monitors.empty())
        monitors = {{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}};
    return monitors;
}

bool CanSpan() {
    return IsWindows8OrGreater();
}

namespace {

// Paints the canvas black and draws the picture, then the overlay (may be null), into each
// of `draws`. The overlay is read from the picture's own source rectangle. False when a
// drawing step failed.
bool ComposeFitted(GpBitmap* canvas, GpImage* picture, GpImage* overlay, const std::vector<DrawRect>& draws) {
    const SIZE canvasSize = ImagePixelSize(canvas);
    const SIZE pictureSize = ImagePixelSize(picture);

    GpGraphics* rawGraphics = nullptr;
    if (!canvas || GdipGetImageGraphicsContext(canvas, &rawGraphics) != Ok)
        return false;
    const GdipGraphicsPtr graphics(rawGraphics);

    GpSolidFill* rawBrush = nullptr;
    if (GdipCreateSolidFill(kOpaqueBlack, &rawBrush) != Ok)
        return false;
    const GdipSolidFillPtr black(rawBrush);
    if (GdipFillRectangleI(graphics.get(), black.get(), 0, 0, canvasSize.cx, canvasSize.cy) != Ok)
        return false;
    if (GdipSetInterpolationMode(graphics.get(), InterpolationModeHighQuality) != Ok)
        return false;

    for (const DrawRect& draw : draws) {
        for (GpImage* layer : {picture, overlay}) {
            if (layer &&
                GdipDrawImageRectRectI(graphics.get(), layer, draw.x, draw.y, draw.width, draw.height, 0, 0,
                                       pictureSize.cx, pictureSize.cy, UnitPixel, nullptr, nullptr, nullptr) != Ok) {
                return false;
            }
        }
    }
    return true;
}

// Moves the finished `temporary` over the output, written through, so that a power cut
// leaves the old file or the new one.
WallpaperStatus ReplaceOutput(CTemporaryFile& temporary, const std::filesystem::path& outputPath) {
    if (!MoveFileExW(temporary.Path().c_str(), outputPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return ReplaceFailure(outputPath, GetLastError());
    temporary.Release();
    return WallpaperStatus::Ok;
}

// Draws the live Moon for `request` into each of `squares` of `target`, which is black.
bool DrawLiveMoonInto(const LiveMoonRequest& request, const CLiveMoonData& data, const PixelTarget& target,
                      const std::vector<PictureSquare>& squares) {
    // The same Moon on every monitor: the sky is worked out once.
    MoonView view = MoonViewAt(request.julianDate, request.orientation, request.place, {});
    bool drawn = true;
    for (const PictureSquare& square : squares) {
        view.frame.square = square;
        drawn = drawn && RenderMoonView(view, data.Map(), request.labels ? data.Regular() : nullptr,
                                        request.labels ? data.Bold() : nullptr, target);
    }
    return drawn;
}

// Saves a finished canvas to `outputPath` in the format its extension selects.
WallpaperStatus SaveCanvas(Gdiplus::GpBitmap* canvas, const std::filesystem::path& outputPath) {
    CLSID encoder;
    if (!FindEncoderForExtension(outputPath.extension().native(), &encoder))
        return WallpaperStatus::NoEncoder;
    CTemporaryFile temporary(outputPath.native() + L".tmp");
    if (GdipSaveImageToFile(canvas, temporary.Path().c_str(), &encoder, nullptr) != Ok)
        return WallpaperStatus::SaveFailed;
    return ReplaceOutput(temporary, outputPath);
}

}  // namespace

WallpaperStatus SaveWallpaper(const CBmpFile& bmp, const std::filesystem::path& outputPath) {
    CTemporaryFile temporary(outputPath.native() + L".tmp");
    {
        const CFileHandle file(CreateFileW(temporary.Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        const std::vector<unsigned char>& bytes = bmp.Bytes();
        DWORD written = 0;
        if (!file.IsOpen() ||
            !WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size()) {
            return WallpaperStatus::SaveFailed;
        }
    }
    return ReplaceOutput(temporary, outputPath);
}

WallpaperStatus RenderWallpaper(const PictureFiles& files, const std::vector<MonitorRect>& monitors,
                                const std::filesystem::path& outputPath) {
    // A file the user made read-only is kept (Wine would replace it); nothing is drawn for it.
    if (IsReadOnlyFile(outputPath))
        return WallpaperStatus::FileReadOnly;
    try {
        // A picture that does not load would give a black wallpaper: keep the old one.
        const GdipImagePtr picture = LoadPicture(files.picture);
        if (!picture)
            return WallpaperStatus::PictureUnreadable;
        if (files.turned && !TurnHalfTurn(picture.get()))
            return WallpaperStatus::OutOfMemory;
        // A missing overlay leaves the plain picture, which is still the right Moon.
        const GdipImagePtr overlay = files.overlay.empty() ? nullptr : LoadPicture(files.overlay);

        const SIZE pictureSize = ImagePixelSize(picture.get());
        const WallpaperLayout layout = LayoutWallpaper(monitors, CanSpan(), static_cast<uint32_t>(pictureSize.cx),
                                                       static_cast<uint32_t>(pictureSize.cy));
        if (layout.width == 0 || layout.height == 0)
            return WallpaperStatus::NothingToShow;
        const GdipBitmapPtr canvas = CreateCanvas(layout.width, layout.height);
        if (!canvas || !ComposeFitted(canvas.get(), picture.get(), overlay.get(), layout.draws))
            return WallpaperStatus::OutOfMemory;
        return SaveCanvas(canvas.get(), outputPath);
    } catch (const std::bad_alloc&) {
        return WallpaperStatus::OutOfMemory;
    }
}

LiveMoonRequest LiveRequestFor(const WallpaperSettings& settings, double julianDate) {
    LiveMoonRequest request;
    request.julianDate = julianDate;
    request.orientation = settings.asInSky         ? MoonOrientation::AsInSky
                          : settings.view.southern ? MoonOrientation::SouthUp
                                                   : MoonOrientation::NorthUp;
    request.place = settings.place;
    request.labels = settings.view.annotated;
    return request;
}

GdipBitmapPtr DrawLiveMoon(const LiveMoonRequest& request, const CLiveMoonData& data, UINT width, UINT height,
                           const std::vector<PictureSquare>& squares) {
    if (!data.IsReady())
        return nullptr;
    GdipBitmapPtr canvas = CreateCanvas(width, height);
    if (!canvas)
        return nullptr;
    bool drawn = false;
    {
        const CLockedBits bits(canvas.get(), width, height, ImageLockModeRead | ImageLockModeWrite,
                               PixelFormat32bppARGB);
        if (!bits.IsLocked())
            return nullptr;
        for (UINT y = 0; y < height; ++y)
            std::fill_n(reinterpret_cast<ARGB*>(bits.Row(y)), width, kOpaqueBlack);
        const PixelTarget target{bits.Row(0), static_cast<int>(width), static_cast<int>(height), bits.Stride(),
                                 ::PixelFormat::Bgra};
        drawn = DrawLiveMoonInto(request, data, target, squares);
    }
    return drawn ? std::move(canvas) : nullptr;
}

WallpaperStatus RenderLiveWallpaper(const LiveMoonRequest& request, const CPictureSet& pictures,
                                    const std::vector<MonitorRect>& monitors, const std::filesystem::path& outputPath) {
    if (IsReadOnlyFile(outputPath))
        return WallpaperStatus::FileReadOnly;
    try {
        const CLiveMoonData data(pictures, request.labels);
        if (!data.IsReady())
            return WallpaperStatus::PictureUnreadable;
        const WallpaperLayout layout = LayoutWallpaper(monitors, CanSpan(), kLivePictureSize, kLivePictureSize);
        if (layout.width == 0 || layout.height == 0)
            return WallpaperStatus::NothingToShow;
        std::vector<PictureSquare> squares;
        for (const DrawRect& draw : layout.draws)
            squares.push_back({draw.x, draw.y, draw.width});
        // Drawn straight into the file's pixels and written as they stand: the imaging
        // library's encoder would take longer than the drawing.
        CBmpFile bmp(static_cast<int>(layout.width), static_cast<int>(layout.height));
        const PixelTarget target{bmp.TopRow(), bmp.Width(), bmp.Height(), bmp.DownStride(), ::PixelFormat::Bgr};
        if (!DrawLiveMoonInto(request, data, target, squares))
            return WallpaperStatus::OutOfMemory;
        return SaveWallpaper(bmp, outputPath);
    } catch (const std::bad_alloc&) {
        return WallpaperStatus::OutOfMemory;
    }
}
