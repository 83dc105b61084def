#include "deflate.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "stb_image.h"

namespace {

std::vector<unsigned char> Inflate(const std::vector<unsigned char>& stream) {
    int size = 0;
    char* data = stbi_zlib_decode_malloc(reinterpret_cast<const char*>(stream.data()), static_cast<int>(stream.size()),
                                         &size);
    EXPECT_NE(nullptr, data) << "not a valid zlib stream";
    std::vector<unsigned char> out;
    if (data) {
        out.assign(data, data + size);
        std::free(data);
    }
    return out;
}

void ExpectRoundTrip(const std::vector<unsigned char>& input, size_t pixelBytes, size_t rowBytes) {
    const std::vector<unsigned char> stream = ZlibCompress(input.data(), input.size(), pixelBytes, rowBytes);
    EXPECT_EQ(input, Inflate(stream)) << input.size() << " bytes";
}

TEST(Deflate, RoundTripsEveryKindOfInput) {
    ExpectRoundTrip({}, 4, 9);
    ExpectRoundTrip({42}, 4, 9);
    ExpectRoundTrip(std::vector<unsigned char>(100000, 7), 4, 9);  // one long run
    std::mt19937 random(12345);
    std::vector<unsigned char> noise(70000);
    for (unsigned char& b : noise)
        b = static_cast<unsigned char>(random());
    ExpectRoundTrip(noise, 4, 4097);  // nothing to match: every literal in use
    // Picture-like rows: repeated pixels, rows equal to the row above, distances up to 32 KiB.
    for (size_t rowBytes : {size_t(33), size_t(8193), size_t(32768), size_t(40000)}) {
        std::vector<unsigned char> rows;
        for (int row = 0; row < 12; ++row)
            for (size_t i = 0; i < rowBytes; ++i)
                rows.push_back(static_cast<unsigned char>(row % 3 == 0 ? (i / 4) % 7 : (i * row) % 251 / 50));
        ExpectRoundTrip(rows, 4, rowBytes);
    }
}

TEST(Deflate, EmptyRowsCostAlmostNothing) {
    const std::vector<unsigned char> empty(2048 * 8193, 0);
    const std::vector<unsigned char> stream = ZlibCompress(empty.data(), empty.size(), 4, 8193);
    EXPECT_LT(stream.size(), 40000u);
    EXPECT_EQ(empty, Inflate(stream));
}

}  // namespace
