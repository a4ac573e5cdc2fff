#pragma once
// Shared by the fuzzers of the solvers: a failed check aborts, which libFuzzer reports as a
// crash and keeps the input; the start position block by block.

#include <cstdlib>

#include "model/cells.h"
#include "model/velmo.h"

namespace velmo::fuzzing {

inline void Check(bool condition) {
    if (!condition) std::abort();
}

// Every block with exactly its start colours: solved in the start orientation.
inline bool AtStart(const TVelmo& cube) {
    for (int cell = 1; cell <= kCellCount; ++cell)
        if (cube.Block(cell).Faces != StartFaces(cell)) return false;
    return true;
}

}  // namespace velmo::fuzzing
