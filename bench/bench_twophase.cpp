// Report run of the two-phase solver: the tables built and then read back from a cache file
// in a scratch folder, then COUNT positions drawn uniformly from all reachable ones (default
// 1,000) solved one after another on one core. Prints the table build and load times, the
// share of solutions at each length, the search times (median, 99th percentile, maximum), the
// peak memory of the process and the machine's load, which makes times noisy.
//
//   bench_twophase [COUNT [SEED [TARGET]]]
//
// Every solution is checked (it must bring its position to the start); exit code 1 if one
// does not.

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "twophase/facelet_cube.h"
#include "twophase/random_cube.h"
#include "twophase/twophase.h"

namespace {

using namespace velmo::twophase;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

bool Solves(const CubieCube& cube, const std::vector<FaceTurn>& turns) {
    CubieCube c = cube;
    for (const FaceTurn& turn : turns) c = Multiply(c, MoveCubes()[turn.Index()]);
    return c == CubieCube{};
}

void PrintLoad(const char* when) {
    double load[3] = {0, 0, 0};
    if (getloadavg(load, 3) == 3)
        std::printf("machine load %s: %.2f %.2f %.2f (1, 5, 15 min; %ld cores)\n", when, load[0],
                    load[1], load[2], sysconf(_SC_NPROCESSORS_ONLN));
}

std::unique_ptr<Tables> TimedTables(const std::string& path, const char* what) {
    TablesReport report;
    auto tables = MakeTables(path, nullptr, &report);
    std::printf("%s: %.0f ms (%s%s%s)\n", what, report.milliseconds,
                report.fromCache ? "read from the cache file" : "built",
                report.fromCache ? "" : "; cache file not used: ",
                report.fromCache ? "" : report.cacheProblem.c_str());
    if (!report.saveProblem.empty()) std::printf("  cache not written: %s\n", report.saveProblem.c_str());
    return tables;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const unsigned long long seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
    SearchOptions options;
    if (argc > 3) options.target = std::atoi(argv[3]);

    PrintLoad("at the start");
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("bench_twophase_" + std::to_string(getpid()));
    const std::string path = (folder / "twophase-tables.bin").string();
    TimedTables(path, "tables, first use");
    const std::unique_ptr<Tables> tables = TimedTables(path, "tables, second use");
    std::printf("cache file: %.1f MB\n", std::filesystem::file_size(path) / 1e6);
    std::filesystem::remove_all(folder);

    std::mt19937_64 random(seed);
    std::map<int, int> lengths;
    std::vector<double> times;
    int wrong = 0;
    for (int n = 0; n < count; ++n) {
        const CubieCube cube = RandomCube(random);
        const std::string facelets = FaceletsFromCubie(cube);
        const Clock::time_point start = Clock::now();
        const Solution solution = SolveFacelets(facelets, *tables, options);
        times.push_back(Milliseconds(Clock::now() - start));
        ++lengths[static_cast<int>(solution.turns.size())];
        if (solution.status != Solution::Status::kSolved || !Solves(cube, solution.turns)) {
            ++wrong;
            std::printf("WRONG: %s\n", facelets.c_str());
        }
    }

    std::printf("positions: %d, uniformly random (seed %llu), target %d moves, budget %lld ms\n",
                count, seed, options.target, static_cast<long long>(options.budget.count()));
    std::printf("longest: %d moves\n", lengths.empty() ? 0 : lengths.rbegin()->first);
    int atMost18 = 0;
    for (const auto& [length, n] : lengths)
        if (length <= 18) atMost18 += n;
    std::printf("length <= 18: %5.1f %%\n", 100.0 * atMost18 / count);
    for (int length = 19; length <= 22; ++length)
        std::printf("length    %d: %5.1f %%\n", length, 100.0 * lengths[length] / count);
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times) sum += t;
    std::printf("search time: median %.1f ms, mean %.1f ms, 99th percentile %.1f ms, max %.1f ms\n",
                times[times.size() / 2], sum / times.size(), times[times.size() * 99 / 100],
                times.back());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory (resident): %.1f MB\n", usage.ru_maxrss / 1024.0);
    PrintLoad("at the end");
    std::printf("wrong solutions: %d\n", wrong);
    return wrong == 0 ? 0 : 1;
}
