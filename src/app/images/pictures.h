#pragma once

// The pictures one by one, each painted into a transparent square of side pixels. They are
// designed on a 16 by 16 grid and scale to any size; none needs a QGuiApplication.

#include <QImage>

namespace velmo::images {

// The cube pictures: the program's icon and the four cube commands.
QImage PaintSolvedCube(int side);
QImage PaintScrambledCube(int side);
QImage PaintSolvingCube(int side);
QImage PaintReassemblingCube(int side);
QImage PaintShortestSolvingCube(int side);

// The other commands.
QImage PaintExit(int side);
QImage PaintAbout(int side);
QImage PaintRunString(int side);
QImage PaintParameters(int side);
QImage PaintEdit(int side);
QImage PaintDelete(int side);
QImage PaintHelp(int side);

}  // namespace velmo::images
