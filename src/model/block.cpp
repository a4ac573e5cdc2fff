#include "model/block.h"

#include <cmath>

#include "model/host.h"

namespace velmo {

Matrix4 CellMatrix(int cell) {
    const CellPos p = CellPosition(cell);
    return MatrixTranslation(static_cast<float>(p.x), static_cast<float>(p.y),
                             static_cast<float>(p.z));
}

TBlock::TBlock(int cell)
    : Cell(cell), Faces(StartFaces(cell)), Matrix(CellMatrix(cell)), InCube(true) {}

namespace {

// The slot (1..6) that a slot's direction turns into, per axis and direction of a quarter
// turn. Turns are the model's hot path (the solver makes hundreds per solve), so the slot
// directions are looked up once rather than searched on every block turn.
using SlotTurns = std::array<int, kSlotCount + 1>;
const SlotTurns& TurnedSlots(Axis axis, int a) {
    static const std::array<std::array<SlotTurns, 2>, 3> table = [] {
        std::array<std::array<SlotTurns, 2>, 3> t{};
        for (Axis ax : {Axis::X, Axis::Y, Axis::Z})
            for (int dir : {-1, 1})
                for (int slot = 1; slot <= kSlotCount; ++slot)
                    t[static_cast<int>(ax)][dir > 0][slot] =
                        SlotOf(velmo::Rotate(ax, dir, SlotDirection(slot)));
        return t;
    }();
    return table[static_cast<int>(axis)][a > 0];
}

}  // namespace

void TBlock::Rotate(Axis axis, int a, int newCell, IModelHost& host) {
    a = a > 0 ? 1 : -1;
    if (newCell > 0) Cell = newCell;
    // The colour in the slot pointing in direction d moves to the slot pointing in R(d).
    const SlotTurns& turnedSlot = TurnedSlots(axis, a);
    std::array<int, kSlotCount> turned{};
    for (int slot = 1; slot <= kSlotCount; ++slot) turned[turnedSlot[slot] - 1] = Faces[slot - 1];
    Faces = turned;
    CarryLogo(axis, a, host);
    Matrix = CellMatrix(Cell);
}

namespace {

// The template vertex of a face slot's sticker square standing at a position.
int StickerVertexAt(int slot, Vec3 position) {
    for (int k = 6 * (slot - 1); k < 6 * slot; ++k) {
        const Vec3 p = TemplatePointAt(TemplateVertexPoint(k)).position;
        if (std::fabs(p.x - position.x) < 1e-4f && std::fabs(p.y - position.y) < 1e-4f &&
            std::fabs(p.z - position.z) < 1e-4f)
            return k;
    }
    return -1;
}

}  // namespace

// All blocks are drawn from one geometry, so the logo's texture coordinates live there and
// must follow the logo face: each vertex of the logo's new face takes the coordinates of the
// vertex that the quarter turn carried onto its corner.
void TBlock::CarryLogo(Axis axis, int a, IModelHost& host) const {
    int slot = 0;
    for (int s = 1; s <= kSlotCount && slot == 0; ++s)
        if (Faces[s - 1] < 0) slot = s;
    if (slot == 0) return;
    const CellPos back = velmo::Rotate(axis, -a, SlotDirection(slot));
    const int fromSlot = SlotOf(back);

    StickerTexCoords old;
    host.ReadStickerTexCoords(old);
    StickerTexCoords carried = old;
    for (int k = 6 * (slot - 1); k < 6 * slot; ++k) {
        const Vec3 corner = TemplatePointAt(TemplateVertexPoint(k)).position;
        const int from = StickerVertexAt(fromSlot, velmo::Rotate(axis, -a, corner));
        if (from >= 0) carried[k] = old[from];
    }
    host.WriteStickerTexCoords(carried);
}

void TBlock::Spin(Axis axis, float angle) {
    switch (axis) {
        case Axis::X: Matrix = Matrix * MatrixRotationX(angle); break;
        case Axis::Y: Matrix = Matrix * MatrixRotationY(angle); break;
        case Axis::Z: Matrix = Matrix * MatrixRotationZ(angle); break;
    }
}

void TBlock::SpinX(float angle) { Spin(Axis::X, angle); }
void TBlock::SpinY(float angle) { Spin(Axis::Y, angle); }
void TBlock::SpinZ(float angle) { Spin(Axis::Z, angle); }

}  // namespace velmo
