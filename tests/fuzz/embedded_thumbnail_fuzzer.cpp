// Feeds arbitrary file heads to FindEmbeddedThumbnail and checks what must hold for any
// input: a thumbnail found lies wholly inside the bytes given and has the form it claims,
// and the search reads no more than a bound proportional to the input's size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "settings_dialog/embedded_thumbnail.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const EmbeddedThumbnail found = FindEmbeddedThumbnail(data, size);
    Require(found.reads <= exif::kMaxReadsPerByte * size);
    switch (found.kind) {
        case EmbeddedThumbnail::Kind::None:
            break;
        case EmbeddedThumbnail::Kind::Jpeg:
            Require(found.length >= 4 && found.offset <= size && found.length <= size - found.offset);
            Require(data[found.offset] == 0xFF && data[found.offset + 1] == 0xD8);
            break;
        case EmbeddedThumbnail::Kind::Rgb:
            Require(found.width >= 1 && found.width <= exif::kMaxThumbnailSide);
            Require(found.height >= 1 && found.height <= exif::kMaxThumbnailSide);
            Require(found.length == static_cast<size_t>(found.width) * found.height * 3);
            Require(found.offset <= size && found.length <= size - found.offset);
            break;
    }
    // The same bytes give the same answer.
    const EmbeddedThumbnail again = FindEmbeddedThumbnail(data, size);
    Require(again.kind == found.kind && again.offset == found.offset && again.length == found.length);
    return 0;
}
