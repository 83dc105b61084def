#include "wallpaper/imaging_win.h"

#include "wallpaper/wallpaper_fit.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

CGdiplusSession::CGdiplusSession() {
    GdiplusStartupInput input;
    started = GdiplusStartup(&token, &input, nullptr) == Ok;
}

CGdiplusSession::~CGdiplusSession() {
    if (started)
        GdiplusShutdown(token);
}

GdipImagePtr LoadPicture(const std::string& path) {
    GpImage* raw = nullptr;
    const std::wstring widePath = WideFromAnsi(path);
    if (widePath.empty() || GdipLoadImageFromFile(widePath.c_str(), &raw) != Ok)
        return nullptr;
    GdipImagePtr image(raw);
    const SIZE size = ImagePixelSize(image.get());
    if (size.cx == 0 || size.cy == 0)
        image.reset();
    return image;
}

GdipBitmapPtr CreateCanvas(UINT width, UINT height) {
    GpBitmap* raw = nullptr;
    if (GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0, PixelFormat32bppARGB, nullptr,
                                  &raw) != Ok) {
        return nullptr;
    }
    return GdipBitmapPtr(raw);
}

SIZE ImagePixelSize(GpImage* image) {
    SIZE size = {0, 0};
    UINT width = 0;
    UINT height = 0;
    if (image && GdipGetImageWidth(image, &width) == Ok && GdipGetImageHeight(image, &height) == Ok) {
        size.cx = static_cast<LONG>(width);
        size.cy = static_cast<LONG>(height);
    }
    return size;
}

namespace {

// The library's encoder records, fetched once. The records point into the same block for
// their strings, so the block is kept whole.
struct EncoderTable {
    std::unique_ptr<BYTE[]> block;
    UINT count = 0;
    bool fetched = false;

    const ImageCodecInfo* Records() const { return reinterpret_cast<const ImageCodecInfo*>(block.get()); }
};

EncoderTable& Encoders() {
    static EncoderTable table;
    if (!table.fetched) {
        UINT count = 0;
        UINT bytes = 0;
        if (GdipGetImageEncodersSize(&count, &bytes) != Ok || count == 0 || bytes < count * sizeof(ImageCodecInfo))
            return table;
        std::unique_ptr<BYTE[]> block(new BYTE[bytes]);
        if (GdipGetImageEncoders(count, bytes, reinterpret_cast<ImageCodecInfo*>(block.get())) != Ok)
            return table;
        table.block = std::move(block);
        table.count = count;
        table.fetched = true;
    }
    return table;
}

}  // namespace

bool FindEncoderForExtension(const std::string& extension, CLSID* clsid) {
    const EncoderTable& table = Encoders();
    const std::wstring wideExtension = WideFromAnsi(extension);
    for (UINT i = 0; i < table.count; ++i) {
        const ImageCodecInfo& codec = table.Records()[i];
        if (codec.FilenameExtension && ExtensionListMatches(codec.FilenameExtension, wideExtension)) {
            *clsid = codec.Clsid;
            return true;
        }
    }
    return false;
}
