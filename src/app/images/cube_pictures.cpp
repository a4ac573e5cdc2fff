#include "app/images/drawing.h"
#include "app/images/pictures.h"

#include <QPainterPath>

#include <algorithm>

namespace velmo::images {

namespace {

constexpr double kUnits = 16;

// The body grows with the picture, so that large ones do not turn dark. On the smallest the
// lines between stickers get thinner than a pixel, leaving room for the colours, while the rim
// keeps a whole pixel to set the cube off its ground.
double CubeLine(int side) { return std::max(0.7, side / 22.0) * kUnits / side; }
double CubeRim(int side) { return std::max(1.0, side / 22.0) * kUnits / side; }

CubeView WholePictureCube(int side) {
    return FitCube(QRectF(0, 0, kUnits, kUnits), CubeLine(side), CubeRim(side));
}

CubeColours ScrambledColours() {
    const QColor& R = kRed;
    const QColor& W = kWhite;
    const QColor& B = kBlue;
    const QColor& D = kDarkRed;
    const QColor& Y = kYellow;
    const QColor& G = kGreen;
    // Each centre keeps its colour, as no turn moves the centres.
    return {{Y, W, R, B, W, G, W, D, Y},
            {G, B, W, R, R, Y, Y, D, B},
            {R, G, W, Y, B, R, B, W, G}};
}

void DrawCheck(QPainter& painter) {
    QPainterPath check;
    check.moveTo(8.2, 11.6);
    check.lineTo(10.8, 14.2);
    check.lineTo(15.0, 8.6);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kInk, 4.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(check);
    painter.setPen(QPen(kGreen, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(check);
}

// A lightning bolt, lower right: the shortest way.
void DrawBolt(QPainter& painter) {
    QPainterPath bolt;
    bolt.moveTo(13.2, 6.6);
    bolt.lineTo(9.0, 11.6);
    bolt.lineTo(11.6, 11.6);
    bolt.lineTo(10.0, 15.4);
    bolt.lineTo(15.0, 9.8);
    bolt.lineTo(12.4, 9.8);
    bolt.closeSubpath();
    painter.setPen(QPen(kInk, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(kYellow);
    painter.drawPath(bolt);
}

// The solved cube with a mark drawn over its lower right.
QImage SolvedCubeWithMark(int side, void (*drawMark)(QPainter&)) {
    QImage canvas = NewCanvas(side);
    QPainter painter;
    BeginPainting(painter, canvas, kUnits);
    DrawCube(painter, WholePictureCube(side), SolvedCubeColours());
    drawMark(painter);
    return canvas;
}

}  // namespace

QImage PaintSolvedCube(int side) {
    QImage canvas = NewCanvas(side);
    QPainter painter;
    BeginPainting(painter, canvas, kUnits);
    DrawCube(painter, WholePictureCube(side), SolvedCubeColours());
    return canvas;
}

QImage PaintScrambledCube(int side) {
    QImage canvas = NewCanvas(side);
    QPainter painter;
    BeginPainting(painter, canvas, kUnits);
    DrawCube(painter, WholePictureCube(side), ScrambledColours());
    return canvas;
}

QImage PaintSolvingCube(int side) { return SolvedCubeWithMark(side, DrawCheck); }
QImage PaintShortestSolvingCube(int side) { return SolvedCubeWithMark(side, DrawBolt); }

QImage PaintReassemblingCube(int side) {
    QImage canvas = NewCanvas(side);
    QPainter painter;
    BeginPainting(painter, canvas, kUnits);
    const double line = CubeLine(side);
    const CubeView cube = FitCube(QRectF(0, 3, 13, 13), line, CubeRim(side));
    DrawCubeWithoutCorner(painter, cube, SolvedCubeColours());
    // The missing corner block, lifted up and out to the right.
    // It is drawn a little larger than the hole, as it is nearer to the eye.
    const CubeView block{QPointF(12.2, 0.6), cube.faceWidth * 0.42, cube.edgeHeight * 0.42, line,
                         cube.rim};
    DrawBlock(painter, block, kWhite, kRed, kBlue);
    return canvas;
}

}  // namespace velmo::images
