#pragma once
// Shared by the reassembly tests: a headless cube whose animations take no real time, and the
// user's clicks on the tool window and the cube.

#include <array>
#include <string>
#include <vector>

#include "headless/headless_host.h"
#include "headless/random_positions.h"
#include "model/velmo.h"
#include "reassembly/reassembly.h"
#include "reassembly/reassembly_tools.h"

namespace velmo::testing {

// A cube in the reassembly mode, every block out, the tool window's state just created.
struct TakenApartCube {
    // The moves are made first, at once and unlogged.
    explicit TakenApartCube(const std::vector<Move>& movesFirst = {})
        : cube(host), tools(TakeApartAfter(movesFirst)) {}

    // A click on the cube while cell p is highlighted.
    void ClickOn(int p) {
        cube.PickedCell = p;
        tools.HandleReassemblyClick();
    }
    // Block n's button, then a click on cell p.
    void Place(int n, int p) {
        tools.BlockClick(BlockButtonTag(n));
        ClickOn(p);
    }
    void Rotate(int p, int times = 1) {
        tools.RotateClick();
        for (int i = 0; i < times; ++i) ClickOn(p);
    }
    void Remove(int p) {
        tools.DeleteClick();
        ClickOn(p);
    }
    const std::string& LastLine() { return host.Log().Lines().back(); }

    HeadlessHost host;
    TVelmo cube;
    // The colours each cell showed before the cube was taken apart.
    std::array<std::array<int, kSlotCount>, kCellCount + 1> shownBefore{};
    TReassemblyTools tools;

private:
    TVelmo& TakeApartAfter(const std::vector<Move>& moves) {
        host.SetAutoTurnDuration(0);
        cube.LogTurns = host.DoLog();
        MakeMoves(cube, moves);
        for (int cell = 1; cell <= kCellCount; ++cell) shownBefore[cell] = cube.Block(cell).Faces;
        StartReassembly(cube);
        return cube;
    }
};

inline bool AtStart(const TVelmo& cube) {
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const TBlock& b = cube.Block(cell);
        if (b.Faces != StartFaces(cell) || !b.InCube || b.Matrix != CellMatrix(cell)) return false;
    }
    return true;
}

}  // namespace velmo::testing
