#pragma once

// The program's own pictures: the command images, the tool-bar images, the window icon and the
// about box picture. All are drawn in code on transparent ground, so they stay sharp at any
// size the screen asks for.

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <array>

namespace velmo {

// Indices into the list of command images (16 by 16). The first four are the tool-bar pictures
// drawn small.
enum ActionImageIndex : int {
    kImageToolNew = 0,
    kImageToolScramble = 1,
    kImageToolSolve = 2,
    kImageToolReassemble = 3,
    kImageExit = 4,
    kImageAbout = 5,
    kImageRunString = 6,
    kImageParameters = 7,
    kImageNew = 8,
    kImageScramble = 9,
    kImageSolve = 10,
    kImageReassemble = 11,
    kImageEdit = 12,
    kImageDelete = 13,
    kImageHelp = 14,
    kImageShortest = 15,
};
inline constexpr int kActionImageCount = 16;
// Tool-bar images (32 by 32): new, scramble, solve, reassemble.
inline constexpr int kToolBarImageCount = 4;

inline constexpr int kActionImageSide = 16;
inline constexpr int kToolBarImageSide = 32;
inline constexpr int kAboutPictureSide = 48;
// The sizes of the window icon, which are also those of the installed icon files.
inline constexpr std::array<int, 7> kWindowIconSides = {16, 24, 32, 48, 64, 128, 256};

// Painting alone, side pixels square; these work without a QGuiApplication, as a build-time
// tool needs. An index outside the list gives a null image.
QImage PaintActionImage(int index, int side);
QImage PaintToolBarImage(int index, int side);
QImage PaintWindowIcon(int side);

// The rest needs a QGuiApplication. A pixmap for a device pixel ratio is painted at that many
// device pixels and reports the ratio, so it covers the same logical size sharply. An index
// outside the list gives a null pixmap or an empty icon.
QPixmap ActionImage(int index, qreal devicePixelRatio = 1.0);
QIcon ActionIcon(int index);  // 16, 24, 32 and 48 pixels
QPixmap ToolBarImage(int index, qreal devicePixelRatio = 1.0);
QIcon ToolBarIcon(int index);  // 32, 48 and 64 pixels
QIcon WindowIcon();            // every size of kWindowIconSides
QPixmap AboutPicture(qreal devicePixelRatio = 1.0);

}  // namespace velmo
