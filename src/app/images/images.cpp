#include "app/images/images.h"

#include "app/images/pictures.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace velmo {

namespace {

using Painter = QImage (*)(int side);

constexpr std::array<Painter, kToolBarImageCount> kToolBarPainters = {
    images::PaintSolvedCube,
    images::PaintScrambledCube,
    images::PaintSolvingCube,
    images::PaintReassemblingCube,
};

Painter ActionPainter(int index) {
    if (index >= 0 && index < kToolBarImageCount) return kToolBarPainters[index];
    switch (index) {
    case kImageExit: return images::PaintExit;
    case kImageAbout: return images::PaintAbout;
    case kImageRunString: return images::PaintRunString;
    case kImageParameters: return images::PaintParameters;
    case kImageNew: return images::PaintSolvedCube;
    case kImageScramble: return images::PaintScrambledCube;
    case kImageSolve: return images::PaintSolvingCube;
    case kImageReassemble: return images::PaintReassemblingCube;
    case kImageEdit: return images::PaintEdit;
    case kImageDelete: return images::PaintDelete;
    case kImageHelp: return images::PaintHelp;
    case kImageShortest: return images::PaintShortestSolvingCube;
    default: return nullptr;
    }
}

Painter ToolBarPainter(int index) {
    return index >= 0 && index < kToolBarImageCount ? kToolBarPainters[index] : nullptr;
}

QPixmap PixmapFor(Painter painter, int side, qreal devicePixelRatio) {
    if (painter == nullptr || !(devicePixelRatio > 0)) return {};
    const int pixels = std::max(1, static_cast<int>(std::lround(side * devicePixelRatio)));
    QImage image = painter(pixels);
    image.setDevicePixelRatio(devicePixelRatio);
    return QPixmap::fromImage(std::move(image));
}

QIcon IconFor(Painter painter, std::initializer_list<int> sides) {
    QIcon icon;
    if (painter == nullptr) return icon;
    for (int side : sides) icon.addPixmap(QPixmap::fromImage(painter(side)));
    return icon;
}

}  // namespace

QImage PaintActionImage(int index, int side) {
    const Painter painter = ActionPainter(index);
    return painter != nullptr ? painter(side) : QImage();
}

QImage PaintToolBarImage(int index, int side) {
    const Painter painter = ToolBarPainter(index);
    return painter != nullptr ? painter(side) : QImage();
}

QImage PaintWindowIcon(int side) { return images::PaintSolvedCube(side); }

QPixmap ActionImage(int index, qreal devicePixelRatio) {
    return PixmapFor(ActionPainter(index), kActionImageSide, devicePixelRatio);
}

QIcon ActionIcon(int index) { return IconFor(ActionPainter(index), {16, 24, 32, 48}); }

QPixmap ToolBarImage(int index, qreal devicePixelRatio) {
    return PixmapFor(ToolBarPainter(index), kToolBarImageSide, devicePixelRatio);
}

QIcon ToolBarIcon(int index) { return IconFor(ToolBarPainter(index), {32, 48, 64}); }

QIcon WindowIcon() {
    QIcon icon;
    for (int side : kWindowIconSides) icon.addPixmap(QPixmap::fromImage(PaintWindowIcon(side)));
    return icon;
}

QPixmap AboutPicture(qreal devicePixelRatio) {
    return PixmapFor(PaintWindowIcon, kAboutPictureSide, devicePixelRatio);
}

}  // namespace velmo
