#include "image_io.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include "stb_image_write.h"

// The Windows builds link the picture-set writer only for their tests, and have no
// libjpeg: their JPEG files are baseline ones from stb's writer.

namespace {

void AppendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<unsigned char> EncodeJpeg(const Image& image, int quality, bool) {
    std::vector<unsigned char> out;
    stbi_write_jpg_to_func(AppendBytes, &out, image.width, image.height, image.channels, image.pixels.data(), quality);
    return out;
}
