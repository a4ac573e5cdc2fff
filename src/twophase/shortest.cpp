#include "twophase/shortest.h"

#include "log/message_log.h"
#include "model/facelets.h"
#include "platform/text.h"
#include "solver/solver.h"
#include "twophase/twophase.h"

namespace velmo {

namespace {

constexpr std::string_view kHeading = "*** Кратчайшая сборка Кубика Вельмо ***";

void WriteHeading(TMessageLog& log) {
    log.AddMessage("");
    log.AddMessage(kHeading);
}

// The tables of the process, made at the first use with the notice around it.
const twophase::Tables& Tables(const twophase::Poll& poll, const TablesNotice& notice) {
    const bool announce = notice && !twophase::SharedTablesReady();
    if (announce) notice(true);
    const twophase::Tables* tables = twophase::SharedTables(poll);
    if (announce) notice(false);
    if (!tables) throw RunStopped{};
    return *tables;
}

void MakeTurns(TVelmo& cube, const std::vector<twophase::FaceTurn>& turns) {
    for (const twophase::FaceTurn& turn : turns)
        for (Move move : twophase::ModelTurns(turn)) cube.Turn(move);
}

}  // namespace

std::string MovesCountText(int count) { return CountText(count, "ход", "хода", "ходов"); }

ShortestRun SolveShortest(TVelmo& cube, twophase::SearchOptions options,
                          const TablesNotice& notice) {
    IModelHost& host = cube.Host();
    TMessageLog& log = host.Log();
    BusyCursor busy(host);
    cube.UserLineOpen = false;
    cube.TurnDuration = host.AutoTurnDuration();

    const twophase::Analysis analysis = twophase::Analyse(ToFacelets(cube));
    if (analysis.kind != twophase::Analysis::Kind::kReachable) {
        WriteHeading(log);
        ReportUnsolvable(cube, busy);
        return {};
    }
    options.poll = [&host] {
        host.TickCount();
        return !host.StopRequested();
    };
    const twophase::SearchResult found =
        twophase::SearchSolution(analysis.cube, Tables(options.poll, notice), options);
    if (found.stopped) throw RunStopped{};

    WriteHeading(log);
    // The solver's lines are its protocol: logged whatever the logging setting.
    cube.LogTurns = true;
    if (!analysis.rotation.turns.empty()) {
        log.AddMessage("Общая ориентация: ");
        for (Move move : analysis.rotation.turns) cube.Turn(move);
    }
    const int count = static_cast<int>(found.turns.size());
    log.AddMessage(MovesCountText(count) +
                   (count > 0 ? ": " + twophase::Notation(found.turns) + " " : ""));
    cube.LogTurns = false;
    MakeTurns(cube, found.turns);
    cube.LogTurns = host.DoLog();
    host.Beep();
    log.AddMessage("");
    return {true, found.turns};
}

}  // namespace velmo
