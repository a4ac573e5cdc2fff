#include "reassembly/reassembly.h"

#include <algorithm>
#include <cstdlib>
#include <span>

namespace velmo {

namespace {

constexpr std::array<int, kLooseBlockCount> kLooseCells = {
    1, 2, 3, 4, 6, 7, 8, 9, 10, 12, 15, 17, 18, 19, 20, 21, 23, 24, 25, 26,
};

constexpr int kHopSteps = 11;
constexpr float kHopStep = 0.25f;
constexpr float kHopBack = 2.5f;
constexpr std::uint32_t kHopSleepMs = 10;

// A quarter turn of one block's colours in place, named by the whole-cube turn whose colour
// movement it equals.
struct ColourTurn {
    Axis axis;
    int a;
};
constexpr ColourTurn kOv{Axis::Y, 1}, kOvInv{Axis::Y, -1};
constexpr ColourTurn kOf{Axis::Z, -1}, kOfInv{Axis::Z, 1};
constexpr ColourTurn kOp{Axis::X, 1};

// The turns that carry a corner standing in the cell to cell 3 as a whole-cube rotation
// would. Going through cell 3 gives every corner cell one common frame, so that a corner can
// be moved between any two corner cells, and twisted, in cell 3's terms.
std::span<const ColourTurn> ToCell3Turns(int cell) {
    static constexpr ColourTurn k1[] = {kOvInv};
    static constexpr ColourTurn k7[] = {kOf, kOf};
    static constexpr ColourTurn k9[] = {kOfInv};
    static constexpr ColourTurn k18[] = {kOv, kOv};
    static constexpr ColourTurn k20[] = {kOv};
    static constexpr ColourTurn k24[] = {kOv, kOv, kOp};
    static constexpr ColourTurn k26[] = {kOp, kOp};
    switch (cell) {
        case 1: return k1;
        case 7: return k7;
        case 9: return k9;
        case 18: return k18;
        case 20: return k20;
        case 24: return k24;
        case 26: return k26;
        default: return {};  // cell 3
    }
}

void TurnToCell3(TBlock& block, int cell, IModelHost& host) {
    for (const ColourTurn& t : ToCell3Turns(cell)) block.Rotate(t.axis, t.a, -1, host);
}

// The way back is the way there, reversed and each turn undone.
void TurnFromCell3(TBlock& block, int cell, IModelHost& host) {
    const std::span<const ColourTurn> turns = ToCell3Turns(cell);
    for (auto t = turns.rbegin(); t != turns.rend(); ++t) block.Rotate(t->axis, -t->a, -1, host);
}

bool SameKind(int cellA, int cellB) {
    return (IsCornerCell(cellA) && IsCornerCell(cellB)) || (IsEdgeCell(cellA) && IsEdgeCell(cellB));
}

Matrix4 CellTranslation(int cell, float scale) {
    const CellPos p = CellPosition(cell);
    return MatrixTranslation(scale * p.x, scale * p.y, scale * p.z);
}

// The edge's first and last stickers change places.
void FlipEdge(TBlock& block) {
    const auto sticker = [](int colour) { return colour != 0; };
    const auto first = std::find_if(block.Faces.begin(), block.Faces.end(), sticker);
    const auto last = std::find_if(block.Faces.rbegin(), block.Faces.rend(), sticker);
    std::iter_swap(first, last);
}

// In cell 3 the corner shows front, top and right: front goes to the top, top to the right,
// right to the front.
void TwistCorner(TBlock& block, int cell, IModelHost& host) {
    TurnToCell3(block, cell, host);
    std::array<int, kSlotCount>& f = block.Faces;
    const int front = f[kFront - 1], top = f[kTop - 1], right = f[kRight - 1];
    f[kTop - 1] = front;
    f[kRight - 1] = top;
    f[kFront - 1] = right;
    TurnFromCell3(block, cell, host);
}

}  // namespace

void TakeApart(TVelmo& cube) {
    std::array<int, kLooseBlockCount> order = kLooseCells;
    cube.SeedRandom(cube.Host().ClockSeed());
    for (int exchange = 0; exchange < 101; ++exchange) {
        const std::uint32_t i = cube.RandomBelow(kLooseBlockCount);
        const std::uint32_t j = cube.RandomBelow(kLooseBlockCount);
        std::swap(order[i], order[j]);
    }
    for (int cell : order)
        if (cube.Block(cell).InCube) cube.FlyOutBlock(cell);
}

void StartReassembly(TVelmo& cube) {
    TakeApart(cube);
    cube.PickFilter = 0;
}

bool HoldsLooseBlock(const TVelmo& cube, int cell) {
    return cell >= 1 && cell <= kCellCount && !IsCentreCell(cell) && cube.Block(cell).InCube;
}

bool CanTakeBlock(const TVelmo& cube, int cell, int n) {
    return cell >= 1 && cell <= kCellCount && n >= 1 && n <= kCellCount && SameKind(cell, n) &&
           !cube.Block(cell).InCube;
}

bool PlaceBlock(TVelmo& cube, int n) {
    const int p = cube.PickedCell;
    if (!CanTakeBlock(cube, p, n)) return false;
    TBlock& block = cube.Block(p);
    if (IsEdgeCell(p)) {
        // The cell's outward faces take n's two colours in slot order.
        const std::array<int, kSlotCount> outward = StartFaces(p), colours = StartFaces(n);
        int next = 0;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            block.Faces[slot] = 0;
            if (outward[slot] == 0) continue;
            while (colours[next] == 0) ++next;
            block.Faces[slot] = colours[next++];
        }
    } else {
        TBlock carried(n);
        TurnToCell3(carried, n, cube.Host());
        block.Faces = carried.Faces;
        TurnFromCell3(block, p, cube.Host());
    }
    cube.FlyInBlock(p);
    return true;
}

void RotateBlockInPlace(TVelmo& cube) {
    const int p = cube.PickedCell;
    if (!HoldsLooseBlock(cube, p)) return;
    IModelHost& host = cube.Host();
    TBlock& block = cube.Block(p);
    const Matrix4 out = CellTranslation(p, kHopStep), in = CellTranslation(p, -kHopStep);
    for (int i = 0; i < kHopSteps; ++i) {
        block.Matrix = block.Matrix * out;
        host.RenderFrame();
        host.Sleep(kHopSleepMs);
    }
    if (IsEdgeCell(p)) FlipEdge(block);
    else TwistCorner(block, p, host);
    cube.FlyInBlock(p);
    block.Matrix = block.Matrix * CellTranslation(p, kHopBack);
    host.RenderFrame();
    for (int i = 0; i < kHopSteps; ++i) {
        block.Matrix = block.Matrix * in;
        host.RenderFrame();
        host.Sleep(kHopSleepMs);
    }
    block.Matrix = CellMatrix(p);
}

int RemovePickedBlock(TVelmo& cube) {
    const int p = cube.PickedCell;
    if (!HoldsLooseBlock(cube, p)) return 0;
    std::array<int, 3> colours{};
    int k = 0;
    for (int colour : cube.Block(p).Faces)
        if (colour != 0 && k < 3) colours[k++] = colour;
    cube.FlyOutBlock(p);
    return FindHomeCell(colours[0], colours[1], colours[2]);
}

int FindHomeCell(int a, int b, int c) {
    std::array<int, 3> wanted = {std::abs(a), std::abs(b), std::abs(c)};
    std::sort(wanted.begin(), wanted.end());
    for (int cell = 1; cell <= kCellCount; ++cell) {
        std::array<int, 3> start{};
        int k = 0;
        for (int colour : StartFaces(cell))
            if (colour != 0) start[k++] = std::abs(colour);
        std::sort(start.begin(), start.end());
        if (start == wanted) return cell;
    }
    return 0;
}

}  // namespace velmo
