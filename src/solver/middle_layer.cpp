// Stage 3: the cube upside down, so that the layer of stages 1 and 2 lies at the bottom, and
// three of the four middle edges. The free corner slot of the bottom layer is turned under the
// front-right column while an edge goes in, so that the insert disturbs no finished corner.

#include "solver/stages.h"

namespace velmo::solver {

namespace {

// Н(k): k quarter turns of the bottom layer; Н⁻(k) undoes them.
void BottomTurns(TVelmo& cube, int k) {
    switch (k % 4) {
        case 1: Turns(cube, "Н"); break;
        case 2: Turns(cube, "Н Н"); break;
        case 3: Turns(cube, "Н'"); break;
    }
}

void BottomTurnsBack(TVelmo& cube, int k) {
    switch (k % 4) {
        case 1: Turns(cube, "Н'"); break;
        case 2: Turns(cube, "Н' Н'"); break;
        case 3: Turns(cube, "Н"); break;
    }
}

}  // namespace

void SolveMiddleLayer(TVelmo& cube) {
    Log(cube).AddMessage("");
    Log(cube).AddMessage("Этап 3. Неполный средний слой");
    Log(cube).AddMessage("");
    Log(cube).AddMessage("");
    Turns(cube, "Оф' Оф'");
    for (int i = 1; i <= 3; ++i) {
        BlockLine(cube, i);
        // The edge carrying F and R belongs in cell 6, F in front and R to the right.
        const int F = FrontColour(cube), R = RightColour(cube);
        const auto edgeIn = [&](int cell) { return CellHasColours(cube, cell, F, R, 0); };
        if (cube.Colour(6, kFront) == F && cube.Colour(6, kRight) == R) {
            Turns(cube, "Ов");
            continue;
        }
        if (!edgeIn(2) && !edgeIn(10) && !edgeIn(12) && !edgeIn(19)) {
            // In the middle layer, in a wrong slot or flipped: lift it into the top layer.
            for (int j = 0; j <= 3; ++j) {
                if (edgeIn(6)) {
                    const int k = (i + j) % 4;
                    BottomTurns(cube, k);
                    Turns(cube, "П В П'");
                    BottomTurnsBack(cube, k);
                    switch (j) {
                        case 1: Turns(cube, "Ов'"); break;
                        case 2: Turns(cube, "Ов' Ов'"); break;
                        case 3: Turns(cube, "Ов"); break;
                    }
                    break;
                }
                Turns(cube, "Ов");
            }
        }
        // Above the slot: in cell 2 with F on top, or in cell 12 with R on top.
        if (edgeIn(2) && cube.Colour(2, kTop) == F) {
            // already there
        } else if (edgeIn(2) && cube.Colour(2, kTop) == R) {
            Turns(cube, "В'");
        } else if (edgeIn(10) && cube.Colour(10, kTop) == F) {
            Turns(cube, "В'");
        } else if (edgeIn(10) && cube.Colour(10, kTop) == R) {
            Turns(cube, "В' В'");
        } else if (edgeIn(19) && cube.Colour(19, kTop) == F) {
            Turns(cube, "В' В'");
        } else if (edgeIn(19) && cube.Colour(19, kTop) == R) {
            Turns(cube, "В");
        } else if (edgeIn(12) && cube.Colour(12, kTop) == F) {
            Turns(cube, "В");
        }
        BottomTurns(cube, i);
        if (edgeIn(2)) Turns(cube, "П В' П'");
        else if (edgeIn(12)) Turns(cube, "Ф' В Ф");
        BottomTurnsBack(cube, i);
        Turns(cube, "Ов");
    }
}

}  // namespace velmo::solver
