#pragma once
// The state of one two-phase search, shared by the files of its parts: the driver over depths
// and directions (search.cpp), phase 1 (phase1_search.cpp) and phase 2 (phase2_search.cpp).

#include <array>
#include <chrono>

#include "twophase/search.h"

namespace velmo::twophase {

class TwoPhaseSearch {
public:
    TwoPhaseSearch(const Tables& tables, const SearchOptions& options);
    SearchResult Run(const CubieCube& cube);

private:
    // The position as one direction sees it, and how to read its solutions back.
    struct Direction {
        CubieCube cube;
        int twist = 0, flip = 0, slice = 0;
        std::array<int, 6> originalFace{};  // the face of the position each face here stands for
        bool inverse = false;
    };
    enum class End { kNone, kTarget, kTimeUp, kStopped };

    static constexpr int kMaxLength = 31;  // no two-phase total is longer
    // Phase 2 needs up to 18 moves, but short totals come from long phase-1 solutions with
    // short phase-2 ones: searching no deeper than this leaves more time for those (on random
    // positions the median search to a total of 20 looks at about a third as many positions
    // as with no limit).
    static constexpr int kMaxPhase2Length = 11;
    // A position a few turns from the start should come back in those few, not in any total
    // of at most the target that turns up first: phase-1 depths up to this one are searched in
    // full (a millisecond or so) before such a total ends the search. Every solution of up to
    // this many moves is then found, so positions that close get their fewest moves.
    static constexpr int kFullySearchedDepth = 8;

    std::vector<Direction> Directions(const CubieCube& cube) const;
    int Phase1Estimate(int twist, int flip, int slice) const;
    int Phase2Estimate(int cornerPerm, int edgePerm, int slicePerm) const;
    // Both return true when the search is to end (end_ says why, or a phase 2 was found).
    bool Phase1(int twist, int flip, int slice, int depth, int togo);
    bool StartPhase2(int depth1);
    bool Phase2(int cornerPerm, int edgePerm, int slicePerm, int depth, int togo, int lastFace);
    void Record(int depth1, int depth2);
    // Counts a node; false when the search must end. Inline: it runs for every node.
    bool Step() {
        if ((++nodes_ & kNodesPerCheck) != 0) return true;
        return Check();
    }
    // Every 1024 nodes: the poll, the budget.
    bool Check();
    static constexpr std::uint64_t kNodesPerCheck = 1023;

    const Tables& tables_;
    SearchOptions options_;
    Pacer pacer_;
    std::chrono::steady_clock::time_point deadline_;
    const Direction* direction_ = nullptr;
    std::array<int, kMaxLength> path1_{}, path2_{};
    // After the first k phase-1 moves: the corner perm and the slice sorted coordinate, known
    // for k up to coordinatesValid_, and the position, known for k up to cubesValid_. Phase-1
    // solutions one after another share most of their moves.
    std::array<int, kMaxLength + 1> cornerPerm_{}, sliceSorted_{};
    std::array<CubieCube, kMaxLength + 1> cube_{};
    int coordinatesValid_ = 0, cubesValid_ = 0;
    int best_ = kMaxLength + 1;
    std::vector<FaceTurn> bestTurns_;
    End end_ = End::kNone;
    std::uint64_t nodes_ = 0;
};

// Faces of one axis: U-D, R-L, F-B.
inline int AxisOf(int face) { return face % 3; }
// Turns of one face in a row, or of opposite faces in the order D before U (either order
// gives the same), never help.
inline bool Redundant(int face, int lastFace) {
    return lastFace >= 0 && (face == lastFace || (AxisOf(face) == AxisOf(lastFace) && face < lastFace));
}

}  // namespace velmo::twophase
