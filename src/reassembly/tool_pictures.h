#pragma once
// The pictures of the reassembly tool window's buttons, drawn in code: the tools, and each
// corner and edge block as a small block in its start colours.

#include <QIcon>
#include <QPixmap>

namespace velmo {

enum class ToolPicture { Arrow, Rotate, Remove, Anew, Cancel, Done };

// A square picture of the given side in pixels, on a transparent ground.
QPixmap DrawToolPicture(ToolPicture picture, int size);
// Block n (a corner or edge, by its home cell) seen from outside the cube at its corner, so
// that its stickers face the viewer.
QPixmap DrawBlockPicture(int block, int size);

// The pictures at the buttons' icon size and at twice that, for high-density screens.
QIcon ToolIcon(ToolPicture picture);
QIcon BlockIcon(int block);

inline constexpr int kButtonPictureSize = 28;

}  // namespace velmo
