// Stage 6: the final twists. First the working corner in cell 9, then the four top corners,
// each twisted in cell 3 while the top turns past it. A twist also disturbs the two lower
// layers; they come whole again exactly when the twists add up to a multiple of three, which
// is also the test for a cube with one corner twisted by hand.

#include "solver/stages.h"

namespace velmo::solver {

namespace {

// Twists the corner in cell 3 by a third of a turn: slot 1's colour to slot 2, 2 to 3, 3 to 1.
void TwistCorner(TVelmo& cube) { MacroAppended(cube, "(П Ф' П' Ф)2", "П Ф' П' Ф П Ф' П' Ф"); }

// The exact inverse of TwistCorner.
void TwistCornerBack(TVelmo& cube) { MacroAppended(cube, "(Ф' П Ф П')2", "Ф' П Ф П' Ф' П Ф П'"); }

}  // namespace

void OrientCorners(TVelmo& cube) {
    Log(cube).AddMessage("");
    Log(cube).AddMessage("Этап 6. Окончательное ориентирование блоков");
    Log(cube).AddMessage("");
    const int R = RightColour(cube);
    if (cube.Colour(9, kRight) != R) {
        // The working corner is twisted: bring it to cell 3, the former right face on top.
        Log(cube).AddMessage("");
        Turns(cube, "Оф'");
        Log(cube).AddMessage("");
        if (cube.Colour(3, kFront) == R) {
            TwistCorner(cube);
            Turns(cube, "В'");
            TwistCornerBack(cube);
            Turns(cube, "В");
        } else {
            TwistCornerBack(cube);
            Turns(cube, "В'");
            TwistCorner(cube);
            Turns(cube, "В");
        }
        Log(cube).AddMessage("");
        Turns(cube, "Оф");
    }
    Log(cube).AddMessage("");
    const int T = TopColour(cube);
    int n = 0;
    for (int corner = 0; corner < 4; ++corner) {
        if (cube.Colour(3, kFront) == T) {
            TwistCorner(cube);
            ++n;
        } else if (cube.Colour(3, kRight) == T) {
            TwistCornerBack(cube);
            --n;
        }
        Turns(cube, "В");
    }
    if (n % 3 != 0) FailUnsolvable();
}

}  // namespace velmo::solver
