// velmo-icons DIR SIDE...: writes the window icon as DIR/<SIDE>x<SIDE>/apps/velmo.png for each
// side, the layout of a desktop icon theme. It runs during the build, where there may be no
// display, so it only paints into images and never starts a QGuiApplication.

#include "app/images/images.h"

#include <QDir>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kLargestSide = 1024;

// A side in pixels, or 0 when the text is not one.
int ParseSide(const char* text) {
    char* end = nullptr;
    const long side = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || side < 1 || side > kLargestSide) return 0;
    return static_cast<int>(side);
}

bool WriteIcon(const QString& root, int side) {
    const QString size = QString::number(side);
    const QString folder = root + "/" + size + "x" + size + "/apps";
    if (!QDir().mkpath(folder)) return false;
    return velmo::PaintWindowIcon(side).save(folder + "/velmo.png", "PNG");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: velmo-icons DIR SIDE...\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int side = ParseSide(argv[i]);
        if (side == 0) {
            std::fprintf(stderr, "velmo-icons: not a size from 1 to %d: %s\n", kLargestSide,
                         argv[i]);
            return 2;
        }
        if (!WriteIcon(root, side)) {
            std::fprintf(stderr, "velmo-icons: cannot write the %dx%d icon under %s\n", side,
                         side, argv[1]);
            return 1;
        }
    }
    return 0;
}
