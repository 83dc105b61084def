#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "image_io.h"
#include "moon_geometry.h"

// Measurements that the tests take on rendered pictures.

// Mean of a pixel's colour channels.
inline double Brightness(const Image& image, int x, int y) {
    const unsigned char* p = image.At(x, y);
    return (p[0] + p[1] + p[2]) / 3.0;
}

struct LitMeasure {
    double litPercent = 0.0;  // share of the disc above the threshold
    double litCentreX = 0.0;  // mean x of the lit pixels, relative to the disc's centre, in radii
};

// Counts the pixels whose centres lie inside the disc (clear of the anti-aliased limb).
inline LitMeasure MeasureLit(const Image& picture, const DiscLayout& disc, double threshold) {
    long inside = 0, lit = 0;
    double sumX = 0.0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const double dx = x + 0.5 - disc.centre, dy = y + 0.5 - disc.centre;
            if (std::hypot(dx, dy) > disc.radius - 1.0)
                continue;
            ++inside;
            if (Brightness(picture, x, y) > threshold) {
                ++lit;
                sumX += dx / disc.radius;
            }
        }
    }
    LitMeasure measure;
    measure.litPercent = inside ? 100.0 * lit / inside : 0.0;
    measure.litCentreX = lit ? sumX / lit : 0.0;
    return measure;
}

// One "Quellwick" element of a catalogue, with entities decoded.
struct ParsedEntry {
    std::string paper, phase, ann, title, text;
    bool hasPaper = false, hasPhase = false;
};

inline std::string DecodeEntities(const std::string& text) {
    static const struct {
        const char* entity;
        char c;
    } entities[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'}};
    std::string out;
    for (size_t i = 0; i < text.size();) {
        bool decoded = false;
        for (const auto& e : entities) {
            const std::string entity = e.entity;
            if (text.compare(i, entity.size(), entity) == 0) {
                out += e.c;
                i += entity.size();
                decoded = true;
                break;
            }
        }
        if (!decoded)
            out += text[i++];
    }
    return out;
}

// A small reader for the flat catalogue layout: a "Quellwicks" root holding "Quellwick"
// elements with attributes and text. False when the document does not have that shape.
inline bool ParseCatalogue(const std::string& xml, std::vector<ParsedEntry>& entries) {
    entries.clear();
    const size_t root = xml.find("<Quellwicks>");
    const size_t rootEnd = xml.find("</Quellwicks>");
    if (root == std::string::npos || rootEnd == std::string::npos || rootEnd < root)
        return false;
    size_t at = root + 12;
    while (true) {
        const size_t open = xml.find('<', at);
        if (open == std::string::npos || open >= rootEnd)
            break;
        if (xml.compare(open, 11, "<Quellwick ") != 0)
            return false;
        const size_t close = xml.find('>', open);
        const size_t end = xml.find("</Quellwick>", open);
        if (close == std::string::npos || end == std::string::npos || end < close)
            return false;
        ParsedEntry entry;
        const std::string attributes = xml.substr(open + 11, close - open - 11);
        for (size_t a = 0; a < attributes.size();) {
            const size_t eq = attributes.find("=\"", a);
            if (eq == std::string::npos)
                break;
            const size_t valueEnd = attributes.find('"', eq + 2);
            if (valueEnd == std::string::npos)
                return false;
            size_t nameStart = attributes.find_first_not_of(' ', a);
            const std::string name = attributes.substr(nameStart, eq - nameStart);
            const std::string value = DecodeEntities(attributes.substr(eq + 2, valueEnd - eq - 2));
            if (name == "paper") {
                entry.paper = value;
                entry.hasPaper = true;
            } else if (name == "phase") {
                entry.phase = value;
                entry.hasPhase = true;
            } else if (name == "ann") {
                entry.ann = value;
            } else if (name == "title") {
                entry.title = value;
            }
            a = valueEnd + 1;
        }
        const std::string text = xml.substr(close + 1, end - close - 1);
        if (text.find('<') != std::string::npos)
            return false;  // nested elements would not give line breaks
        entry.text = DecodeEntities(text);
        entries.push_back(entry);
        at = end + 12;
    }
    return true;
}
