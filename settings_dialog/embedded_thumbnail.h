#pragma once

#include <cstddef>
#include <cstdint>

#include "catalog/exif_layout.h"

// Finding the small copy of a picture that cameras, and our own picture set, embed in the
// file: the thumbnail of an Exif block, which a JPEG keeps in its APP1 segment and a PNG
// in its eXIf chunk. Reading it saves decoding the whole picture when only a preview is
// wanted.

struct EmbeddedThumbnail {
    enum class Kind {
        None,  // no thumbnail in the bytes given
        Jpeg,  // a complete JPEG stream
        Rgb,   // width x height pixels, rows top to bottom, 3 bytes (R, G, B) a pixel
    };
    Kind kind = Kind::None;
    size_t offset = 0;  // where the thumbnail's bytes start in the file
    size_t length = 0;
    uint32_t width = 0;  // Rgb only
    uint32_t height = 0;
    // How many reads of Exif blocks the search took, whatever it found: at most
    // exif::kMaxReadsPerByte times the bytes given, so that no block costs more than its size.
    size_t reads = 0;
};

// The thumbnail embedded in a JPEG or PNG file whose first `size` bytes are `data`.
// Kind::None when there is none, when it is malformed or of an unsupported form, or when it
// does not lie wholly inside the bytes given. A JPEG keeps its Exif block before the picture
// data, so its head is enough; a PNG may keep it before or after.
EmbeddedThumbnail FindEmbeddedThumbnail(const unsigned char* data, size_t size);

// What the reader accepts.
namespace exif {
// The largest thumbnail side the reader accepts; Exif thumbnails are a few hundred pixels.
constexpr uint32_t kMaxThumbnailSide = 1024;

// The bound on EmbeddedThumbnail::reads. A directory entry takes 12 bytes and at most 18
// reads (its tag, its count and first value, and three values of the bits a sample).
constexpr size_t kMaxReadsPerByte = 2;
}  // namespace exif
