#pragma once

#include "image_io.h"

// `image` (RGBA) with at most `count` colours, so that it can be written as an indexed PNG.
// With no more colours than that it is unchanged, but for its fully transparent pixels,
// which all become transparent black. Otherwise each pixel takes the nearest of the colours
// chosen for the picture (by median cut, then refined), where colours are compared as they
// are seen when drawn: red, green and blue weighted by the opacity, and the opacity. Fully
// transparent pixels stay so, and no other pixel becomes fully transparent. The work grows
// with `count` times the number of colours: meant for pictures of a few thousand, such as
// the overlays' anti-aliased labels.
Image ReduceColours(const Image& image, int count);
