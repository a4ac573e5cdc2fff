#include "picture_art.h"

#include <cmath>
#include <cstdint>
#include <random>

namespace velmo::art {

namespace {

// A fixed seed and the generator's raw output (not a distribution, whose results differ
// between standard libraries) keep the pictures identical on every machine.
constexpr std::uint32_t kGrainSeed = 0x56454C4Du;

constexpr std::uint32_t Grey(int level) {
    const auto l = static_cast<std::uint32_t>(level);
    return (l << 16) | (l << 8) | l;
}

struct Rgb {
    double r, g, b;
};

constexpr Rgb kNavy{0x1E, 0x2A, 0x6E};
constexpr Rgb kRed{0xC8, 0x1E, 0x1E};

// Which ink, if any, covers the point (x, y) of the 64 x 64 picture (y grows downwards).
const Rgb* InkAt(double x, double y) {
    const double dx = x - 32, dy = y - 32;
    const double diamond = std::fabs(dx) + std::fabs(dy);
    if (diamond >= 22 && diamond <= 27) return &kNavy;
    const double ry = y - 35;
    if (dx * dx + ry * ry <= 7.5 * 7.5) return &kRed;
    // The pointer: a triangle from (32, 14) down to the base from (27, 23) to (37, 23).
    if (y >= 14 && y <= 23 && std::fabs(dx) <= (y - 14) * 5.0 / 9.0) return &kNavy;
    return nullptr;
}

}  // namespace

Image MakeGrainPicture() {
    std::mt19937 random(kGrainSeed);
    Image image(kPictureSide, kPictureSide);
    for (std::uint32_t& pixel : image.pixels) {
        // r^4 crowds the levels towards white; the darkest possible level is 255 - 47 = 208.
        const double r = random() / 4294967296.0;
        pixel = Grey(255 - static_cast<int>(r * r * r * r * 48));
    }
    return image;
}

Image MakeLogoPicture() {
    Image image = MakeGrainPicture();
    constexpr int kSamples = 4;  // 4 x 4 samples per pixel smooth the emblem's edges
    for (int y = 0; y < kPictureSide; ++y) {
        for (int x = 0; x < kPictureSide; ++x) {
            const double grain = image.At(x, y) & 0xFF;
            double r = 0, g = 0, b = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const Rgb* ink = InkAt(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples);
                    // The ink lies on the grain: it is darkened by it as a sticker colour is.
                    const Rgb c = ink ? Rgb{ink->r * grain / 255, ink->g * grain / 255,
                                            ink->b * grain / 255}
                                      : Rgb{grain, grain, grain};
                    r += c.r;
                    g += c.g;
                    b += c.b;
                }
            }
            constexpr double n = kSamples * kSamples;
            image.At(x, y) = (static_cast<std::uint32_t>(std::lround(r / n)) << 16) |
                             (static_cast<std::uint32_t>(std::lround(g / n)) << 8) |
                             static_cast<std::uint32_t>(std::lround(b / n));
        }
    }
    return image;
}

}  // namespace velmo::art
