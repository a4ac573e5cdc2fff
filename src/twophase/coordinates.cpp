#include "twophase/coordinates.h"

#include <array>

namespace velmo::twophase {

namespace {

constexpr int Binomial(int n, int k) {
    if (k < 0 || k > n) return 0;
    int r = 1;
    for (int i = 1; i <= k; ++i) r = r * (n - k + i) / i;
    return r;
}

// Permutation rank by inversion counts: entry i counts the earlier entries greater than p[i],
// weighted by i!. The identity ranks 0.
template <std::size_t N>
int PermRank(const std::array<std::uint8_t, N>& p) {
    int rank = 0, factorial = 1;
    for (std::size_t i = 1; i < N; ++i) {
        int greater = 0;
        for (std::size_t j = 0; j < i; ++j) greater += p[j] > p[i];
        rank += greater * factorial;
        factorial *= static_cast<int>(i + 1);
    }
    return rank;
}

template <std::size_t N>
std::array<std::uint8_t, N> PermOfRank(int rank) {
    std::array<int, N> counts{};
    int factorial = 1;
    for (std::size_t i = 1; i < N; ++i) factorial *= static_cast<int>(i);
    for (std::size_t i = N - 1; i >= 1; --i) {
        counts[i] = rank / factorial;
        rank %= factorial;
        factorial /= static_cast<int>(i);
    }
    // From the last entry back: it is the value with counts[i] greater ones still unused.
    std::array<std::uint8_t, N> remaining, p;
    for (std::size_t v = 0; v < N; ++v) remaining[v] = static_cast<std::uint8_t>(v);
    std::size_t left = N;
    for (std::size_t i = N; i-- > 0;) {
        const std::size_t at = left - 1 - counts[i];
        p[i] = remaining[at];
        for (std::size_t k = at; k + 1 < left; ++k) remaining[k] = remaining[k + 1];
        --left;
    }
    return p;
}

bool IsSliceEdge(int piece) { return piece >= kFirstSliceEdge; }

// Twists and flips: all but the last piece's as the digits of a number in base `kinds`; the
// last one follows, as the sum of all is a multiple of `kinds`.
template <std::size_t N>
int OrientationNumber(const std::array<std::uint8_t, N>& orientation, int kinds) {
    int number = 0;
    for (std::size_t k = 0; k + 1 < N; ++k) number = kinds * number + orientation[k];
    return number;
}

template <std::size_t N>
std::array<std::uint8_t, N> OrientationsOfNumber(int number, int kinds) {
    std::array<std::uint8_t, N> orientation{};
    int sum = 0;
    for (std::size_t k = N - 1; k-- > 0;) {
        orientation[k] = static_cast<std::uint8_t>(number % kinds);
        sum += orientation[k];
        number /= kinds;
    }
    orientation[N - 1] = static_cast<std::uint8_t>((kinds - sum % kinds) % kinds);
    return orientation;
}

}  // namespace

int Twist(const CubieCube& c) { return OrientationNumber(c.co, 3); }
int Flip(const CubieCube& c) { return OrientationNumber(c.eo, 2); }

// The set of positions is ranked in the combinatorial number system, positions counted from
// the last one (BR is 0), so the set {FR, FL, BL, BR} ranks 0.
int Slice(const CubieCube& c) {
    int slice = 0, found = 0;
    for (int q = 0; q < kEdges; ++q)
        if (IsSliceEdge(c.ep[kEdges - 1 - q])) slice += Binomial(q, ++found);
    return slice;
}

int CornerPerm(const CubieCube& c) { return PermRank(c.cp); }

int EdgePerm(const CubieCube& c) {
    std::array<std::uint8_t, 8> p;
    for (int k = 0; k < 8; ++k) p[k] = c.ep[k];
    return PermRank(p);
}

int SlicePerm(const CubieCube& c) {
    std::array<std::uint8_t, 4> p;
    for (int k = 0; k < 4; ++k) p[k] = static_cast<std::uint8_t>(c.ep[kFirstSliceEdge + k] - kFirstSliceEdge);
    return PermRank(p);
}

int SliceSorted(const CubieCube& c) {
    std::array<std::uint8_t, 4> order;
    int found = 0;
    for (int k = 0; k < kEdges; ++k)
        if (IsSliceEdge(c.ep[k])) order[found++] = static_cast<std::uint8_t>(c.ep[k] - kFirstSliceEdge);
    return Slice(c) * kSlicePerms + PermRank(order);
}

CubieCube WithTwist(int twist) {
    CubieCube c;
    c.co = OrientationsOfNumber<kCorners>(twist, 3);
    return c;
}

CubieCube WithFlip(int flip) {
    CubieCube c;
    c.eo = OrientationsOfNumber<kEdges>(flip, 2);
    return c;
}

CubieCube WithSlice(int slice) {
    // The largest q whose binomial fits, for each middle edge from the fourth down.
    std::array<bool, kEdges> middle{};
    for (int found = 4, q = kEdges - 1; found > 0; --found) {
        while (Binomial(q, found) > slice) --q;
        slice -= Binomial(q, found);
        middle[kEdges - 1 - q] = true;
        --q;
    }
    CubieCube c;
    int nextMiddle = kFirstSliceEdge, nextOther = 0;
    for (int k = 0; k < kEdges; ++k)
        c.ep[k] = static_cast<std::uint8_t>(middle[k] ? nextMiddle++ : nextOther++);
    return c;
}

CubieCube WithCornerPerm(int perm) {
    CubieCube c;
    c.cp = PermOfRank<kCorners>(perm);
    return c;
}

CubieCube WithEdgePerm(int perm) {
    CubieCube c;
    const auto p = PermOfRank<8>(perm);
    for (int k = 0; k < 8; ++k) c.ep[k] = p[k];
    return c;
}

CubieCube WithSliceSorted(int sliceSorted) {
    CubieCube c = WithSlice(sliceSorted / kSlicePerms);
    const auto order = PermOfRank<4>(sliceSorted % kSlicePerms);
    int found = 0;
    for (int k = 0; k < kEdges; ++k)
        if (IsSliceEdge(c.ep[k])) c.ep[k] = static_cast<std::uint8_t>(kFirstSliceEdge + order[found++]);
    return c;
}

CubieCube WithSlicePerm(int perm) {
    CubieCube c;
    const auto p = PermOfRank<4>(perm);
    for (int k = 0; k < 4; ++k) c.ep[kFirstSliceEdge + k] = static_cast<std::uint8_t>(kFirstSliceEdge + p[k]);
    return c;
}

}  // namespace velmo::twophase
