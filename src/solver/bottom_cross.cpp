// Stage 4: the cross of the layer now on top. The middle slot that stage 3 left free (cell 6)
// is the working slot through which top edges are exchanged; the edge that belongs there
// (colours F and R) is the working edge.

#include <array>

#include "solver/stages.h"

namespace velmo::solver {

namespace {

// The four top edge places, positions 1..4: front, right, back, left.
constexpr std::array<int, 5> kEdgeCell = {0, 2, 12, 19, 10};
constexpr std::array<int, 5> kSideSlot = {0, kFront, kRight, kBack, kLeft};

class BottomCross {
public:
    explicit BottomCross(TVelmo& cube)
        : cube_(cube),
          T(TopColour(cube)),
          F(FrontColour(cube)),
          R(RightColour(cube)),
          B(BackColour(cube)),
          L(LeftColour(cube)),
          sideColour_{0, F, R, B, L} {}

    void Run();

private:
    int CountCrossEdges();
    int FindWorkingEdge() const;
    void CycleEdgeRight(int s, int d);
    void CycleEdgeFront(int s, int d);
    void BringToRight(int p, int& q);
    void TurnTopByTable(int position, int sideColour);

    TVelmo& cube_;
    const int T, F, R, B, L;
    const std::array<int, 5> sideColour_;
    std::array<bool, 5> inOrder_{};
};

void BottomCross::Run() {
    int n = 0;
    int passes = 25;
    do {
        n = CountCrossEdges();
        if (n == 0) {
            // No edge in order: turn the top so that the first edge the right way up but in a
            // wrong place comes home.
            Log(cube_).AddMessage("");
            for (int p = 1; p <= 4; ++p) {
                if (cube_.Colour(kEdgeCell[p], kTop) == T) {
                    TurnTopByTable(p, cube_.Colour(kEdgeCell[p], kSideSlot[p]));
                    break;
                }
            }
            n = CountCrossEdges();
        }
        if (n < 3) {
            const int h = FindWorkingEdge();
            if (h == 0) {
                int s = 2, d = 2;
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
                CycleEdgeRight(s, d);
            } else {
                // The cross edge in the working slot goes where its side colour belongs.
                int x = cube_.Colour(6, kFront);
                if (x == T) x = cube_.Colour(6, kRight);
                const int m = x == F ? 1 : x == R ? 2 : x == B ? 3 : x == L ? 4 : 1;
                int d = 1;
                for (int p = 4; p >= 1; --p)
                    if (!inOrder_[p] && p != m && (n == 2 || p != h)) {
                        d = p;
                        break;
                    }
                if (cube_.Colour(6, kFront) == T) CycleEdgeRight(m, d);
                else CycleEdgeFront(m, d);
            }
            n = CountCrossEdges();
        }
        if (n == 3) {
            const int h = FindWorkingEdge();
            int k = 0;
            for (int p = 1; p <= 4; ++p)
                if (!inOrder_[p]) {
                    k = p;
                    break;
                }
            if (k != 0) {
                if (h == 0) {
                    switch (k) {
                        case 2: Turns(cube_, "В"); break;
                        case 3: Turns(cube_, "В В"); break;
                        case 4: Turns(cube_, "В'"); break;
                    }
                    MacroOnNewLine(cube_, "((Ф' В Ф В') (В' П В П'))2 (В Ф' В' Ф)",
                                   "Ф' В Ф В' В' П В П' Ф' В Ф В' В' П В П' В Ф' В' Ф");
                } else if (cube_.Colour(6, kRight) == T) {
                    switch (k) {
                        case 1: Turns(cube_, "В'"); break;
                        case 3: Turns(cube_, "В"); break;
                        case 4: Turns(cube_, "В В"); break;
                    }
                    MacroOnNewLine(cube_, "(Ф' В' Ф В')2", "Ф' В' Ф В' Ф' В' Ф В'");
                } else {
                    switch (k) {
                        case 1: Turns(cube_, "В'"); break;
                        case 2: Turns(cube_, "В"); break;
                        case 3: Turns(cube_, "В В"); break;
                    }
                    MacroOnNewLine(cube_, "(П В П' В)2", "П В П' В П В П' В");
                }
            }
            n = CountCrossEdges();
        }
        --passes;
    } while (n != 4 && passes > 0);
    if (n != 4) FailUnsolvable();
}

// A position is in order when its cell shows T on top and its own side colour outside.
int BottomCross::CountCrossEdges() {
    int n = 0;
    for (int p = 1; p <= 4; ++p) {
        inOrder_[p] = cube_.Colour(kEdgeCell[p], kTop) == T &&
                      cube_.Colour(kEdgeCell[p], kSideSlot[p]) == sideColour_[p];
        n += inOrder_[p];
    }
    return n;
}

// The position whose cell holds the working edge (the last match), 0 when it is not on top.
int BottomCross::FindWorkingEdge() const {
    int h = 0;
    for (int p = 1; p <= 4; ++p)
        if (CellHasColours(cube_, kEdgeCell[p], F, R, 0)) h = p;
    return h;
}

// Turns the top so that the edge at position p, the right way up, comes to the position of
// its side colour c.
void BottomCross::TurnTopByTable(int p, int c) {
    switch (p) {
        case 1:
            if (c == R) Turns(cube_, "В'");
            else if (c == B) Turns(cube_, "В В");
            else if (c == L) Turns(cube_, "В");
            break;
        case 2:
            if (c == F) Turns(cube_, "В");
            else if (c == B) Turns(cube_, "В'");
            else if (c == L) Turns(cube_, "В В");
            break;
        case 3:
            if (c == F) Turns(cube_, "В В");
            else if (c == R) Turns(cube_, "В");
            else if (c == L) Turns(cube_, "В'");
            break;
        case 4:
            if (c == F) Turns(cube_, "В'");
            else if (c == R) Turns(cube_, "В В");
            else if (c == B) Turns(cube_, "В");
            break;
    }
}

// Position p to the right (position 2); q counts the net top turns in the sense of "В'".
void BottomCross::BringToRight(int p, int& q) {
    switch (p) {
        case 1: Turns(cube_, "В'"); q += 1; break;
        case 3: Turns(cube_, "В"); q += 3; break;
        case 4: Turns(cube_, "В В"); q += 2; break;
    }
}

// Exchanges edges through the working slot under the right top edge: the edge at position s
// goes down into it, then the edge at position d (moved with the layer) comes up instead.
void BottomCross::CycleEdgeRight(int s, int d) {
    Log(cube_).AddMessage("");
    int q = 0;
    BringToRight(s, q);
    Turns(cube_, "П");
    BringToRight(ShiftPosition(d, q), q);
    Turns(cube_, "П'");
    UndoTopTurns(cube_, q);
}

// The same through the working slot's front side.
void BottomCross::CycleEdgeFront(int s, int d) {
    Log(cube_).AddMessage("");
    int q = 0;
    BringToFront(cube_, s, q);
    Turns(cube_, "Ф'");
    BringToFront(cube_, ShiftPosition(d, q), q);
    Turns(cube_, "Ф");
    UndoTopTurns(cube_, q);
}

}  // namespace

void SolveBottomCross(TVelmo& cube) {
    Log(cube).AddMessage("");
    Log(cube).AddMessage("Этап 4. Нижний крест");
    Log(cube).AddMessage("");
    BottomCross(cube).Run();
}

}  // namespace velmo::solver
