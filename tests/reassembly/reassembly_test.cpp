// Taking the cube apart, placing, twisting and removing blocks, and how the mode ends.

#include <gtest/gtest.h>

#include <algorithm>

#include "log/message_log.h"
#include "solver/solver.h"
#include "test_support.h"

namespace velmo {
namespace {

using testing::AtStart;
using testing::TakenApartCube;

using Faces = std::array<int, kSlotCount>;

TEST(Reassembly, EveryBlockPlacedHomeGivesTheStartPositionAndDone) {
    TakenApartCube c;
    for (int cell : kCornerCells) c.Place(cell, cell);
    for (int cell : kEdgeCells) {
        EXPECT_FALSE(c.tools.ShowsOk()) << "before block " << cell;
        c.Place(cell, cell);
    }
    EXPECT_EQ(c.tools.MissingCount(), 0);
    EXPECT_TRUE(c.tools.ShowsOk());

    c.cube.UserLineOpen = true;
    const std::size_t lines = c.host.Log().Lines().size();
    c.tools.FormClose();
    EXPECT_EQ(c.host.Log().Lines().size(), lines + 1);
    EXPECT_EQ(c.LastLine(), "Пользователь пересложил Кубик Вельмо");
    EXPECT_FALSE(c.cube.UserLineOpen);
    EXPECT_EQ(c.cube.PickedCell, -1);
    EXPECT_TRUE(AtStart(c.cube));
}

// Closing early throws the work away; a stop asked for during that reset still leaves the
// start position and closed tools, so a second close does not reset again.
TEST(Reassembly, ClosingWithBlocksMissingResetsToTheStartPosition) {
    TakenApartCube c;
    c.Place(3, 9);
    c.Rotate(9);
    c.Place(2, 25);
    c.tools.FormClose();
    EXPECT_EQ(c.LastLine(), "Переход в исходную позицию");
    EXPECT_TRUE(AtStart(c.cube));
    EXPECT_EQ(c.cube.PickedCell, -1);

    TakenApartCube stopped;
    stopped.Place(26, 1);
    stopped.host.RequestStop();
    EXPECT_THROW(stopped.tools.FormClose(), RunStopped);
    EXPECT_TRUE(stopped.tools.Closed());
    EXPECT_TRUE(AtStart(stopped.cube));
    const std::size_t lines = stopped.host.Log().Lines().size();
    stopped.tools.FormClose();
    EXPECT_EQ(stopped.host.Log().Lines().size(), lines);
}

TEST(Reassembly, ABlockButtonIsOffOncePlacedAndOnAgainWhenItsBlockComesOut) {
    TakenApartCube c;
    c.Place(3, 9);
    c.Place(2, 25);
    EXPECT_FALSE(c.tools.BlockButtonEnabled(3));
    EXPECT_FALSE(c.tools.BlockButtonEnabled(2));
    EXPECT_TRUE(c.tools.BlockButtonEnabled(9));
    EXPECT_EQ(c.tools.MissingCount(), 18);
    EXPECT_EQ(c.tools.DownTool(), Tool::Arrow);
    EXPECT_EQ(c.cube.PickFilter, 0);
    // A disabled button chooses nothing.
    c.tools.BlockClick(BlockButtonTag(3));
    EXPECT_EQ(c.tools.ToolState(), 0);

    c.Rotate(9);
    c.Remove(9);
    c.Remove(25);
    EXPECT_TRUE(c.tools.BlockButtonEnabled(3));
    EXPECT_TRUE(c.tools.BlockButtonEnabled(2));
    EXPECT_FALSE(c.cube.Block(9).InCube);
    EXPECT_FALSE(c.cube.Block(25).InCube);
    EXPECT_EQ(c.tools.MissingCount(), 20);

    // "Заново" takes out whatever is in and enables every button again.
    c.Place(3, 3);
    c.Place(2, 2);
    c.tools.RotateClick();
    c.tools.VelmoHandClick();
    for (int cell = 1; cell <= kCellCount; ++cell) {
        EXPECT_EQ(c.cube.Block(cell).InCube, IsCentreCell(cell)) << cell;
        EXPECT_EQ(c.tools.BlockButtonEnabled(cell), !IsCentreCell(cell)) << cell;
    }
    EXPECT_EQ(c.tools.MissingCount(), 20);
    EXPECT_EQ(c.tools.DownTool(), Tool::Arrow);
    EXPECT_EQ(c.cube.PickFilter, 0);
}

// Presses that reach the tools with a cell the tool cannot act on (a centre, an empty cell, a
// cell of the other kind, a taken one) change neither the cube nor the count.
TEST(Reassembly, ClicksThatCannotActChangeNothing) {
    TakenApartCube c;
    c.Place(1, 1);
    const Faces centre = c.cube.Block(5).Faces;
    c.Remove(5);
    c.Remove(7);
    c.Rotate(5);
    c.Place(3, 2);  // a corner into an edge cell
    c.Place(3, 1);  // into the taken cell
    c.tools.ArrowClick();
    c.ClickOn(1);
    EXPECT_TRUE(c.cube.Block(5).InCube);
    EXPECT_EQ(c.cube.Block(5).Faces, centre);
    EXPECT_EQ(c.cube.Block(1).Faces, StartFaces(1));
    EXPECT_FALSE(c.cube.Block(2).InCube);
    EXPECT_EQ(c.tools.MissingCount(), 19);
    EXPECT_TRUE(c.tools.BlockButtonEnabled(3));
}

TEST(Reassembly, ThreeTwistsOfACornerAndTwoFlipsOfAnEdgeRestoreIt) {
    TakenApartCube c;
    for (int cell = 1; cell <= kCellCount; ++cell) c.Place(cell, cell);
    const auto sorted = [](Faces f) {
        std::ranges::sort(f);
        return f;
    };
    // In corner 1 the left colour goes to the top, top to front, front to left.
    c.Rotate(1);
    EXPECT_EQ(c.cube.Block(1).Faces, (Faces{2, 6, 0, 0, 0, 1}));
    c.Rotate(1, 2);
    for (int cell = 1; cell <= kCellCount; ++cell) {
        if (IsCentreCell(cell)) continue;
        SCOPED_TRACE(cell);
        const Faces start = c.cube.Block(cell).Faces;
        c.Rotate(cell);
        const Faces once = c.cube.Block(cell).Faces;
        EXPECT_NE(once, start);
        EXPECT_EQ(sorted(once), sorted(start));
        for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_EQ(once[slot] != 0, start[slot] != 0);
        c.Rotate(cell, IsCornerCell(cell) ? 2 : 1);
        EXPECT_EQ(c.cube.Block(cell).Faces, start);
        EXPECT_EQ(c.cube.Block(cell).Matrix, CellMatrix(cell));
        EXPECT_TRUE(c.cube.Block(cell).InCube);
    }
}

// The colours worked out by hand from the whole-cube rotations through cell 3.
TEST(Reassembly, ABlockPlacedInAnotherCellArrivesTurnedAsTheRotationsThroughCell3Give) {
    TakenApartCube c;
    c.Place(1, 3);
    EXPECT_EQ(c.cube.Block(3).Faces, (Faces{6, 2, 1, 0, 0, 0}));
    c.Place(26, 7);
    EXPECT_EQ(c.cube.Block(7).Faces, (Faces{4, 0, 0, 0, 5, 3}));
    c.Place(24, 18);
    EXPECT_EQ(c.cube.Block(18).Faces, (Faces{0, 4, 0, 5, 0, 6}));
    c.Place(2, 25);  // an edge: its colours to the cell's outward faces in slot order
    EXPECT_EQ(c.cube.Block(25).Faces, (Faces{0, 0, 0, 1, 2, 0}));
    EXPECT_EQ(c.cube.Block(25).Matrix, CellMatrix(25));
}

TEST(Reassembly, SwappedCornersAreAcceptedAndTheSolverFindsThemOut) {
    TakenApartCube c;
    c.Place(1, 3);
    c.Place(3, 1);
    for (int cell : kCornerCells)
        if (cell != 1 && cell != 3) c.Place(cell, cell);
    for (int cell : kEdgeCells) c.Place(cell, cell);
    c.tools.FormClose();
    EXPECT_EQ(c.LastLine(), "Пользователь пересложил Кубик Вельмо");

    EXPECT_FALSE(Solve(c.cube));
    ASSERT_EQ(c.host.Warnings().size(), 1u);
    EXPECT_EQ(c.host.Warnings()[0].text, "Кубик Вельмо собрать невозможно!");
}

}  // namespace
}  // namespace velmo
