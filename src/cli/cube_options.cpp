// Options over the cube model: settings, single moves, move strings, scramble and reset.

#include <optional>
#include <ostream>

#include "cli/cli.h"
#include "log/message_log.h"
#include "model/turns.h"

namespace velmo::cli {

namespace {

std::string CheckMoveName(Args args) {
    if (TVelmo::IsKnownMove(args[0])) return {};
    std::string names;
    for (int m = 0; m < kMoveCount; ++m) {
        names += ' ';
        names += TurnOf(static_cast<Move>(m)).notation;
    }
    return "unknown move " + Quoted(args[0]) + "; the moves are" + names;
}

std::string CheckMoveString(Args args) {
    const std::optional<std::uint64_t> turns = TVelmo::CountMoveStringTurns(args[0]);
    if (!turns)
        return Quoted(args[0]) +
               ": Данная строка не является корректоной последовательностью вращений!";
    if (*turns <= kMaxRunTurns) return {};
    const std::string count = *turns == TVelmo::kTurnCountOverflow
                                  ? "an astronomically large number of turns (more than 2^64)"
                                  : std::to_string(*turns) + " turns";
    return Quoted(args[0]) + " asks for " + count + "; at most " + std::to_string(kMaxRunTurns) +
           " run here";
}

}  // namespace

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
    options.push_back({"--move", "NAME", 1, false, CheckMoveName, [](Context& ctx, Args args) {
                           if (ctx.host.DoLog() && !ctx.cube.UserLineOpen) {
                               ctx.host.Log().AddMessage("Операции пользователя: ");
                               ctx.cube.UserLineOpen = true;
                           }
                           ctx.cube.ExecuteMove(args[0]);
                           return kExitOk;
                       }});
    options.push_back({"--run", "STRING", 1, false, CheckMoveString, [](Context& ctx, Args args) {
                           ctx.cube.ExecuteMoveString(args[0], true);
                           return kExitOk;
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
