// Stages 1 and 2: the top cross and three of the four top corners. Both work on the front
// side and bring the next target to the front with "Ов" after each block.

#include "solver/stages.h"

namespace velmo::solver {

namespace {

// After a find on look j of the search, the piece now in the bottom layer goes back below the
// front (cell 8 or 9) and the cube back to the orientation it had at the start of the block.
void FinishSearch(TVelmo& cube, int j) {
    switch (j) {
        case 0: Turns(cube, "Н"); break;
        case 1: Turns(cube, "Ов'"); break;
        case 2: Turns(cube, "Н' Ов' Ов'"); break;
        case 3: Turns(cube, "Н' Н' Ов"); break;
    }
}

}  // namespace

void SolveTopCross(TVelmo& cube) {
    Log(cube).AddMessage("");
    Log(cube).AddMessage("Этап 1. Верхний крест");
    Log(cube).AddMessage("");
    for (int i = 1; i <= 4; ++i) {
        BlockLine(cube, i);
        // The edge carrying U and F belongs in cell 2, U on top and F in front.
        const int U = TopColour(cube), F = FrontColour(cube);
        const auto edgeIn = [&](int cell) { return CellHasColours(cube, cell, U, F, 0); };
        if (cube.Colour(2, kTop) == U && cube.Colour(2, kFront) == F) {
            Turns(cube, "Ов");
            continue;
        }
        if (!edgeIn(4) && !edgeIn(6) && !edgeIn(8)) {
            for (int j = 0; j <= 3; ++j) {
                bool found = true;
                if (edgeIn(2)) Turns(cube, "Ф Ф Н'");
                else if (edgeIn(6) && j < 3) Turns(cube, "Ф Н' Ф'");
                else if (edgeIn(8)) Turns(cube, "Н'");
                else found = false;
                if (found) {
                    FinishSearch(cube, j);
                    break;
                }
                // Four of these bring the cube back when the edge is not found.
                Turns(cube, "Ов");
            }
        }
        // Bring the edge up from where it now stands.
        if (edgeIn(4)) {
            if (cube.Colour(4, kFront) == F) Turns(cube, "Ф");
            else Turns(cube, "В Л' В'");
        } else if (edgeIn(6)) {
            if (cube.Colour(6, kFront) == F) Turns(cube, "Ф'");
            else Turns(cube, "В' П В");
        } else if (edgeIn(8)) {
            if (cube.Colour(8, kFront) == F) Turns(cube, "Ф' Ф'");
            else Turns(cube, "Н Сп' Н' Сп");
        }
        Turns(cube, "Ов");
    }
}

void SolveTopCorners(TVelmo& cube) {
    Log(cube).AddMessage("");
    Log(cube).AddMessage("Этап 2. Неполный верхний слой");
    Log(cube).AddMessage("");
    Log(cube).AddMessage("");
    Turns(cube, "Ов");
    // Three corners only: the fourth slot is the working space of stages 3 and 4.
    for (int i = 1; i <= 3; ++i) {
        BlockLine(cube, i);
        // The corner carrying U, F and R belongs in cell 3: U on top, F in front, R right.
        const int U = TopColour(cube), F = FrontColour(cube), R = RightColour(cube);
        const auto cornerIn = [&](int cell) { return CellHasColours(cube, cell, U, F, R); };
        if (cube.Colour(3, kTop) == U && cube.Colour(3, kFront) == F &&
            cube.Colour(3, kRight) == R) {
            Turns(cube, "Ов");
            continue;
        }
        if (!cornerIn(9)) {
            for (int j = 0; j <= 3; ++j) {
                bool found = true;
                if (cornerIn(3)) Turns(cube, "П' Н' П");
                else if (cornerIn(9)) Turns(cube, "Н'");
                else found = false;
                if (found) {
                    FinishSearch(cube, j);
                    break;
                }
                Turns(cube, "Ов");
            }
        }
        // The corner is in cell 9; insert it by the side that shows U.
        if (cube.Colour(9, kFront) == U) Turns(cube, "Н' П' Н П");
        else if (cube.Colour(9, kRight) == U) Turns(cube, "Н Ф Н' Ф'");
        else if (cube.Colour(9, kBottom) == U) Turns(cube, "Н Сф' П П Сф");
        Turns(cube, "Ов");
    }
}

}  // namespace velmo::solver
