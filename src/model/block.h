#pragma once
// One of the 26 visible blocks: the cell it stands in, the colours of its six face slots,
// its world matrix for drawing and whether it is in the cube at all.

#include <array>

#include "math/matrix.h"
#include "model/cells.h"
#include "model/turns.h"

namespace velmo {

class IModelHost;

class TBlock {
public:
    // A block in the start state of cell n: start colours, at rest in its cell, present.
    explicit TBlock(int cell);

    int Cell;
    std::array<int, kSlotCount> Faces;  // slots 1..6 at indices 0..5
    Matrix4 Matrix;
    bool InCube;

    int Face(int slot) const { return Faces[slot - 1]; }

    // Quarter turn of the block about an axis (a > 0 means +1, otherwise -1). A newCell of 0
    // or less keeps the cell. The colours move between slots, the logo's texture coordinates
    // turn with it (through the host), and the matrix returns to the rest position of Cell.
    void RotateX(int a, int newCell, IModelHost& host) { Rotate(Axis::X, a, newCell, host); }
    void RotateY(int a, int newCell, IModelHost& host) { Rotate(Axis::Y, a, newCell, host); }
    void RotateZ(int a, int newCell, IModelHost& host) { Rotate(Axis::Z, a, newCell, host); }
    void Rotate(Axis axis, int a, int newCell, IModelHost& host);

    // Matrix := Matrix * rotation about the world axis through the cube's centre.
    void SpinX(float angle);
    void SpinY(float angle);
    void SpinZ(float angle);
    void Spin(Axis axis, float angle);

private:
    void CarryLogo(Axis axis, int a, IModelHost& host) const;
};

// The rest matrix of a block in cell n: the translation to the cell's centre.
Matrix4 CellMatrix(int cell);

}  // namespace velmo
