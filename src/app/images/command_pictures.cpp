#include "app/images/drawing.h"
#include "app/images/pictures.h"

#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace velmo::images {

namespace {

constexpr double kUnits = 16;
constexpr double kOutline = 1.0;

QPen InkPen(double width = kOutline) {
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A stroke of colour with an ink border all round it.
void DrawOutlinedStroke(QPainter& painter, const QPainterPath& path, const QColor& colour,
                        double width) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(InkPen(width + 2 * kOutline));
    painter.drawPath(path);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
}

// The disc of the two help pictures, with the white mark left to the caller.
void DrawHelpDisc(QPainter& painter) {
    painter.setPen(InkPen());
    painter.setBrush(kBlue);
    painter.drawEllipse(QPointF(8, 8), 7, 7);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kWhite);
}

}  // namespace

QImage PaintExit(int side) {
    QImage canvas = NewCanvas(side);
    QPainter painter;
    BeginPainting(painter, canvas, kUnits);
    // An open door and the way out of it.
    painter.setPen(InkPen());
    painter.setBrush(kDarkRed);
    painter.drawRect(QRectF(1.5, 1.5, 8, 13));
    QPainterPath arrow;
    arrow.moveTo(5.5, 6.5);
    arrow.lineTo(10.5, 6.5);
    arrow.lineTo(10.5, 3.5);
    arrow.lineTo(15.0, 8.0);
    arrow.lineTo(10.5, 12.5);
    arrow.lineTo(10.5, 9.5);
    arrow.lineTo(5.5, 9.5);
    arrow.closeSubpath();
    painter.setBrush(kYellow);
    painter.drawPath(arrow);
    return canvas;
}

QImage PaintAbout(int side) {
    QImage canvas = NewCanvas(side);
    QPainter painter;
    BeginPainting(painter, canvas, kUnits);
    DrawHelpDisc(painter);
    painter.drawEllipse(QPointF(8, 4.6), 1.25, 1.25);
    painter.drawRoundedRect(QRectF(7, 6.5, 2, 6), 0.5, 0.5);
    return canvas;
}

QImage PaintHelp(int side) {
    QImage canvas = NewCanvas(side);
    QPainter painter;
    BeginPainting(painter, canvas, kUnits);
    DrawHelpDisc(painter);
    painter.drawEllipse(QPointF(8, 12.0), 1.2, 1.2);
    QPainterPath hook;
    hook.moveTo(5.6, 6.0);
    hook.arcTo(QRectF(5.6, 3.4, 4.8, 4.8), 180, -270);
    hook.lineTo(8, 9.6);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kWhite, 2.1, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.drawPath(hook);
    return canvas;
}

QImage PaintRunString(int side) {
    QImage canvas = NewCanvas(side);
    QPainter painter;
    BeginPainting(painter, canvas, kUnits);
    // A written string of turns, set going.
    painter.setPen(InkPen());
    painter.setBrush(kWhite);
    painter.drawRect(QRectF(1.5, 1.5, 10, 13));
    // Lines on pixel centres stay crisp at 16 pixels.
    painter.setPen(QPen(kInk, 1, Qt::SolidLine, Qt::FlatCap));
    for (double y : {4.5, 6.5, 8.5}) painter.drawLine(QPointF(4, y), QPointF(9, y));
    painter.setPen(InkPen());
    painter.setBrush(kGreen);
    painter.drawPolygon(QPolygonF({QPointF(8.5, 7.5), QPointF(15, 11.25), QPointF(8.5, 15)}));
    return canvas;
}

QImage PaintParameters(int side) {
    QImage canvas = NewCanvas(side);
    QPainter painter;
    BeginPainting(painter, canvas, kUnits);
    // A gear wheel of eight teeth.
    constexpr int kTeeth = 8;
    constexpr double kOuter = 7.2, kRoot = 5.2, kHole = 2.2;
    QPainterPath gear;
    for (int i = 0; i < kTeeth * 4; ++i) {
        const double angle = (i - 1.5) * std::numbers::pi / (kTeeth * 2);
        const double radius = (i % 4 < 2) ? kOuter : kRoot;
        const QPointF point(8 + radius * std::cos(angle), 8 + radius * std::sin(angle));
        if (i == 0)
            gear.moveTo(point);
        else
            gear.lineTo(point);
    }
    gear.closeSubpath();
    gear.addEllipse(QPointF(8, 8), kHole, kHole);
    gear.setFillRule(Qt::OddEvenFill);
    painter.setPen(InkPen());
    painter.setBrush(QColor(0x9A, 0xA3, 0xB2));
    painter.drawPath(gear);
    return canvas;
}

QImage PaintEdit(int side) {
    QImage canvas = NewCanvas(side);
    QPainter painter;
    BeginPainting(painter, canvas, kUnits);
    // A pencil lying from the lower left to the upper right, its point down.
    painter.translate(8, 8);
    painter.rotate(-45);
    painter.setPen(InkPen());
    painter.setBrush(QColor(0xF2, 0xD6, 0xA8));
    painter.drawPolygon(QPolygonF({QPointF(-8.5, 0), QPointF(-4.5, -2.2), QPointF(-4.5, 2.2)}));
    painter.setBrush(kInk);
    painter.drawPolygon(QPolygonF({QPointF(-8.5, 0), QPointF(-7.2, -0.7), QPointF(-7.2, 0.7)}));
    painter.setBrush(kYellow);
    painter.drawRect(QRectF(-4.5, -2.2, 8.5, 4.4));
    painter.setBrush(kRed);
    painter.drawRoundedRect(QRectF(4, -2.2, 3.5, 4.4), 0.8, 0.8);
    return canvas;
}

QImage PaintDelete(int side) {
    QImage canvas = NewCanvas(side);
    QPainter painter;
    BeginPainting(painter, canvas, kUnits);
    QPainterPath cross;
    cross.moveTo(3.5, 3.5);
    cross.lineTo(12.5, 12.5);
    cross.moveTo(12.5, 3.5);
    cross.lineTo(3.5, 12.5);
    DrawOutlinedStroke(painter, cross, kRed, 2.8);
    return canvas;
}

}  // namespace velmo::images
