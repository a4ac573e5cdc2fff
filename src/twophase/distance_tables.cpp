#include "twophase/distance_tables.h"

#include <algorithm>

#include "twophase/coordinates.h"
#include "twophase/moves.h"

namespace velmo::twophase {

namespace {

constexpr std::uint8_t kUnknown = 0xFF;

// The entries one move away from entry i, each passed to visit(neighbour) until it returns true.
template <class Visit>
bool AnyNeighbour(const MoveTables& moves, const DistanceTableKind& kind, std::size_t i,
                  Visit visit) {
    const std::vector<std::uint16_t>& first = moves.*kind.first;
    const std::vector<std::uint16_t>& second = moves.*kind.second;
    const std::size_t a = i / kind.secondSize, b = i % kind.secondSize;
    for (int m = 0; m < kind.moves; ++m) {
        const std::size_t n = static_cast<std::size_t>(first[a * kind.moves + m]) * kind.secondSize +
                              second[b * kind.moves + m];
        if (visit(n)) return true;
    }
    return false;
}

// One breadth-first level: every entry at depth gets its unknown neighbours at depth + 1. Once
// most entries are known, it is cheaper to go the other way: every unknown entry with a
// neighbour at depth is at depth + 1.
bool Level(const MoveTables& moves, const DistanceTableKind& kind, std::vector<std::uint8_t>& dist,
           std::uint8_t depth, bool backward, std::size_t& known, Pacer& pacer) {
    const auto next = static_cast<std::uint8_t>(depth + 1);
    for (std::size_t i = 0; i < dist.size(); ++i) {
        if (!pacer.Step()) return false;
        if (backward) {
            if (dist[i] != kUnknown) continue;
            if (AnyNeighbour(moves, kind, i, [&](std::size_t n) { return dist[n] == depth; })) {
                dist[i] = next;
                ++known;
            }
        } else if (dist[i] == depth) {
            AnyNeighbour(moves, kind, i, [&](std::size_t n) {
                if (dist[n] == kUnknown) {
                    dist[n] = next;
                    ++known;
                }
                return false;
            });
        }
    }
    return true;
}

bool BuildOne(const MoveTables& moves, const DistanceTableKind& kind, std::vector<std::uint8_t>& dist,
              Pacer& pacer) {
    dist.assign(kind.Size(), kUnknown);
    dist[0] = 0;
    std::size_t known = 1;
    for (std::uint8_t depth = 0; known < dist.size(); ++depth) {
        const std::size_t before = known;
        if (!Level(moves, kind, dist, depth, known > dist.size() / 2, known, pacer)) return false;
        if (known == before) break;  // the rest cannot be reached (not so for these tables)
    }
    return true;
}

}  // namespace

const std::vector<DistanceTableKind>& DistanceTableKinds() {
    using D = DistanceTables;
    using M = MoveTables;
    static const std::vector<DistanceTableKind> kinds = {
        {"twist x slice", &D::twistSlice, &M::twist, kTwists, &M::slice, kSlices, kMoves},
        {"flip x slice", &D::flipSlice, &M::flip, kFlips, &M::slice, kSlices, kMoves},
        {"twist x flip", &D::twistFlip, &M::twist, kTwists, &M::flip, kFlips, kMoves},
        {"corner perm x slice perm", &D::cornerSlice, &M::cornerPerm, kCornerPerms,
         &M::slicePerm, kSlicePerms, kPhase2Moves},
        {"edge perm x slice perm", &D::edgeSlice, &M::edgePerm, kEdgePerms, &M::slicePerm,
         kSlicePerms, kPhase2Moves},
    };
    return kinds;
}

bool BuildDistanceTables(const MoveTables& moves, DistanceTables& tables, Pacer& pacer) {
    for (const DistanceTableKind& kind : DistanceTableKinds())
        if (!BuildOne(moves, kind, tables.*kind.table, pacer)) return false;
    return true;
}

bool LooksLikeDistances(const MoveTables& moves, const DistanceTableKind& kind,
                        const std::vector<std::uint8_t>& table, std::size_t samples) {
    if (table.size() != kind.Size() || table[0] != 0) return false;
    // Entries spread evenly over the table, by a stride prime to its size.
    const std::size_t stride = 7919;
    std::size_t i = 0;
    for (std::size_t s = 0; s < samples; ++s, i = (i + stride) % table.size()) {
        if (i == 0) continue;
        int nearest = kUnknown;
        AnyNeighbour(moves, kind, i, [&](std::size_t n) {
            nearest = std::min<int>(nearest, table[n]);
            return false;
        });
        if (table[i] == 0 || table[i] == kUnknown || table[i] != nearest + 1) return false;
    }
    return true;
}

}  // namespace velmo::twophase
