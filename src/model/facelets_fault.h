#pragma once
// What keeps a facelet string from being a position of the cube, found once and worded in
// either language: velmo-cli speaks English, the window Russian.

#include <string>
#include <vector>

#include "model/facelets.h"

namespace velmo {

struct FaceletsFault {
    enum class Kind {
        None,
        BadLetter,          // letter number, its place ("U5", or "" past the 54th), the character
        WrongLength,        // the number of letters
        CentreTwice,        // first place, second place, the colour both show
        CentresNeighbours,  // place, its colour, the opposite place, its colour
        CentresMirrored,    // the colours up, in front and to the right
        UnknownPiece,       // the piece's places, its colours
        PieceTwice,         // the piece's colours, first places, second places
        MirroredCorner,     // the corner's places, its colours
    };
    Kind kind = Kind::None;
    std::vector<std::string> parts;
    bool corner = false;  // the piece of the last three kinds is a corner (else an edge)
};

// The fault as one line; "" for Kind::None.
std::string DescribeFault(const FaceletsFault& fault, FaceletsLanguage language);

}  // namespace velmo
