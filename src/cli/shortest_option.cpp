// --shortest: the command «Кратчайшая сборка», with a line for scripts after the log.

#include <ostream>

#include "cli/cli.h"
#include "twophase/shortest.h"

namespace velmo::cli {

std::vector<Option> ShortestOptions() {
    std::vector<Option> options;
    // The tables are made or read once per run, at the first --shortest.
    options.push_back({"--shortest", "", 0, false, nullptr, [](Context& ctx, Args) {
                           const ShortestRun run = SolveShortest(ctx.cube);
                           if (!run.solved) {
                               ctx.err << "Кубик Вельмо собрать невозможно!\n";
                               return static_cast<int>(kExitUnsolvable);
                           }
                           std::string line = "shortest: " + std::to_string(run.turns.size());
                           if (!run.turns.empty()) line += " " + twophase::Notation(run.turns);
                           ctx.reports.push_back(line);
                           return static_cast<int>(kExitOk);
                       }});
    return options;
}

}  // namespace velmo::cli
