#pragma once

// Shared pieces of the program's pictures: the palette, a transparent canvas and the cube.
// Everything here paints into a QImage, which needs no QGuiApplication.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRectF>

#include <array>

namespace velmo::images {

// The sticker hues of the cube, a little softened so that they sit together on small pictures.
inline const QColor kRed{0xE2, 0x3B, 0x2E};
inline const QColor kWhite{0xF6, 0xF6, 0xF2};
inline const QColor kBlue{0x2A, 0x62, 0xD6};
inline const QColor kDarkRed{0x8C, 0x1F, 0x26};
inline const QColor kYellow{0xF5, 0xC5, 0x18};
inline const QColor kGreen{0x2E, 0x9D, 0x48};
// The cube's body, also the outline ink of every picture.
inline const QColor kInk{0x23, 0x27, 0x2E};

// A transparent square picture.
QImage NewCanvas(int side);

// A painter for a canvas, antialiased, with one unit of its coordinates being side/units pixels.
// Pictures drawn for 16 pixels use units = 16 and look the same, only finer, at 24 and 32.
void BeginPainting(QPainter& painter, QImage& canvas, double units);

// The cube as seen from above, in front and to the right (two pixels across for one down).
struct CubeView {
    QPointF top;       // the back top corner, the topmost point
    double faceWidth;  // horizontal extent of one side face
    double edgeHeight; // on-screen length of a vertical edge
    double line;       // width of the body between stickers
    double rim;        // width of the body around the outermost stickers
};

// The largest cube that fits into box, centred in it.
CubeView FitCube(const QRectF& box, double line, double rim);

// Nine colours of one face, row by row: the top face with its back row first, the side faces
// with their top row first, each row from left to right as seen.
using FaceColours = std::array<QColor, 9>;

struct CubeColours {
    FaceColours top, front, right;
};

CubeColours SolvedCubeColours();

void DrawCube(QPainter& painter, const CubeView& view, const CubeColours& colours);

// One block alone: a cube with a single sticker on each face.
void DrawBlock(QPainter& painter, const CubeView& view, QColor top, QColor front, QColor right);

// The cube of view with its near top corner block taken out: the hole shows the body inside.
void DrawCubeWithoutCorner(QPainter& painter, const CubeView& view, const CubeColours& colours);

}  // namespace velmo::images
