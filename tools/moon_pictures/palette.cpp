#include "palette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>

namespace {

// A colour as it is seen when drawn: red, green and blue times the opacity, and the opacity.
using Point = std::array<double, 4>;

struct Colour {
    uint32_t key;  // red, green, blue and opacity, a byte each
    Point point;
    double weight;  // the number of pixels of this colour
};

constexpr int kRefinements = 10;

double Distance(const Point& a, const Point& b) {
    double sum = 0.0;
    for (int c = 0; c < 4; ++c)
        sum += (a[c] - b[c]) * (a[c] - b[c]);
    return sum;
}

uint32_t Key(const unsigned char* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

struct Box {
    std::vector<const Colour*> members;
    double error = 0.0;  // the weighted squared distance of the members from their mean
    int axis = 0;        // the axis of the largest spread
    Point mean{};
};

void Measure(Box& box) {
    double weight = 0.0, sum[4] = {}, squares[4] = {};
    for (const Colour* colour : box.members) {
        weight += colour->weight;
        for (int c = 0; c < 4; ++c) {
            sum[c] += colour->weight * colour->point[c];
            squares[c] += colour->weight * colour->point[c] * colour->point[c];
        }
    }
    box.error = 0.0;
    double largest = -1.0;
    for (int c = 0; c < 4; ++c) {
        box.mean[c] = sum[c] / weight;
        const double spread = squares[c] - sum[c] * sum[c] / weight;
        box.error += spread;
        if (spread > largest) {
            largest = spread;
            box.axis = c;
        }
    }
}

// The means of `count` boxes, made by splitting, time after time, the box of the largest
// error at the weighted median of its widest axis.
std::vector<Point> MedianCut(const std::vector<Colour>& colours, size_t count) {
    std::vector<Box> boxes(1);
    for (const Colour& colour : colours)
        boxes[0].members.push_back(&colour);
    Measure(boxes[0]);
    while (boxes.size() < count) {
        Box& box =
            *std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.error < b.error; });
        if (box.members.size() < 2)
            break;
        const int axis = box.axis;
        std::sort(box.members.begin(), box.members.end(),
                  [axis](const Colour* a, const Colour* b) { return a->point[axis] < b->point[axis]; });
        double total = 0.0, below = 0.0;
        for (const Colour* colour : box.members)
            total += colour->weight;
        size_t cut = 0;
        while (cut + 1 < box.members.size() && below + box.members[cut]->weight <= total / 2.0)
            below += box.members[cut++]->weight;
        cut = std::max<size_t>(cut, 1);
        Box upper;
        upper.members.assign(box.members.begin() + static_cast<std::ptrdiff_t>(cut), box.members.end());
        box.members.resize(cut);
        Measure(box);
        Measure(upper);
        boxes.push_back(std::move(upper));
    }
    std::vector<Point> means;
    for (const Box& box : boxes)
        means.push_back(box.mean);
    return means;
}

size_t Nearest(const std::vector<Point>& centres, const Point& point) {
    size_t best = 0;
    for (size_t i = 1; i < centres.size(); ++i)
        if (Distance(centres[i], point) < Distance(centres[best], point))
            best = i;
    return best;
}

// Moves each centre to the weighted mean of the colours nearest to it (Lloyd's algorithm).
void Refine(const std::vector<Colour>& colours, std::vector<Point>& centres) {
    std::vector<std::array<double, 5>> sums(centres.size());  // weighted sums of the points, and the weight
    for (int round = 0; round < kRefinements; ++round) {
        std::fill(sums.begin(), sums.end(), std::array<double, 5>{});
        for (const Colour& colour : colours) {
            std::array<double, 5>& sum = sums[Nearest(centres, colour.point)];
            for (int c = 0; c < 4; ++c)
                sum[c] += colour.weight * colour.point[c];
            sum[4] += colour.weight;
        }
        for (size_t i = 0; i < centres.size(); ++i)
            if (sums[i][4] > 0.0)
                for (int c = 0; c < 4; ++c)
                    centres[i][c] = sums[i][c] / sums[i][4];
    }
}

unsigned char Byte(double value) {
    return static_cast<unsigned char>(std::clamp(std::lround(value), 0L, 255L));
}

}  // namespace

Image ReduceColours(const Image& image, int count) {
    if (image.channels != 4)
        return image;
    Image out = image;
    std::map<uint32_t, double> histogram;  // of the pixels that are not fully transparent
    for (size_t at = 0; at < out.pixels.size(); at += 4) {
        unsigned char* p = &out.pixels[at];
        if (p[3] == 0)
            p[0] = p[1] = p[2] = 0;
        else
            histogram[Key(p)] += 1.0;
    }
    const size_t visible = static_cast<size_t>(std::max(count - 1, 1));  // and transparent black
    if (histogram.size() <= visible)
        return out;

    std::vector<Colour> colours;
    for (const auto& [key, weight] : histogram) {
        const double alpha = (key & 0xFF) / 255.0;
        colours.push_back({key,
                           {(key >> 24) * alpha, (key >> 16 & 0xFF) * alpha, (key >> 8 & 0xFF) * alpha,
                            static_cast<double>(key & 0xFF)},
                           weight});
    }
    std::vector<Point> centres = MedianCut(colours, visible);
    Refine(colours, centres);

    std::map<uint32_t, uint32_t> replacement;
    for (const Colour& colour : colours) {
        const Point& centre = centres[Nearest(centres, colour.point)];
        const unsigned char alpha = std::max<unsigned char>(1, Byte(centre[3]));
        const double straight = 255.0 / alpha;
        const unsigned char bytes[4] = {Byte(centre[0] * straight), Byte(centre[1] * straight),
                                        Byte(centre[2] * straight), alpha};
        replacement[colour.key] = Key(bytes);
    }
    for (size_t at = 0; at < out.pixels.size(); at += 4) {
        unsigned char* p = &out.pixels[at];
        if (p[3] == 0)
            continue;
        const uint32_t key = replacement[Key(p)];
        for (int c = 0; c < 4; ++c)
            p[c] = static_cast<unsigned char>(key >> (24 - 8 * c));
    }
    return out;
}
