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

void TBlock::Rotate(Axis axis, int a, int newCell, IModelHost& host) {
    a = a > 0 ? 1 : -1;
    const QuarterTurn& turn = QuarterTurnOf(axis, a);
    if (newCell > 0) Cell = newCell;
    // The colour in the slot pointing in direction d moves to the slot pointing in R(d).
    std::array<int, kSlotCount> turned{};
    for (int slot = 1; slot <= kSlotCount; ++slot) turned[turn.slotTo[slot] - 1] = Faces[slot - 1];
    Faces = turned;
    CarryLogo(axis, a, host);
    Matrix = CellMatrix(Cell);
}

namespace {

// For each sticker vertex k, the vertex of the face the quarter turn came from that stands at
// the corner the turn carries onto k's corner (-1 if none: cannot happen for a cube).
using CarrySources = std::array<int, kStickerVertexCount>;

CarrySources MakeCarrySources(Axis axis, int a) {
    const QuarterTurn& turn = QuarterTurnOf(axis, a);
    CarrySources sources;
    for (int k = 0; k < kStickerVertexCount; ++k) {
        const int fromSlot = turn.slotFrom[k / 6 + 1];
        const Vec3 corner = Rotate(axis, -a, TemplatePointAt(TemplateVertexPoint(k)).position);
        sources[k] = -1;
        for (int j = 6 * (fromSlot - 1); j < 6 * fromSlot && sources[k] < 0; ++j) {
            const Vec3 p = TemplatePointAt(TemplateVertexPoint(j)).position;
            if (std::fabs(p.x - corner.x) < 1e-4f && std::fabs(p.y - corner.y) < 1e-4f &&
                std::fabs(p.z - corner.z) < 1e-4f)
                sources[k] = j;
        }
    }
    return sources;
}

const CarrySources& CarrySourcesOf(Axis axis, int a) {
    static const auto kSources = PerQuarterTurn(MakeCarrySources);
    return QuarterTurnEntry(kSources, axis, a);
}

}  // namespace

// All blocks are drawn from one geometry, so the logo's texture coordinates live there and
// must follow the logo face: each vertex of the logo's new face takes the coordinates of the
// vertex that the quarter turn carried onto its corner. All old values are read before any is
// written, since a face turning in place reads its own.
void TBlock::CarryLogo(Axis axis, int a, IModelHost& host) const {
    int slot = 0;
    for (int s = 1; s <= kSlotCount && slot == 0; ++s)
        if (Faces[s - 1] < 0) slot = s;
    if (slot == 0) return;
    const CarrySources& sources = CarrySourcesOf(axis, a);
    StickerTexCoords old;
    host.ReadStickerTexCoords(old);
    StickerTexCoords carried = old;
    for (int k = 6 * (slot - 1); k < 6 * slot; ++k)
        if (sources[k] >= 0) carried[k] = old[sources[k]];
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
