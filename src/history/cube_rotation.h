#pragma once
// The 24 rotations of the whole cube that whole-cube turns reach, and how a turn reads after
// one: the camera's silent whole-cube turns carry the blocks to other places, so the layer a
// recorded turn moved is afterwards turned by another name.

#include <cstdint>

#include "model/turns.h"

namespace velmo {

class CubeRotation {
public:
    static constexpr int kCount = 24;

    // The identity.
    CubeRotation() = default;
    // The rotation a whole-cube turn (Оп ... Ов') makes.
    static CubeRotation Of(Move wholeCubeTurn);

    // This rotation, then `next`.
    CubeRotation Then(CubeRotation next) const;
    CubeRotation Inverse() const;
    // The turn that, made after this rotation, moves the blocks `move` would have moved before
    // it, the same way: R M R^-1. Face turns stay face turns, slices slices.
    Move Carry(Move move) const;

private:
    explicit CubeRotation(std::uint8_t index) : index_(index) {}
    std::uint8_t index_ = 0;
};

}  // namespace velmo
