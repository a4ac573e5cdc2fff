#include "app/images/drawing.h"

#include <QLineF>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>

namespace velmo::images {

namespace {

// Vertical edges a little longer than a face is wide, as a cube looks from slightly above.
constexpr double kEdgeToWidth = 1.1;
// How round the corners of the stickers are, as a share of the line between them.
constexpr double kRounding = 0.8;

const QColor kHoleFloor{0x8C, 0x95, 0xA3};
const QColor kHoleWall{0x55, 0x5D, 0x69};

// The seven visible corners of the cube in view.
struct Corners {
    QPointF top, left, right, near, bottomLeft, bottomRight, bottom;
};

Corners CornersOf(const CubeView& view) {
    const double w = view.faceWidth, h = view.edgeHeight;
    Corners c;
    c.top = view.top;
    c.left = c.top + QPointF(-w, w / 2);
    c.right = c.top + QPointF(w, w / 2);
    c.near = c.top + QPointF(0, w);
    c.bottomLeft = c.left + QPointF(0, h);
    c.bottomRight = c.right + QPointF(0, h);
    c.bottom = c.near + QPointF(0, h);
    return c;
}

QPolygonF Outline(const Corners& c) {
    return QPolygonF({c.top, c.right, c.bottomRight, c.bottom, c.bottomLeft, c.left});
}

// One face as a parallelogram: origin is its top left corner as seen, across runs along a row,
// down along a column.
struct Face {
    QPointF origin, across, down;
};

QPointF PointOn(const Face& face, double u, double v) {
    return face.origin + u * face.across + v * face.down;
}

QPolygonF Quad(const Face& face, double u0, double v0, double u1, double v1) {
    return QPolygonF({PointOn(face, u0, v0), PointOn(face, u1, v0), PointOn(face, u1, v1),
                      PointOn(face, u0, v1)});
}

double Length(const QPointF& p) { return QLineF(QPointF(), p).length(); }

// The stickers of a face divided grid by grid, the body showing line wide between them.
void DrawStickers(QPainter& painter, const Face& face, int grid, const QColor* colours,
                  double line) {
    // Stickers are drawn smaller by half the rounding and then outlined in their own colour
    // with round joins, which rounds their corners.
    const double rounding = line * kRounding;
    const double gapAcross = (line + rounding) / 2 / Length(face.across);
    const double gapDown = (line + rounding) / 2 / Length(face.down);
    for (int row = 0; row < grid; ++row) {
        for (int column = 0; column < grid; ++column) {
            const QColor& colour = colours[row * grid + column];
            painter.setPen(QPen(colour, rounding, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.setBrush(colour);
            painter.drawPolygon(Quad(face, double(column) / grid + gapAcross,
                                     double(row) / grid + gapDown,
                                     double(column + 1) / grid - gapAcross,
                                     double(row + 1) / grid - gapDown));
        }
    }
}

// The stroke around the faces that, with the half gap inside them, makes the rim.
double OutlineWidth(const CubeView& view) { return std::max(0.0, 2 * view.rim - view.line); }

void DrawBody(QPainter& painter, const Corners& corners, const CubeView& view) {
    const double width = OutlineWidth(view);
    // A zero-width pen would still draw a cosmetic line one pixel wide.
    if (width > 0)
        painter.setPen(QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    else
        painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    painter.drawPolygon(Outline(corners));
}

Face TopFace(const Corners& c) { return {c.top, c.right - c.top, c.left - c.top}; }
Face FrontFace(const Corners& c) { return {c.left, c.near - c.left, c.bottomLeft - c.left}; }
Face RightFace(const Corners& c) { return {c.near, c.right - c.near, c.bottom - c.near}; }

void DrawGridCube(QPainter& painter, const CubeView& view, int grid, const QColor* top,
                  const QColor* front, const QColor* right) {
    const Corners corners = CornersOf(view);
    DrawBody(painter, corners, view);
    DrawStickers(painter, TopFace(corners), grid, top, view.line);
    DrawStickers(painter, FrontFace(corners), grid, front, view.line);
    DrawStickers(painter, RightFace(corners), grid, right, view.line);
}

}  // namespace

QImage NewCanvas(int side) {
    QImage canvas(side, side, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    return canvas;
}

void BeginPainting(QPainter& painter, QImage& canvas, double units) {
    painter.begin(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(canvas.width() / units, canvas.height() / units);
}

CubeView FitCube(const QRectF& box, double line, double rim) {
    const double pad = std::max(0.0, rim - line / 2);
    const QRectF inside = box.adjusted(pad, pad, -pad, -pad);
    const double width = std::min(inside.width() / 2, inside.height() / (1 + kEdgeToWidth));
    const double height = width * (1 + kEdgeToWidth);
    const QPointF top(inside.center().x(), inside.center().y() - height / 2);
    return {top, width, width * kEdgeToWidth, line, rim};
}

CubeColours SolvedCubeColours() {
    CubeColours colours;
    colours.top.fill(kWhite);
    colours.front.fill(kRed);
    colours.right.fill(kBlue);
    return colours;
}

void DrawCube(QPainter& painter, const CubeView& view, const CubeColours& colours) {
    DrawGridCube(painter, view, 3, colours.top.data(), colours.front.data(),
                 colours.right.data());
}

void DrawBlock(QPainter& painter, const CubeView& view, QColor top, QColor front, QColor right) {
    DrawGridCube(painter, view, 1, &top, &front, &right);
}

void DrawCubeWithoutCorner(QPainter& painter, const CubeView& view, const CubeColours& colours) {
    DrawCube(painter, view, colours);
    // The hole has the outline of the missing block; inside it the floor and the two walls
    // meet in the block's hidden far corner.
    const CubeView hole{view.top + QPointF(0, view.faceWidth * 2 / 3), view.faceWidth / 3,
                        view.edgeHeight / 3, view.line, view.rim};
    const Corners c = CornersOf(hole);
    const QPointF drop(0, hole.edgeHeight);
    const QPointF farCorner = c.top + drop;
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    painter.drawPolygon(Outline(c));
    // The inside is the body too, lit from above: the floor brightest, the walls darker.
    painter.setPen(QPen(kInk, view.line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(kHoleFloor);
    painter.drawPolygon(QPolygonF({farCorner, c.right + drop, c.bottom, c.left + drop}));
    painter.setBrush(kHoleWall);
    painter.drawPolygon(QPolygonF({c.left, c.top, farCorner, c.left + drop}));
}

}  // namespace velmo::images
