// PNG reading and writing, and the two texture pictures built into the program.

#include <gtest/gtest.h>

#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

#include "picture_art.h"
#include "platform/png.h"
#include "view/pictures.h"

namespace velmo {
namespace {

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "velmo_" + std::to_string(::getpid()) + "_" + name;
}

std::vector<std::uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Png, ColourAndGreyPicturesComeBackAsWritten) {
    Image colour(5, 3);
    for (std::size_t i = 0; i < colour.pixels.size(); ++i) colour.pixels[i] = 0x102030u * (i + 1) ^ 0xA5u;
    const std::string path = TempPath("colour.png");
    ASSERT_EQ(WritePng(path, colour), "");
    Image back;
    ASSERT_EQ(ReadPng(path, back), "");
    EXPECT_EQ(back.width, 5);
    EXPECT_EQ(back.height, 3);
    EXPECT_EQ(back.pixels, colour.pixels);

    Image grey(4, 4);
    for (std::size_t i = 0; i < grey.pixels.size(); ++i) grey.pixels[i] = 0x010101u * (i * 17);
    ASSERT_EQ(WritePng(path, grey, PngFormat::Grey8), "");
    const std::vector<std::uint8_t> bytes = FileBytes(path);
    ASSERT_GT(bytes.size(), 26u);
    EXPECT_EQ(bytes[25], 0);  // IHDR colour type 0: a one-channel grey file
    ASSERT_EQ(DecodePng(bytes.data(), bytes.size(), back), "");
    EXPECT_EQ(back.pixels, grey.pixels);
    std::remove(path.c_str());
}

TEST(Png, FailuresAreMessagesNotCrashes) {
    Image image(2, 2, 0x00FF00);
    Image untouched(1, 1, 0x123456);
    const std::string problem = WritePng("/nonexistent-dir/x.png", image);
    EXPECT_NE(problem.find("cannot write '/nonexistent-dir/x.png'"), std::string::npos) << problem;
    EXPECT_EQ(problem.find('\n'), std::string::npos);
    EXPECT_NE(WritePng(TempPath("grey.png"), image, PngFormat::Grey8), "");  // colour as grey
    EXPECT_NE(WritePng(TempPath("empty.png"), Image()), "");
    Image lying(2, 2);
    lying.pixels.pop_back();
    EXPECT_NE(WritePng(TempPath("lying.png"), lying), "");

    EXPECT_NE(ReadPng("/nonexistent-dir/x.png", untouched), "");
    const std::uint8_t junk[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_NE(DecodePng(junk, sizeof junk, untouched), "");
    EXPECT_NE(DecodePng(nullptr, 0, untouched), "");
    // A good file cut short.
    const std::string path = TempPath("cut.png");
    ASSERT_EQ(WritePng(path, Image(40, 40, 0x808080)), "");
    std::vector<std::uint8_t> bytes = FileBytes(path);
    bytes.resize(bytes.size() / 2);
    EXPECT_NE(DecodePng(bytes.data(), bytes.size(), untouched), "");
    EXPECT_EQ(untouched.pixels, std::vector<std::uint32_t>{0x123456});
    std::remove(path.c_str());
}

// Pictures with alpha are laid on a white ground: a transparent pixel reads white whatever colour
// it hides, an opaque one keeps its own.
TEST(Png, TransparentPixelsReadAsTheWhiteGround) {
    const struct {
        png_uint_32 format;
        std::vector<png_byte> pixels;  // three pixels: opaque, transparent, transparent
        std::vector<std::uint32_t> read;
    } cases[] = {
        {PNG_FORMAT_RGBA, {200, 30, 40, 255, 0, 0, 0, 0, 0, 0, 255, 0}, {0xC81E28, 0xFFFFFF, 0xFFFFFF}},
        {PNG_FORMAT_GA, {80, 255, 0, 0, 30, 0}, {0x505050, 0xFFFFFF, 0xFFFFFF}},
    };
    for (const auto& c : cases) {
        png_image png;
        std::memset(&png, 0, sizeof png);
        png.version = PNG_IMAGE_VERSION;
        png.width = 3;
        png.height = 1;
        png.format = c.format;
        png_alloc_size_t size = 0;
        ASSERT_TRUE(png_image_write_get_memory_size(png, size, 0, c.pixels.data(), 0, nullptr));
        std::vector<std::uint8_t> bytes(size);
        ASSERT_TRUE(png_image_write_to_memory(&png, bytes.data(), &size, 0, c.pixels.data(), 0, nullptr));
        Image image;
        ASSERT_EQ(DecodePng(bytes.data(), size, image), "");
        EXPECT_EQ(image.pixels, c.read) << c.format;
    }
}

TEST(Pictures, TheGrainIsNearWhiteNoiseFrom208To255) {
    const Image& grain = GrainPicture();
    ASSERT_EQ(grain.width, 64);
    ASSERT_EQ(grain.height, 64);
    ASSERT_TRUE(grain.Valid());
    int nearWhite = 0;
    std::set<int> levels;
    for (const std::uint32_t p : grain.pixels) {
        const int level = p & 0xFF;
        ASSERT_EQ(p, 0x010101u * level);
        ASSERT_GE(level, 208);
        levels.insert(level);
        if (level >= 240) ++nearWhite;
    }
    EXPECT_GT(nearWhite, 64 * 64 * 6 / 10);
    EXPECT_LT(*levels.begin(), 216);
    EXPECT_GT(levels.size(), 30u);
}

TEST(Pictures, TheLogoIsAColouredEmblemOnTheGrain) {
    const Image& logo = LogoPicture();
    ASSERT_EQ(logo.width, 64);
    ASSERT_EQ(logo.height, 64);
    ASSERT_TRUE(logo.Valid());
    const Image& grain = GrainPicture();
    // The corners are bare grain; the middle is the emblem's red disc.
    EXPECT_EQ(logo.At(1, 1), grain.At(1, 1));
    EXPECT_EQ(logo.At(62, 62), grain.At(62, 62));
    const std::uint32_t middle = logo.At(32, 35);
    EXPECT_GT((middle >> 16) & 0xFF, 150u);
    EXPECT_LT(middle & 0xFF, 60u);
}

TEST(Pictures, TheBuiltInFilesAreWhatTheGeneratorDraws) {
    EXPECT_EQ(GrainPicture().pixels, art::MakeGrainPicture().pixels);
    EXPECT_EQ(LogoPicture().pixels, art::MakeLogoPicture().pixels);
}

}  // namespace
}  // namespace velmo
