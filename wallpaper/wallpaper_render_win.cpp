#include <windows.h>

#include <new>

#include "wallpaper/image_encoder_win.h"
#include "wallpaper/wallpaper_fit.h"
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

}  // namespace

GpBitmap* CWallpaperMaker::ComposeFitted(GpBitmap* canvas, GpImage* picture, GpImage* overlay) const {
    const SIZE canvasSize = ImagePixelSize(canvas);
    const SIZE pictureSize = ImagePixelSize(picture);
    const FitRect fit = ComputeFit(static_cast<uint32_t>(canvasSize.cx), static_cast<uint32_t>(canvasSize.cy),
                                   static_cast<uint32_t>(pictureSize.cx), static_cast<uint32_t>(pictureSize.cy));

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
    if (fit.width == 0 || fit.height == 0)
        return canvas;

    const INT x = static_cast<INT>(fit.x);
    const INT y = static_cast<INT>(fit.y);
    const INT width = static_cast<INT>(fit.width);
    const INT height = static_cast<INT>(fit.height);
    for (GpImage* layer : {picture, overlay}) {
        if (layer && GdipDrawImageRectRectI(graphics.get(), layer, x, y, width, height, 0, 0, pictureSize.cx,
                                            pictureSize.cy, UnitPixel, nullptr, nullptr, nullptr) != Ok) {
            return nullptr;
        }
    }
    return canvas;
}

int CWallpaperMaker::RenderWallpaper(const std::filesystem::path& picturePath, const std::filesystem::path& outputPath,
                                     const std::filesystem::path& annotatedPath) const {
    try {
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        if (width <= 0 || height <= 0)
            return 0;

        // A picture that does not load would give a black wallpaper: keep the old one.
        const GdipImagePtr picture = LoadPicture(picturePath);
        if (!picture)
            return 0;
        // A missing overlay leaves the plain picture, which is still the right Moon.
        const GdipImagePtr overlay = annotatedPath.empty() ? nullptr : LoadPicture(annotatedPath);

        const GdipBitmapPtr canvas = CreateCanvas(static_cast<UINT>(width), static_cast<UINT>(height));
        if (!canvas || !ComposeFitted(canvas.get(), picture.get(), overlay.get()))
            return 0;

        CLSID encoder;
        if (!FindEncoderForExtension(outputPath.extension().native(), &encoder)) {
            const std::wstring message = L"Failed to determine the image encoder for " + outputPath.native();
            MessageBoxW(nullptr, message.c_str(), kCaption, MB_OKCANCEL | MB_ICONERROR);
            return 0;
        }

        CTemporaryFile temporary(outputPath.native() + L".tmp");
        if (GdipSaveImageToFile(canvas.get(), temporary.Path().c_str(), &encoder, nullptr) != Ok)
            return 0;
        if (!MoveFileExW(temporary.Path().c_str(), outputPath.c_str(), MOVEFILE_REPLACE_EXISTING))
            return 0;
        temporary.Release();
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
