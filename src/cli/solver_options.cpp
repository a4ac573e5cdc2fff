// Options over the solver: setting up a position from facelets, and solving.

#include <ostream>

#include "cli/cli.h"
#include "model/facelets.h"
#include "solver/solver.h"

namespace velmo::cli {

std::vector<Option> SolverOptions() {
    std::vector<Option> options;
    // As a finished hand reassembly leaves the cube: any position of the cube's own pieces,
    // including those that turns cannot reach (finding those out is the solver's job).
    options.push_back({"--facelets", "F", 1, false,
                       [](Args args) { return FaceletsProblem(args[0]); },
                       [](Context& ctx, Args args) {
                           const std::string problem = SetFacelets(ctx.cube, args[0]);
                           if (!problem.empty()) {
                               ctx.err << "velmo-cli: --facelets: " << problem << '\n';
                               return static_cast<int>(kExitBadInput);
                           }
                           return static_cast<int>(kExitOk);
                       }});
    options.push_back({"--solve", "", 0, false, nullptr, [](Context& ctx, Args) {
                           if (Solve(ctx.cube)) return static_cast<int>(kExitOk);
                           ctx.err << "Кубик Вельмо собрать невозможно!\n";
                           return static_cast<int>(kExitUnsolvable);
                       }});
    return options;
}

}  // namespace velmo::cli
