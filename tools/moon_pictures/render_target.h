#pragma once

#include <cstddef>

#include "image_io.h"
#include "moon_render/moon_shading.h"

// An RGB or RGBA picture as the renderer's target.
inline PixelTarget TargetOf(Image& image) {
    return {image.pixels.data(), image.width, image.height, static_cast<ptrdiff_t>(image.width) * image.channels,
            image.channels == 3 ? PixelFormat::Rgb : PixelFormat::Rgba};
}
