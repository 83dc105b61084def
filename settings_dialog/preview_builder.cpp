#include "settings_dialog/preview_builder.h"

#include "wallpaper/wallpaper_maker.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// The picture's thumbnail: its embedded one when it has one, otherwise the picture
// scaled to exactly 128 x 128. Null when the picture is missing or undecodable.
GdipImagePtr LoadThumbnail(const std::string& path) {
    const GdipImagePtr picture = LoadPicture(path);
    GpImage* thumbnail = nullptr;
    if (!picture ||
        GdipGetImageThumbnail(picture.get(), kPreviewSize, kPreviewSize, &thumbnail, nullptr, nullptr) != Ok)
        return nullptr;
    return GdipImagePtr(thumbnail);
}

// Draws the whole of `image` over the preview at low quality.
void DrawOverPreview(GpGraphics* graphics, GpImage* image, GpImageAttributes* attributes) {
    if (!image)
        return;
    const SIZE size = ImagePixelSize(image);
    GdipSetInterpolationMode(graphics, InterpolationModeLowQuality);
    GdipDrawImageRectRectI(graphics, image, 0, 0, kPreviewSize, kPreviewSize, 0, 0, size.cx, size.cy, UnitPixel,
                           attributes, nullptr, nullptr);
}

}  // namespace

GdipBitmapPtr BuildPreview(const MoonEntry& entry, bool annotated) {
    return BuildPreviewFrom(CWallpaperMaker().GetDataDirectory(), entry, annotated);
}

GdipBitmapPtr BuildPreviewFrom(const std::string& directory, const MoonEntry& entry, bool annotated) {
    GdipBitmapPtr preview = CreateCanvas(kPreviewSize, kPreviewSize);
    if (!preview)
        return nullptr;
    GpGraphics* rawGraphics = nullptr;
    if (GdipGetImageGraphicsContext(preview.get(), &rawGraphics) != Ok)
        return preview;
    const GdipGraphicsPtr graphics(rawGraphics);

    DrawOverPreview(graphics.get(), LoadThumbnail(directory + entry.paper).get(), nullptr);

    if (annotated) {
        const GdipImagePtr overlay = LoadThumbnail(directory + entry.ann);
        GpImageAttributes* rawAttributes = nullptr;
        if (overlay && GdipCreateImageAttributes(&rawAttributes) == Ok) {
            const GdipImageAttributesPtr attributes(rawAttributes);
            // Pure black, and only pure black, is the overlay's transparent colour.
            GdipSetImageAttributesColorKeys(attributes.get(), ColorAdjustTypeDefault, TRUE, 0x00000000, 0x00000000);
            DrawOverPreview(graphics.get(), overlay.get(), attributes.get());
        }
    }
    return preview;
}
