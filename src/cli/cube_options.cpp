// Options over the cube model: settings, single moves, move strings, scramble and reset.

#include <ostream>

#include "cli/cli.h"
#include "log/message_log.h"

namespace velmo::cli {

std::vector<Option> CubeOptions() {
    std::vector<Option> options;
    options.push_back({"--no-log", "", 0, true, nullptr, [](Context& ctx, Args) {
                           ctx.host.SetDoLog(false);
                           ctx.cube.LogTurns = false;
                           return kExitOk;
                       }});
    options.push_back({"--state", "", 0, true, nullptr, [](Context& ctx, Args) {
                           ctx.printState = true;
                           return kExitOk;
                       }});
    // As a double click on a basic turn: the turn joins the user's open log line.
    options.push_back({"--move", "NAME", 1, false, nullptr, [](Context& ctx, Args args) {
                           if (ctx.host.DoLog() && !ctx.cube.UserLineOpen) {
                               ctx.host.Log().AddMessage("Операции пользователя: ");
                               ctx.cube.UserLineOpen = true;
                           }
                           ctx.cube.ExecuteMove(args[0]);
                           return kExitOk;
                       }});
    options.push_back({"--run", "STRING", 1, false, nullptr, [](Context& ctx, Args args) {
                           if (!TVelmo::IsValidMoveString(args[0])) {
                               ctx.err << "Данная строка не является корректоной "
                                          "последовательностью вращений!\n";
                               return static_cast<int>(kExitBadInput);
                           }
                           ctx.cube.ExecuteMoveString(args[0], true);
                           return static_cast<int>(kExitOk);
                       }});
    options.push_back({"--scramble", "SEED", 1, false,
                       [](Args args) { return CheckUnsigned("SEED", args[0], 0xFFFFFFFFull); },
                       [](Context& ctx, Args args) {
                           ctx.host.SetSeed(static_cast<std::uint32_t>(std::stoull(args[0])));
                           ctx.cube.Scramble();
                           return kExitOk;
                       }});
    options.push_back({"--reset", "", 0, false, nullptr, [](Context& ctx, Args) {
                           ctx.cube.ResetToStart();
                           return kExitOk;
                       }});
    return options;
}

}  // namespace velmo::cli
