// Stage 5: the four corners of the layer now on top to their places, in any twist. Cell 9,
// the corner slot that stages 2 and 3 left free, is the working slot; the corner that belongs
// there (colours F, R and D) is the working corner and comes home at the same time.

#include <array>
#include <utility>

#include "solver/stages.h"

namespace velmo::solver {

namespace {

// The four top corner places, positions 1..4: front right, back right, back left, front left.
constexpr std::array<int, 5> kCornerCell = {0, 3, 20, 18, 1};

class BottomCorners {
public:
    explicit BottomCorners(TVelmo& cube)
        : cube_(cube),
          T(TopColour(cube)),
          F(FrontColour(cube)),
          R(RightColour(cube)),
          B(BackColour(cube)),
          L(LeftColour(cube)),
          D(BottomColour(cube)),
          // The two side colours of each position's corner besides T.
          sides_{{{0, 0}, {F, R}, {R, B}, {B, L}, {L, F}}} {}

    void Run();

private:
    int CountPlacedCorners();
    int FindWorkingCorner() const;
    std::pair<int, int> CornerSideColours(int cell) const;
    int CornerPlace(int a, int b) const;
    void CycleCornerA(int s, int d);
    void CycleCornerB(int s, int d);

    TVelmo& cube_;
    const int T, F, R, B, L, D;
    const std::array<std::pair<int, int>, 5> sides_;
    std::array<bool, 5> inOrder_{};
};

constexpr std::string_view kRightFrontMacro = "(П Ф' П' Ф)";
constexpr std::string_view kRightFrontTurns = "П Ф' П' Ф";
constexpr std::string_view kFrontRightMacro = "(Ф' П Ф П')";
constexpr std::string_view kFrontRightTurns = "Ф' П Ф П'";

void BottomCorners::Run() {
    int g = 0;
    int passes = 25;
    do {
        g = CountPlacedCorners();
        if (g != 4) {
            // Three corners in order with the fourth out of place means two blocks exchanged:
            // turns cannot reach that, so no destination is tried.
            if (g == 3) FailUnsolvable();
            const int l = FindWorkingCorner();
            if (l == 0) {
                // The working corner is in cell 9.
                int s = 1, d = 1;
                for (int p = 1; p <= 4; ++p)
                    if (!inOrder_[p]) {
                        s = p;
                        break;
                    }
                for (int p = 4; p >= 1; --p)
                    if (!inOrder_[p] && p != s) {
                        d = p;
                        break;
                    }
                CycleCornerA(s, d);
            } else {
                // A top corner is in cell 9: it goes home to position r.
                const auto [a, b] = CornerSideColours(9);
                const int r = CornerPlace(a, b);
                int d = 1;
                for (int p = 4; p >= 1; --p)
                    if (!inOrder_[p] && p != r && (g == 2 || p != l)) {
                        d = p;
                        break;
                    }
                if (cube_.Colour(9, kRight) == T) CycleCornerB(r, d);
                else CycleCornerA(r, d);
            }
            g = CountPlacedCorners();
        }
        --passes;
    } while (g != 4 && passes > 0);
    if (g != 4) FailUnsolvable();
}

// A position is in order when its cell holds its corner, in any twist.
int BottomCorners::CountPlacedCorners() {
    int g = 0;
    for (int p = 1; p <= 4; ++p) {
        inOrder_[p] = CellHasColours(cube_, kCornerCell[p], T, sides_[p].first, sides_[p].second);
        g += inOrder_[p];
    }
    return g;
}

// The position whose cell holds the working corner (the last match), 0 when it is not on top.
int BottomCorners::FindWorkingCorner() const {
    int l = 0;
    for (int p = 1; p <= 4; ++p)
        if (CellHasColours(cube_, kCornerCell[p], F, R, D)) l = p;
    return l;
}

// The colours of the block other than 0 and T, in slot order: the first and the last.
std::pair<int, int> BottomCorners::CornerSideColours(int cell) const {
    int first = 0, last = 0;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const int colour = cube_.Colour(cell, slot);
        if (colour == 0 || colour == T) continue;
        if (first == 0) first = colour;
        last = colour;
    }
    return {first, last};
}

// The position of the corner with side colours a and b, in either order; 0 when none.
int BottomCorners::CornerPlace(int a, int b) const {
    for (int p = 1; p <= 4; ++p) {
        const auto [x, y] = sides_[p];
        if ((a == x && b == y) || (a == y && b == x)) return p;
    }
    return 0;
}

// Exchanges corners through the working slot below the front-right corner: the corner at
// position s goes down into it, then the one at position d (moved with the layer) comes up.
// The whole cycle shows as one line: turns and the macros' texts.
void BottomCorners::CycleCornerA(int s, int d) {
    Log(cube_).AddMessage("");
    int q = 0;
    BringToFront(cube_, s, q);
    MacroAppended(cube_, kRightFrontMacro, kRightFrontTurns);
    BringToFront(cube_, ShiftPosition(d, q), q);
    MacroAppended(cube_, kFrontRightMacro, kFrontRightTurns);
    UndoTopTurns(cube_, q);
}

// The same with the two macros exchanged, for a corner in cell 9 that shows T on the right.
void BottomCorners::CycleCornerB(int s, int d) {
    Log(cube_).AddMessage("");
    int q = 0;
    BringToFront(cube_, s, q);
    MacroAppended(cube_, kFrontRightMacro, kFrontRightTurns);
    BringToFront(cube_, ShiftPosition(d, q), q);
    MacroAppended(cube_, kRightFrontMacro, kRightFrontTurns);
    UndoTopTurns(cube_, q);
}

}  // namespace

void SolveBottomCorners(TVelmo& cube) {
    Log(cube).AddMessage("");
    Log(cube).AddMessage("Этап 5. Неориентированный нижний слой");
    Log(cube).AddMessage("");
    BottomCorners(cube).Run();
}

}  // namespace velmo::solver
