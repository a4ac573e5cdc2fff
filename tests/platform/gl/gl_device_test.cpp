#include "gl_test_support.h"

#include <QImage>
#include <cstdio>

namespace velmo::testing {
namespace {

TEST(Explore, StartPosition) {
    VELMO_REQUIRE_DISPLAY();
    constexpr int kSize = 512;
    GlSceneRig gl(kSize);
    ASSERT_TRUE(gl.window.ready);
    gl.Build();
    ASSERT_TRUE(gl.scene->IsHardwareDevice());
    ASSERT_TRUE(gl.shell.messages.empty()) << gl.shell.messages[0].text;
    ASSERT_EQ(gl.scene->RenderFrame(), S_OK);
    SceneRig sw({.hardware = true, .size = kSize});
    sw.Build();
    ASSERT_EQ(sw.scene->RenderFrame(), S_OK);
    const Image32 a = gl.context.lastSwapped, b = FromCollector(sw.frames);
    ASSERT_EQ(a.width, b.width);
    int hist[8] = {};
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const std::uint32_t p = a.At(x, y), q = b.At(x, y);
            int d = 0;
            for (int s = 0; s < 24; s += 8) d = std::max(d, std::abs(int((p >> s) & 255) - int((q >> s) & 255)));
            hist[d == 0 ? 0 : d <= 1 ? 1 : d <= 2 ? 2 : d <= 3 ? 3 : d <= 5 ? 4 : d <= 10 ? 5 : d <= 40 ? 6 : 7]++;
        }
    for (int i = 0; i < 8; ++i) std::printf("bucket %d: %d\n", i, hist[i]);
    QImage ia(reinterpret_cast<const uchar*>(a.pixels.data()), kSize, kSize, QImage::Format_RGB32);
    ia.save("/tmp/gl_frame.png");
    QImage ib(reinterpret_cast<const uchar*>(b.pixels.data()), kSize, kSize, QImage::Format_RGB32);
    ib.save("/tmp/sw_frame.png");
}

}  // namespace
}  // namespace velmo::testing
