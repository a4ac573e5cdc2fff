#pragma once
// A plain picture: width x height pixels, rows top-down, each pixel 0xRRGGBB.

#include <cstdint>
#include <vector>

namespace velmo {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // row-major, top row first

    Image() = default;
    Image(int w, int h, std::uint32_t fill = 0)
        : width(w), height(h), pixels(static_cast<std::size_t>(w > 0 && h > 0 ? w * h : 0), fill) {}

    // True when the size is positive and the pixel count matches it.
    bool Valid() const {
        return width > 0 && height > 0 &&
               pixels.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    }
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

}  // namespace velmo
