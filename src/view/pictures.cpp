#include "view/pictures.h"

#include <cstddef>

#include "platform/png.h"

namespace velmo {

namespace embedded {
extern const unsigned char grain_png[];
extern const std::size_t grain_png_size;
extern const unsigned char logo_png[];
extern const std::size_t logo_png_size;
}  // namespace embedded

namespace {

Image Decode(const unsigned char* data, std::size_t size) {
    Image image;
    if (!DecodePng(data, size, image).empty()) return {};
    return image;
}

}  // namespace

const Image& GrainPicture() {
    static const Image picture = Decode(embedded::grain_png, embedded::grain_png_size);
    return picture;
}

const Image& LogoPicture() {
    static const Image picture = Decode(embedded::logo_png, embedded::logo_png_size);
    return picture;
}

}  // namespace velmo
