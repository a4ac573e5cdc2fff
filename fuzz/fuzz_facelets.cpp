// libFuzzer target for the facelet parser behind velmo-cli's --facelets.
//
// Any input: the check and the set-up agree, a refusal is one line and leaves the cube as it
// was. Any accepted input: the cube shows exactly those letters, and the solver either ends
// with the cube solved in its start orientation (and the beep) or reports it unsolvable (the
// message box, no beep, logging off). Turns are instant; the solver's loops are bounded, so a
// hang is a fault that libFuzzer's -timeout reports.
//
// Links against velmo_model, velmo_headless and velmo_solver.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cube_checks.h"
#include "headless/headless_host.h"
#include "model/cells.h"
#include "model/facelets.h"
#include "model/velmo.h"
#include "solver/solver.h"

using velmo::fuzzing::AtStart;
using velmo::fuzzing::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string problem = velmo::FaceletsProblem(input);

    velmo::HeadlessHost host;
    host.SetAutoTurnDuration(0);
    velmo::TVelmo cube(host);
    cube.LogTurns = host.DoLog();
    Check(velmo::SetFacelets(cube, input) == problem);
    // The window's Russian wording refuses exactly what the English one refuses, on one line.
    const std::string russian = velmo::FaceletsProblem(input, velmo::FaceletsLanguage::Russian);
    Check(russian.empty() == problem.empty());
    if (!problem.empty()) {
        for (const std::string* text : {&problem, &russian})
            Check(text->find('\n') == std::string::npos && text->find('\r') == std::string::npos);
        Check(AtStart(cube));
        return 0;
    }

    Check(velmo::ToFacelets(cube) == input);
    for (int cell = 1; cell <= velmo::kCellCount; ++cell) {
        const velmo::TBlock& block = cube.Block(cell);
        Check(block.Cell == cell && block.InCube && block.Matrix == velmo::CellMatrix(cell));
    }
    if (velmo::Solve(cube)) {
        Check(AtStart(cube));
        Check(host.Beeps() == 1 && host.Warnings().empty() && cube.LogTurns);
    } else {
        Check(!velmo::IsSolved(cube));
        Check(host.Warnings().size() == 1 && host.Beeps() == 0 && !cube.LogTurns);
    }
    Check(host.BusyDepth() == 0);
    return 0;
}
