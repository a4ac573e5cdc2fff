#pragma once
// Shared by the solver's tests: a headless cube with instant turns, positions built from
// facelet letters or random turns, and a test for the start position.

#include <initializer_list>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "headless/headless_host.h"
#include "headless/random_positions.h"
#include "model/cells.h"
#include "model/facelets.h"
#include "model/velmo.h"

namespace velmo::testing {

inline constexpr std::string_view kSolvedFacelets =
    "UUUUUUUUURRRRRRRRRFFFFFFFFFDDDDDDDDDLLLLLLLLLBBBBBBBBB";

// The solved letters with some facelets changed, each named like "U9".
inline std::string WithFacelets(std::initializer_list<std::pair<std::string_view, char>> changes,
                                std::string_view base = kSolvedFacelets) {
    std::string facelets(base);
    for (const auto& [label, letter] : changes) {
        const std::size_t face = kFaceOrder.find(label[0]);
        facelets.at(face * 9 + (label[1] - '1')) = letter;
    }
    return facelets;
}

// Positions that turns cannot reach, as a hand reassembly can build them.
// The front-top-right corner twisted a third of a turn.
inline std::string TwistedCorner() { return WithFacelets({{"U9", 'F'}, {"R1", 'U'}, {"F3", 'R'}}); }
// The front-top edge flipped.
inline std::string FlippedEdge() { return WithFacelets({{"U8", 'F'}, {"F2", 'U'}}); }
// The front-top and right-top edges exchanged.
inline std::string TwoEdgesExchanged() {
    return WithFacelets({{"F2", 'R'}, {"R2", 'F'}});
}
// The two front top corners exchanged, each as a top-layer turn would carry it.
inline std::string TwoCornersExchanged() {
    return WithFacelets({{"F3", 'L'}, {"R1", 'F'}, {"F1", 'R'}, {"L3", 'F'}});
}

// Every block with exactly its start colours: solved, in the start orientation, the logo on
// the top centre.
inline bool AtStart(const TVelmo& cube) {
    for (int cell = 1; cell <= kCellCount; ++cell)
        if (cube.Block(cell).Faces != StartFaces(cell)) return false;
    return true;
}

// A cube on a headless host whose automatic turns are instant.
struct InstantCube {
    InstantCube() : cube(host) {
        host.SetAutoTurnDuration(0);
        cube.LogTurns = host.DoLog();
    }
    const std::vector<std::string>& Lines() { return host.Log().Lines(); }

    HeadlessHost host;
    TVelmo cube;
};

}  // namespace velmo::testing
