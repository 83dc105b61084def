#include "wallpaper/image_encoder_win.h"

#include <memory>

#include "wallpaper/wallpaper_fit.h"
#include "win/ansi_text_win.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

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

bool FindEncoderForExtension(const std::wstring& extension, CLSID* clsid) {
    const EncoderTable& table = Encoders();
    for (UINT i = 0; i < table.count; ++i) {
        const ImageCodecInfo& codec = table.Records()[i];
        if (codec.FilenameExtension && ExtensionListMatches(codec.FilenameExtension, extension)) {
            *clsid = codec.Clsid;
            return true;
        }
    }
    return false;
}
