#include <cstdio>  // before jpeglib.h, which uses FILE and size_t
#include <cstdlib>

#include <jpeglib.h>

#include "image_io.h"

namespace {

// A compressor writing into memory that libjpeg allocates. Its errors on the pictures we
// give it (out of memory) end the program with libjpeg's message.
class CJpegCompressor {
public:
    CJpegCompressor() {
        info.err = jpeg_std_error(&errors);
        jpeg_create_compress(&info);
        jpeg_mem_dest(&info, &buffer, &size);
    }
    ~CJpegCompressor() {
        jpeg_destroy_compress(&info);
        std::free(buffer);
    }
    CJpegCompressor(const CJpegCompressor&) = delete;
    CJpegCompressor& operator=(const CJpegCompressor&) = delete;

    jpeg_compress_struct info{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;

private:
    jpeg_error_mgr errors{};
};

}  // namespace

std::vector<unsigned char> EncodeJpeg(const Image& image, int quality, bool progressive) {
    if (image.channels != 3 || image.width < 1 || image.height < 1 || image.width > JPEG_MAX_DIMENSION ||
        image.height > JPEG_MAX_DIMENSION)
        return {};
    CJpegCompressor jpeg;
    jpeg.info.image_width = static_cast<JDIMENSION>(image.width);
    jpeg.info.image_height = static_cast<JDIMENSION>(image.height);
    jpeg.info.input_components = 3;
    jpeg.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&jpeg.info);  // YCbCr with 4:2:0 chroma
    jpeg_set_quality(&jpeg.info, quality, TRUE);
    jpeg.info.optimize_coding = TRUE;
    if (progressive)
        jpeg_simple_progression(&jpeg.info);
    jpeg_start_compress(&jpeg.info, TRUE);
    while (jpeg.info.next_scanline < jpeg.info.image_height) {
        // libjpeg's rows are not const, but it only reads them.
        JSAMPROW row = const_cast<unsigned char*>(image.At(0, static_cast<int>(jpeg.info.next_scanline)));
        jpeg_write_scanlines(&jpeg.info, &row, 1);
    }
    jpeg_finish_compress(&jpeg.info);
    return std::vector<unsigned char>(jpeg.buffer, jpeg.buffer + jpeg.size);
}
