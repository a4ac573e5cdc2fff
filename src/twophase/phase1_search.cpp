// Phase 1: into the phase-2 group, by the twist, flip and slice coordinates.

#include <algorithm>

#include "twophase/coordinates.h"
#include "twophase/facelet_geometry.h"
#include "twophase/search_state.h"

namespace velmo::twophase {

int TwoPhaseSearch::Phase1Estimate(int twist, int flip, int slice) const {
    const DistanceTables& d = tables_.distances;
    return std::max({d.twistSlice[twist * kSlices + slice], d.flipSlice[flip * kSlices + slice],
                     d.twistFlip[twist * kFlips + flip]});
}

bool TwoPhaseSearch::Phase1(int twist, int flip, int slice, int depth, int togo) {
    if (togo == 0) {
        // A phase 1 that ends with a phase-2 move was found one depth earlier already; so was
        // a shorter one.
        if (depth > 0) {
            const FaceTurn last = FaceTurn::OfIndex(path1_[depth - 1]);
            if (AxisOf(last.face) == AxisOf(kU) || last.power == 2) return false;
        }
        return StartPhase2(depth);
    }
    const MoveTables& m = tables_.moves;
    const DistanceTables& d = tables_.distances;
    const int lastFace = depth > 0 ? path1_[depth - 1] / 3 : -1;
    for (int face = 0; face < kFaces; ++face) {
        if (Redundant(face, lastFace)) continue;
        for (int move = 3 * face; move < 3 * face + 3; ++move) {
            if (!Step()) return true;
            const int s = m.slice[slice * kMoves + move];
            const int t = m.twist[twist * kMoves + move];
            if (d.twistSlice[t * kSlices + s] >= togo) continue;
            const int f = m.flip[flip * kMoves + move];
            if (d.flipSlice[f * kSlices + s] >= togo || d.twistFlip[t * kFlips + f] >= togo)
                continue;
            path1_[depth] = move;
            coordinatesValid_ = std::min(coordinatesValid_, depth);
            cubesValid_ = std::min(cubesValid_, depth);
            if (Phase1(t, f, s, depth + 1, togo - 1)) return true;
        }
    }
    return false;
}

}  // namespace velmo::twophase
