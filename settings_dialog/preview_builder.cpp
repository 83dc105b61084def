#include "settings_dialog/preview_builder.h"

#include <shlwapi.h>

#include <algorithm>
#include <vector>

#include "settings_dialog/embedded_thumbnail.h"
#include "win/owners_win.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// How much of a picture file is searched for an embedded thumbnail. A JPEG keeps it near
// its start, but a PNG may keep it after the picture data, so files of the picture set's
// size are read whole; of a larger file only this much is searched.
constexpr DWORD kThumbnailSearchBytes = 4 * 1024 * 1024;

// A thumbnail, with the memory stream that its decoder may still read from.
struct Thumbnail {
    ComPtr<IStream> source;
    GdipImagePtr image;
};

// The file's first `limit` bytes, or all of it when it is shorter; empty when it cannot be read.
std::vector<unsigned char> ReadFileHead(const std::filesystem::path& path, DWORD limit) {
    const CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file.IsOpen() || !GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0)
        return {};
    std::vector<unsigned char> head(static_cast<size_t>(std::min<LONGLONG>(size.QuadPart, limit)));
    DWORD read = 0;
    if (!ReadFile(file.Get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr))
        read = 0;
    head.resize(read);
    return head;
}

Thumbnail DecodeJpeg(const unsigned char* bytes, size_t length) {
    Thumbnail thumbnail;
    thumbnail.source = ComPtr<IStream>(SHCreateMemStream(bytes, static_cast<UINT>(length)));  // a copy
    GpBitmap* raw = nullptr;
    if (thumbnail.source && GdipCreateBitmapFromStream(thumbnail.source.Get(), &raw) == Ok) {
        thumbnail.image.reset(raw);
        const SIZE size = ImagePixelSize(raw);
        if (size.cx == 0 || size.cy == 0)
            thumbnail.image.reset();
    }
    return thumbnail;
}

// A bitmap of `width` x `height` pixels from rows of R, G, B bytes.
GdipImagePtr BitmapFromRgb(const unsigned char* rgb, UINT width, UINT height) {
    GpBitmap* raw = nullptr;
    if (GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0, PixelFormat24bppRGB, nullptr,
                                  &raw) != Ok)
        return nullptr;
    GdipImagePtr bitmap(raw);
    const CLockedBits pixels(raw, width, height, ImageLockModeWrite, PixelFormat24bppRGB);
    if (!pixels.IsLocked())
        return nullptr;
    for (UINT y = 0; y < height; ++y) {
        BYTE* row = pixels.Row(y);
        for (UINT x = 0; x < width; ++x, rgb += 3) {
            row[3 * x] = rgb[2];  // the library keeps blue first
            row[3 * x + 1] = rgb[1];
            row[3 * x + 2] = rgb[0];
        }
    }
    return bitmap;
}

// The picture's thumbnail: its embedded one when it has one, otherwise the picture
// scaled to exactly 128 x 128. The embedded one is read without decoding the picture,
// which is what keeps the preview quick. No image when the picture is missing or
// undecodable.
Thumbnail LoadThumbnail(const std::filesystem::path& path) {
    const std::vector<unsigned char> head = ReadFileHead(path, kThumbnailSearchBytes);
    const EmbeddedThumbnail embedded = FindEmbeddedThumbnail(head.data(), head.size());
    Thumbnail thumbnail;
    if (embedded.kind == EmbeddedThumbnail::Kind::Jpeg)
        thumbnail = DecodeJpeg(head.data() + embedded.offset, embedded.length);
    else if (embedded.kind == EmbeddedThumbnail::Kind::Rgb)
        thumbnail.image = BitmapFromRgb(head.data() + embedded.offset, embedded.width, embedded.height);
    if (thumbnail.image)
        return thumbnail;

    const GdipImagePtr picture = LoadPicture(path);
    GpImage* scaled = nullptr;
    if (picture && GdipGetImageThumbnail(picture.get(), kPreviewSize, kPreviewSize, &scaled, nullptr, nullptr) == Ok)
        thumbnail.image.reset(scaled);
    return thumbnail;
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

GdipBitmapPtr BuildPreview(const PictureFiles& files) {
    GdipBitmapPtr preview = CreateCanvas(kPreviewSize, kPreviewSize);
    if (!preview)
        return nullptr;
    GpGraphics* rawGraphics = nullptr;
    if (GdipGetImageGraphicsContext(preview.get(), &rawGraphics) != Ok)
        return preview;
    const GdipGraphicsPtr graphics(rawGraphics);

    const Thumbnail picture = LoadThumbnail(files.picture);
    if (files.turned)
        TurnHalfTurn(picture.image.get());
    DrawOverPreview(graphics.get(), picture.image.get(), nullptr);

    if (!files.overlay.empty()) {
        const Thumbnail overlay = LoadThumbnail(files.overlay);
        GpImageAttributes* rawAttributes = nullptr;
        if (overlay.image && GdipCreateImageAttributes(&rawAttributes) == Ok) {
            const GdipImageAttributesPtr attributes(rawAttributes);
            // Pure black, and only pure black, is the overlay's transparent colour.
            GdipSetImageAttributesColorKeys(attributes.get(), ColorAdjustTypeDefault, TRUE, 0x00000000, 0x00000000);
            DrawOverPreview(graphics.get(), overlay.image.get(), attributes.get());
        }
    }
    return preview;
}
