#include "reassembly/tool_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "model/cells.h"

namespace velmo {

namespace {

// Everything is drawn on a 32-unit square and scaled to the size asked for.
constexpr double kUnits = 32.0;

const QColor kOutline(30, 30, 30);
// Darker than the program's translucent body colour, so that the white sticker stands out.
const QColor kBody(90, 90, 90);

QColor StickerColour(int colour) {
    if (colour == 0) return kBody;
    return QColor::fromRgb(kColourTable.at(std::abs(colour)) & 0xFFFFFF);
}

QColor Shaded(const QColor& colour, double light) {
    return QColor::fromRgbF(colour.redF() * light, colour.greenF() * light,
                            colour.blueF() * light);
}

// One face of an isometric block: the body, and the sticker inset towards the face's middle.
void DrawFace(QPainter& p, const QPolygonF& face, const QColor& sticker, double light) {
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(Shaded(kBody, light));
    p.drawPolygon(face);
    if (sticker == kBody) return;
    QPointF middle;
    for (const QPointF& corner : face) middle += corner / face.size();
    QPolygonF inset;
    for (const QPointF& corner : face) inset << middle + (corner - middle) * 0.78;
    p.setPen(Qt::NoPen);
    p.setBrush(Shaded(sticker, light));
    p.drawPolygon(inset);
}

struct BlockFaces {
    QColor upper, left, right;
};

// An isometric block around a centre; radius is the distance from the centre to a corner of
// its outline. Turned upside down it shows its upper face at the bottom.
void DrawIsoBlock(QPainter& p, QPointF centre, double radius, const BlockFaces& faces,
                  bool upsideDown = false) {
    const double w = radius * std::sqrt(3.0) / 2, h = radius / 2, s = upsideDown ? -1 : 1;
    const QPointF c = centre, top = c + QPointF(0, -s * radius), bottom = c + QPointF(0, s * radius);
    const QPointF ul = c + QPointF(-w, -s * h), ur = c + QPointF(w, -s * h);
    const QPointF ll = c + QPointF(-w, s * h), lr = c + QPointF(w, s * h);
    DrawFace(p, QPolygonF({top, ur, c, ul}), faces.upper, 1.0);
    DrawFace(p, QPolygonF({ul, c, bottom, ll}), faces.left, upsideDown ? 0.7 : 0.85);
    DrawFace(p, QPolygonF({c, ur, lr, bottom}), faces.right, upsideDown ? 0.85 : 0.7);
}

// Seen from its own corner of the cube: its vertical face up (down for the bottom layer), and
// of its two side faces the one nearer the viewer's left on the left. A zero coordinate
// counts as right or front, where the body shows instead of a sticker.
void DrawBlock(QPainter& p, int block) {
    const CellPos pos = CellPosition(block);
    const std::array<int, kSlotCount> faces = StartFaces(block);
    const int xs = pos.x >= 0 ? 1 : -1, zs = pos.z <= 0 ? -1 : 1;
    const QColor vertical = StickerColour(faces[(pos.y >= 0 ? kTop : kBottom) - 1]);
    const QColor side = StickerColour(faces[(xs > 0 ? kRight : kLeft) - 1]);
    const QColor depth = StickerColour(faces[(zs < 0 ? kFront : kBack) - 1]);
    const bool depthOnLeft = xs * zs < 0;
    DrawIsoBlock(p, {16, 16}, 14.5,
                 {vertical, depthOnLeft ? depth : side, depthOnLeft ? side : depth}, pos.y < 0);
}

BlockFaces Plain(const QColor& colour) { return {colour, colour, colour}; }

void DrawArrow(QPainter& p) {
    const QPolygonF pointer({{9, 3}, {9, 26}, {14.5, 21}, {18.5, 29.5}, {22, 28},
                             {18, 19.5}, {25, 19.5}});
    p.setPen(QPen(Qt::black, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPolygon(pointer);
}

// An arrow head at the tip, pointing along the direction (unit vector).
void DrawHead(QPainter& p, QPointF tip, QPointF direction, double length, const QColor& colour) {
    const QPointF normal(-direction.y(), direction.x());
    const QPointF base = tip - direction * length;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({tip, base + normal * length * 0.6, base - normal * length * 0.6}));
}

void DrawRotate(QPainter& p) {
    DrawIsoBlock(p, {16, 16}, 7, Plain(StickerColour(1)));
    const QColor colour(20, 60, 170);
    const QRectF ring(3.5, 3.5, 25, 25);
    p.setPen(QPen(colour, 2.6, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(ring, 100 * 16, 280 * 16);  // counter-clockwise from 100 degrees
    const double end = (100.0 + 280.0) * std::numbers::pi / 180.0;
    const QPointF tip(16 + 12.5 * std::cos(end), 16 - 12.5 * std::sin(end));
    DrawHead(p, tip + QPointF(-std::sin(end), -std::cos(end)) * 3.5,
             QPointF(-std::sin(end), -std::cos(end)), 7, colour);
}

// A block prised out of its place: the empty place dashed, the block lifted away from it.
void DrawRemove(QPainter& p) {
    const double r = 6.5, w = r * std::sqrt(3.0) / 2;
    const QPointF c(9, 23);
    p.setPen(QPen(kOutline, 1.0, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(QPolygonF({c + QPointF(0, -r), c + QPointF(w, -r / 2), c + QPointF(w, r / 2),
                             c + QPointF(0, r), c + QPointF(-w, r / 2), c + QPointF(-w, -r / 2)}));
    DrawIsoBlock(p, {23, 9}, r, {StickerColour(2), StickerColour(1), StickerColour(3)});
    const QColor red(200, 20, 20);
    const double half = std::numbers::sqrt2 / 2;
    const QPointF direction(half, -half);
    p.setPen(QPen(red, 2.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(11, 21), QPointF(17, 15));
    DrawHead(p, QPointF(19.5, 12.5), direction, 5, red);
}

// The cube flown apart: four blocks moving out from the middle.
void DrawAnew(QPainter& p) {
    p.setPen(QPen(kOutline, 1.2, Qt::SolidLine, Qt::RoundCap));
    for (const QPointF& d : {QPointF(-1, -1), QPointF(1, -1), QPointF(-1, 1), QPointF(1, 1)})
        p.drawLine(QPointF(16, 16) + d * 2.5, QPointF(16, 16) + d * 5.5);
    DrawIsoBlock(p, {8, 8}, 6.5, {StickerColour(2), StickerColour(6), StickerColour(1)});
    DrawIsoBlock(p, {24, 8}, 6.5, {StickerColour(2), StickerColour(1), StickerColour(3)});
    DrawIsoBlock(p, {8, 24}, 6.5, {StickerColour(5), StickerColour(6), StickerColour(1)}, true);
    DrawIsoBlock(p, {24, 24}, 6.5, {StickerColour(5), StickerColour(1), StickerColour(3)}, true);
}

void DrawCancel(QPainter& p) {
    p.setPen(QPen(QColor(200, 20, 20), 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(24, 24));
    p.drawLine(QPointF(24, 8), QPointF(8, 24));
}

void DrawDone(QPainter& p) {
    p.setPen(QPen(QColor(20, 150, 40), 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{6, 17}, {13, 24}, {26, 8}}));
}

template <class Draw>
QPixmap Paint(int size, Draw draw) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kUnits, size / kUnits);
    draw(p);
    return pixmap;
}

template <class Make>
QIcon TwoSizes(Make make) {
    QIcon icon;
    icon.addPixmap(make(kButtonPictureSize));
    icon.addPixmap(make(2 * kButtonPictureSize));
    return icon;
}

}  // namespace

QPixmap DrawToolPicture(ToolPicture picture, int size) {
    return Paint(size, [picture](QPainter& p) {
        switch (picture) {
            case ToolPicture::Arrow: DrawArrow(p); break;
            case ToolPicture::Rotate: DrawRotate(p); break;
            case ToolPicture::Remove: DrawRemove(p); break;
            case ToolPicture::Anew: DrawAnew(p); break;
            case ToolPicture::Cancel: DrawCancel(p); break;
            case ToolPicture::Done: DrawDone(p); break;
        }
    });
}

QPixmap DrawBlockPicture(int block, int size) {
    return Paint(size, [block](QPainter& p) { DrawBlock(p, block); });
}

QIcon ToolIcon(ToolPicture picture) {
    return TwoSizes([picture](int size) { return DrawToolPicture(picture, size); });
}

QIcon BlockIcon(int block) {
    return TwoSizes([block](int size) { return DrawBlockPicture(block, size); });
}

}  // namespace velmo
