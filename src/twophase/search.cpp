// The driver of the two-phase search: the directions, the growing phase-1 depth, the ends.

#include <algorithm>

#include "twophase/coordinates.h"
#include "twophase/facelet_cube.h"
#include "twophase/facelet_geometry.h"
#include "twophase/search_state.h"

namespace velmo::twophase {

TwoPhaseSearch::TwoPhaseSearch(const Tables& tables, const SearchOptions& options)
    : tables_(tables), options_(options), pacer_(options.poll) {}

bool TwoPhaseSearch::Check() {
    const auto now = std::chrono::steady_clock::now();
    if (!pacer_.PollIfDue(now)) end_ = End::kStopped;
    // The budget counts only once there is a solution to fall back on.
    else if (best_ <= kMaxLength && now > deadline_) end_ = End::kTimeUp;
    return end_ == End::kNone;
}

// The position itself, and turned so that its R-L and its F-B axis stand upright (the whole
// cube turned like Оф' brings R on top, like Оп brings F on top); each also inverted: a
// solution of the inverse, read backwards with every turn reversed, solves the position.
// Directions in which the position looks the same as in an earlier one are left out.
std::vector<TwoPhaseSearch::Direction> TwoPhaseSearch::Directions(const CubieCube& cube) const {
    std::vector<Direction> directions;
    const std::string facelets = FaceletsFromCubie(cube);
    for (const Rotation& rotation :
         {Rotation{}, Rotation{{Move::CubeFrontInv}}, Rotation{{Move::CubeRight}}}) {
        const CubieCube turned = *CubieFromFacelets(RotateFacelets(facelets, rotation, true));
        for (bool inverse : {false, true}) {
            Direction d;
            d.cube = inverse ? Inverse(turned) : turned;
            if (std::any_of(directions.begin(), directions.end(),
                            [&d](const Direction& other) { return other.cube == d.cube; }))
                continue;
            d.twist = Twist(d.cube);
            d.flip = Flip(d.cube);
            d.slice = Slice(d.cube);
            for (int face = 0; face < kFaces; ++face)
                d.originalFace[face] = FaceOfNormal(rotation.Undo(FaceNormal(face)));
            d.inverse = inverse;
            directions.push_back(d);
        }
    }
    return directions;
}

void TwoPhaseSearch::Record(int depth1, int depth2) {
    std::vector<FaceTurn> turns;
    for (int k = 0; k < depth1; ++k) turns.push_back(FaceTurn::OfIndex(path1_[k]));
    for (int k = 0; k < depth2; ++k) turns.push_back(FaceTurn::OfIndex(path2_[k]));
    if (direction_->inverse) {
        std::reverse(turns.begin(), turns.end());
        for (FaceTurn& turn : turns) turn.power = 4 - turn.power;
    }
    for (FaceTurn& turn : turns) turn.face = direction_->originalFace[turn.face];
    best_ = depth1 + depth2;
    bestTurns_ = std::move(turns);
}

SearchResult TwoPhaseSearch::Run(const CubieCube& cube) {
    deadline_ = std::chrono::steady_clock::now() + options_.budget;
    const std::vector<Direction> directions = Directions(cube);
    for (int depth1 = 0; depth1 < best_ && end_ == End::kNone; ++depth1) {
        if (best_ <= options_.target && depth1 > kFullySearchedDepth) break;
        for (const Direction& direction : directions) {
            if (Phase1Estimate(direction.twist, direction.flip, direction.slice) > depth1) continue;
            direction_ = &direction;
            cube_[0] = direction.cube;
            cornerPerm_[0] = CornerPerm(direction.cube);
            sliceSorted_[0] = SliceSorted(direction.cube);
            coordinatesValid_ = cubesValid_ = 0;
            if (Phase1(direction.twist, direction.flip, direction.slice, 0, depth1)) break;
        }
    }
    SearchResult result;
    result.stopped = end_ == End::kStopped;
    if (!result.stopped) result.turns = bestTurns_;
    return result;
}

SearchResult SearchSolution(const CubieCube& cube, const Tables& tables, const SearchOptions& options) {
    return TwoPhaseSearch(tables, options).Run(cube);
}

}  // namespace velmo::twophase
