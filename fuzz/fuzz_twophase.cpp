// libFuzzer target for the two-phase solver behind «Кратчайшая сборка» and --shortest.
//
// Any input: the solver refuses exactly the strings the model's facelet check refuses. Any
// accepted input, set on the model: the command either solves it (the turns made end with
// every block home in the start orientation, the log line counting them) or gives the
// unreachable notice without a turn, and the six-stage solver agrees on which. The search
// asks for a loose length, which it reaches at once; the tables are made before the first
// input, in a scratch cache folder.
//
// Links against velmo_model, velmo_headless, velmo_solver and velmo_twophase.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cube_checks.h"
#include "headless/headless_host.h"
#include "log/message_log.h"
#include "model/facelets.h"
#include "model/velmo.h"
#include "solver/solver.h"
#include "twophase/shortest.h"
#include "twophase/twophase.h"

namespace {

using velmo::fuzzing::AtStart;
using velmo::fuzzing::Check;

struct InstantCube {
    InstantCube() : cube(host) {
        host.SetAutoTurnDuration(0);
        cube.LogTurns = host.DoLog();
    }
    velmo::HeadlessHost host;
    velmo::TVelmo cube;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("XDG_CACHE_HOME", "/tmp/velmo-fuzz-twophase-cache", 1);
    Check(velmo::twophase::SharedTables(nullptr) != nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const bool accepted = velmo::FaceletsProblem(input).empty();
    const velmo::twophase::Analysis analysis = velmo::twophase::Analyse(input);
    Check(accepted == (analysis.kind != velmo::twophase::Analysis::Kind::kInvalid));
    if (!accepted) return 0;

    InstantCube c;
    velmo::SetFacelets(c.cube, input);
    const int frames = c.host.Frames();
    velmo::twophase::SearchOptions loose;
    loose.target = 30;
    const velmo::ShortestRun run = velmo::SolveShortest(c.cube, loose);
    const std::vector<std::string>& lines = c.host.Log().Lines();
    if (run.solved) {
        Check(analysis.kind == velmo::twophase::Analysis::Kind::kReachable);
        Check(AtStart(c.cube) && c.host.Beeps() == 1 && c.host.Warnings().empty());
        Check(run.turns.size() <= 30);
        Check(lines.size() >= 2 &&
              lines[lines.size() - 2].rfind(velmo::MovesCountText(static_cast<int>(run.turns.size())), 0) == 0);
    } else {
        Check(analysis.kind == velmo::twophase::Analysis::Kind::kUnreachable);
        Check(c.host.Frames() == frames && velmo::ToFacelets(c.cube) == input);
        Check(c.host.Warnings().size() == 1 && c.host.Beeps() == 0 && !c.cube.LogTurns);
    }
    Check(c.host.BusyDepth() == 0);

    InstantCube six;
    velmo::SetFacelets(six.cube, input);
    Check(velmo::Solve(six.cube) == run.solved);
    return 0;
}
