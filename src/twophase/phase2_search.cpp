// Phase 2: from a phase-1 solution to the start position, with the ten phase-2 moves, by the
// corner, edge and slice permutations.

#include <algorithm>

#include "twophase/coordinates.h"
#include "twophase/search_state.h"

namespace velmo::twophase {

int TwoPhaseSearch::Phase2Estimate(int cornerPerm, int edgePerm, int slicePerm) const {
    const DistanceTables& d = tables_.distances;
    return std::max(d.cornerSlice[cornerPerm * kSlicePerms + slicePerm],
                    d.edgeSlice[edgePerm * kSlicePerms + slicePerm]);
}

bool TwoPhaseSearch::StartPhase2(int depth1) {
    const int maxLength = std::min(best_ - 1 - depth1, kMaxPhase2Length);
    if (maxLength < 0) return false;
    const MoveTables& m = tables_.moves;
    for (int k = coordinatesValid_; k < depth1; ++k) {
        cornerPerm_[k + 1] = m.cornerPermAll[cornerPerm_[k] * kMoves + path1_[k]];
        sliceSorted_[k + 1] = m.sliceSorted[sliceSorted_[k] * kMoves + path1_[k]];
    }
    coordinatesValid_ = depth1;
    // Most phase-1 solutions end here: the corners alone show that phase 2 would be too long.
    const int cornerPerm = cornerPerm_[depth1], slicePerm = sliceSorted_[depth1];
    if (tables_.distances.cornerSlice[cornerPerm * kSlicePerms + slicePerm] > maxLength) return false;
    for (int k = cubesValid_; k < depth1; ++k) cube_[k + 1] = Multiply(cube_[k], MoveCubes()[path1_[k]]);
    cubesValid_ = depth1;
    const int edgePerm = EdgePerm(cube_[depth1]);
    const int estimate = Phase2Estimate(cornerPerm, edgePerm, slicePerm);
    const int lastFace = depth1 > 0 ? path1_[depth1 - 1] / 3 : -1;
    for (int length = estimate; length <= maxLength; ++length) {
        if (!Phase2(cornerPerm, edgePerm, slicePerm, 0, length, lastFace)) continue;
        if (end_ != End::kNone) return true;
        Record(depth1, length);
        if (best_ <= options_.target && depth1 > kFullySearchedDepth) end_ = End::kTarget;
        return end_ != End::kNone;
    }
    return end_ != End::kNone;
}

bool TwoPhaseSearch::Phase2(int cornerPerm, int edgePerm, int slicePerm, int depth, int togo,
                            int lastFace) {
    if (togo == 0) return cornerPerm == 0 && edgePerm == 0 && slicePerm == 0;
    const MoveTables& m = tables_.moves;
    const auto& moves = Phase2MoveIndices();
    for (int i = 0; i < kPhase2Moves; ++i) {
        const int face = moves[i] / 3;
        if (Redundant(face, lastFace)) continue;
        if (!Step()) return true;
        const int c = m.cornerPerm[cornerPerm * kPhase2Moves + i];
        const int s = m.slicePerm[slicePerm * kPhase2Moves + i];
        if (tables_.distances.cornerSlice[c * kSlicePerms + s] >= togo) continue;
        const int e = m.edgePerm[edgePerm * kPhase2Moves + i];
        if (tables_.distances.edgeSlice[e * kSlicePerms + s] >= togo) continue;
        path2_[depth] = moves[i];
        if (Phase2(c, e, s, depth + 1, togo - 1, face)) return true;
    }
    return false;
}

}  // namespace velmo::twophase
