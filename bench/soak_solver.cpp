// Soak run of the solver, outside CI: solves COUNT random reachable positions (default
// 1,000,000) and reports how many ended solved in the start orientation, every failure with
// the move string that made its position, and the quarter turns per solve.
//
//   soak_solver [COUNT [SEED [LENGTH]]]     LENGTH: random turns per position (default 40)
//
// Exit code 0 when every position was solved, 1 otherwise.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "headless/random_positions.h"
#include "headless/headless_host.h"
#include "model/cells.h"
#include "solver/solver.h"

namespace {

using namespace velmo;

// Solved and in the start orientation: every block with exactly its start colours (the logo
// back on the top centre included).
bool AtStart(const TVelmo& cube) {
    for (int cell = 1; cell <= kCellCount; ++cell)
        if (cube.Block(cell).Faces != StartFaces(cell)) return false;
    return true;
}

struct Spread {
    std::vector<int> values;
    void Print(const char* what) {
        std::sort(values.begin(), values.end());
        if (values.empty()) return;
        double sum = 0;
        for (int v : values) sum += v;
        std::printf("%s: min %d, median %d, mean %.1f, 99th percentile %d, max %d\n", what,
                    values.front(), values[values.size() / 2], sum / values.size(),
                    values[values.size() * 99 / 100], values.back());
    }
};

}  // namespace

int main(int argc, char** argv) {
    const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
    const unsigned long long seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
    const int length = argc > 3 ? std::atoi(argv[3]) : 40;
    std::mt19937_64 random(seed);

    long solved = 0, failed = 0;
    Spread allTurns, layerTurns;
    allTurns.values.reserve(count);
    layerTurns.values.reserve(count);
    for (long n = 0; n < count; ++n) {
        const std::vector<Move> moves = RandomMoves(random, length);
        HeadlessHost host;
        host.SetAutoTurnDuration(0);
        TVelmo cube(host);
        MakeMoves(cube, moves);

        // With instant turns each turn draws one frame. A whole-cube turn moves both
        // opposite corners 1 and 26; no face or slice turn moves both.
        int turns = 0, wholeCube = 0;
        const TBlock* corner1 = cube.Blocks[1].get();
        const TBlock* corner26 = cube.Blocks[26].get();
        host.SetFrameListener([&] {
            ++turns;
            if (cube.Blocks[1].get() != corner1 && cube.Blocks[26].get() != corner26) ++wholeCube;
            corner1 = cube.Blocks[1].get();
            corner26 = cube.Blocks[26].get();
        });
        const bool reported = Solve(cube);
        if (reported && AtStart(cube)) {
            ++solved;
            allTurns.values.push_back(turns);
            layerTurns.values.push_back(turns - wholeCube);
        } else {
            ++failed;
            if (failed <= 50)
                std::printf("FAILED (%s): %s\n", reported ? "reported solved" : "reported unsolvable",
                            MovesText(moves).c_str());
        }
        if ((n + 1) % 100000 == 0) {
            std::fprintf(stderr, "%ld solved of %ld\n", solved, n + 1);
        }
    }
    std::printf("positions: %ld (seed %llu, %d random turns each over all 24 turns)\n", count,
                seed, length);
    std::printf("solved: %ld, failed: %ld\n", solved, failed);
    allTurns.Print("quarter turns per solve, whole-cube turns included");
    layerTurns.Print("quarter turns per solve, face and slice turns only");
    return failed == 0 ? 0 : 1;
}
