#pragma once
// Reading and writing PNG files through libpng. Every function returns "" on success or a
// one-line message saying what went wrong; nothing throws and nothing aborts.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/image.h"

namespace velmo {

// Pictures larger than this on either side are refused rather than allocated.
inline constexpr int kMaxPngSide = 16384;

// Any PNG (grey, palette, RGB, with or without alpha, 8 or 16 bits) becomes 0xRRGGBB pixels;
// pictures with alpha are laid on a white ground, so a transparent pixel reads 0xFFFFFF.
std::string ReadPng(const std::string& path, Image& image);
std::string DecodePng(const std::uint8_t* data, std::size_t size, Image& image);

enum class PngFormat {
    Rgb24,  // three 8-bit channels
    Grey8,  // one 8-bit channel; every pixel must have equal red, green and blue
};

std::string WritePng(const std::string& path, const Image& image, PngFormat format = PngFormat::Rgb24);

}  // namespace velmo
