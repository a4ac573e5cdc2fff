#pragma once
// The second solver: solutions of at most 20 face turns (a half turn counting as one) by the
// two-phase method, for positions given as the model's 54 facelet letters.

#include <string>
#include <string_view>
#include <vector>

#include "twophase/cubie.h"
#include "twophase/facelet_geometry.h"
#include "twophase/moves.h"
#include "twophase/search.h"
#include "twophase/tables.h"

namespace velmo::twophase {

// What a facelet string is, before any search.
struct Analysis {
    enum class Kind {
        kReachable,    // turns can bring it to the start position
        kUnreachable,  // a position of the cube's pieces that no turns reach
        kInvalid,      // not a position of this cube (see model/facelets.h)
    };
    Kind kind = Kind::kInvalid;
    Reach reach = Reach::kReachable;  // for kUnreachable, why
    Rotation rotation;                // the whole-cube turns that bring the centres home
    CubieCube cube;                   // the position after them
};
Analysis Analyse(std::string_view facelets);

struct Solution {
    enum class Status { kSolved, kUnreachable, kInvalid, kStopped };
    Status status = Status::kInvalid;
    Rotation rotation;            // made first; not counted
    std::vector<FaceTurn> turns;  // then these, which end at the start position
};

// Analyses the string and, when it is reachable, searches with the tables.
Solution SolveFacelets(std::string_view facelets, const Tables& tables,
                       const SearchOptions& options = {});

}  // namespace velmo::twophase
