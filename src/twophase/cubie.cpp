#include "twophase/cubie.h"

namespace velmo::twophase {

CubieCube Multiply(const CubieCube& a, const CubieCube& b) {
    CubieCube r;
    // The piece b brings to position k comes from position b.cp[k]; it keeps the twist it had
    // there and gains the one b gives it on the way.
    for (int k = 0; k < kCorners; ++k) {
        r.cp[k] = a.cp[b.cp[k]];
        r.co[k] = static_cast<std::uint8_t>((a.co[b.cp[k]] + b.co[k]) % 3);
    }
    for (int k = 0; k < kEdges; ++k) {
        r.ep[k] = a.ep[b.ep[k]];
        r.eo[k] = static_cast<std::uint8_t>(a.eo[b.ep[k]] ^ b.eo[k]);
    }
    return r;
}

CubieCube Inverse(const CubieCube& c) {
    CubieCube r;
    for (int k = 0; k < kCorners; ++k) {
        r.cp[c.cp[k]] = static_cast<std::uint8_t>(k);
        r.co[c.cp[k]] = static_cast<std::uint8_t>((3 - c.co[k]) % 3);
    }
    for (int k = 0; k < kEdges; ++k) {
        r.ep[c.ep[k]] = static_cast<std::uint8_t>(k);
        r.eo[c.ep[k]] = c.eo[k];
    }
    return r;
}

namespace {

template <std::size_t N>
int Parity(const std::array<std::uint8_t, N>& p) {
    int inversions = 0;
    for (std::size_t i = 0; i < N; ++i)
        for (std::size_t j = i + 1; j < N; ++j) inversions += p[i] > p[j];
    return inversions & 1;
}

}  // namespace

int CornerParity(const CubieCube& c) { return Parity(c.cp); }
int EdgeParity(const CubieCube& c) { return Parity(c.ep); }

Reach Reachability(const CubieCube& c) {
    int twist = 0, flip = 0;
    for (int t : c.co) twist += t;
    for (int f : c.eo) flip += f;
    if (twist % 3 != 0) return Reach::kTwistedCorner;
    if (flip % 2 != 0) return Reach::kFlippedEdge;
    if (CornerParity(c) != EdgeParity(c)) return Reach::kSwappedPieces;
    return Reach::kReachable;
}

}  // namespace velmo::twophase
