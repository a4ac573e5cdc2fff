#include "platform/png.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace velmo {

namespace {

// libpng's simplified API reports errors through image.message instead of longjmp, which
// keeps C++ objects on the stack safe.
std::string FinishRead(png_image& png, Image& image) {
    if (png.width == 0 || png.height == 0 || png.width > static_cast<png_uint_32>(kMaxPngSide) ||
        png.height > static_cast<png_uint_32>(kMaxPngSide)) {
        png_image_free(&png);
        return "unsupported picture size " + std::to_string(png.width) + "x" +
               std::to_string(png.height);
    }
    png.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(png));
    // A white background for pictures with alpha, so transparent parts do not turn black.
    png_color background{255, 255, 255};
    if (!png_image_finish_read(&png, &background, rgb.data(), 0, nullptr))
        return std::string("not a readable PNG: ") + png.message;
    Image result(static_cast<int>(png.width), static_cast<int>(png.height));
    for (std::size_t i = 0; i < result.pixels.size(); ++i)
        result.pixels[i] = (std::uint32_t{rgb[3 * i]} << 16) | (std::uint32_t{rgb[3 * i + 1]} << 8) |
                           rgb[3 * i + 2];
    png_image_free(&png);
    image = std::move(result);
    return {};
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::string ReadPng(const std::string& path, Image& image) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return "cannot open '" + path + "': " + std::strerror(errno);
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_stdio(&png, file.get()))
        return "'" + path + "' is not a readable PNG: " + png.message;
    const std::string problem = FinishRead(png, image);
    return problem.empty() ? problem : "'" + path + "': " + problem;
}

std::string DecodePng(const std::uint8_t* data, std::size_t size, Image& image) {
    if (!data || size == 0) return "no PNG data";
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data, size))
        return std::string("not a readable PNG: ") + png.message;
    return FinishRead(png, image);
}

std::string WritePng(const std::string& path, const Image& image, PngFormat format) {
    if (!image.Valid() || image.width > kMaxPngSide || image.height > kMaxPngSide)
        return "cannot write '" + path + "': the picture has no valid size";
    const int channels = format == PngFormat::Grey8 ? 1 : 3;
    std::vector<png_byte> bytes(image.pixels.size() * channels);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        const std::uint32_t p = image.pixels[i];
        const png_byte r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        if (format == PngFormat::Grey8) {
            if (r != g || g != b)
                return "cannot write '" + path + "' as grey: pixel " + std::to_string(i) +
                       " has colour";
            bytes[i] = r;
        } else {
            bytes[3 * i] = r;
            bytes[3 * i + 1] = g;
            bytes[3 * i + 2] = b;
        }
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) return "cannot write '" + path + "': " + std::strerror(errno);
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = format == PngFormat::Grey8 ? PNG_FORMAT_GRAY : PNG_FORMAT_RGB;
    if (!png_image_write_to_stdio(&png, file.get(), 0, bytes.data(), 0, nullptr))
        return "cannot write '" + path + "': " + png.message;
    // A full disk shows only when the buffered bytes are flushed.
    std::FILE* raw = file.release();
    if (std::fflush(raw) != 0 || std::ferror(raw)) {
        const int error = errno;
        std::fclose(raw);
        return "cannot write '" + path + "': " + std::strerror(error);
    }
    if (std::fclose(raw) != 0) return "cannot write '" + path + "': " + std::strerror(errno);
    return {};
}

}  // namespace velmo
