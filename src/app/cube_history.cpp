#include "app/cube_history.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>

#include "log/message_log.h"
#include "model/velmo.h"
#include "platform/text.h"
#include "solver/solver.h"

namespace velmo {

namespace {
// A run shorter than this ends before its hint would be read.
constexpr int kHintDelayMs = 400;

std::string TurnsText(std::uint64_t turns) {
    return CountText(turns, "вращение", "вращения", "вращений");
}

// "запутывание Кубика Вельмо (23 вращения)"; a single turn by its label alone.
std::string EntryText(const TurnHistory::EntryInfo& entry) {
    return entry.turns > 1 ? entry.label + " (" + TurnsText(entry.turns) + ")" : entry.label;
}
}  // namespace

TCubeHistory::TCubeHistory(TVelmo& cube, QAction* undo, QAction* redo, QStatusBar& statusBar,
                           QObject* parent)
    : QObject(parent),
      cube_(cube),
      host_(cube.Host()),
      undo_(undo),
      redo_(redo),
      statusBar_(statusBar) {
    cube_.OnTurnMade = [this](Move move, bool silent) {
        history_.TurnMade(move, silent);
        if (!silent && !TurnOf(move).wholeCube) ++layerTurns_;
    };
    lb_Turns = new QLabel;
    lb_Turns->setObjectName("lb_Turns");
    lb_Turns->setToolTip("Сколько слоёв вы повернули после последнего запутывания "
                         "или команды «Новый»");
    statusBar_.addPermanentWidget(lb_Turns);
    hint_.setSingleShot(true);
    hint_.setInterval(kHintDelayMs);
    connect(&hint_, &QTimer::timeout, this, [this] { statusBar_.showMessage(kRunHint); });
    clock_.start();
    Update();
}

TCubeHistory::~TCubeHistory() { cube_.OnTurnMade = nullptr; }

void TCubeHistory::BeginRun(const CubeRun& run) {
    run_ = run;
    layerTurns_ = 0;
    if (run.kind == RunKind::Machine || run.kind == RunKind::User || run.kind == RunKind::Scramble)
        history_.BeginCommand(run.label);
    hint_.start();
}

void TCubeHistory::EndRun() {
    hint_.stop();
    if (statusBar_.currentMessage() == kRunHint) statusBar_.clearMessage();
    switch (history_.End()) {
        case TurnHistory::Outcome::TooLong:
            host_.Log().AddMessage("История правки очищена: операция сделала больше " +
                                   TurnsText(TurnHistory::kMaxTurns) + ", её не отменить");
            cube_.UserLineOpen = false;
            break;
        case TurnHistory::Outcome::Lost:
            host_.Log().AddMessage("История правки очищена");
            cube_.UserLineOpen = false;
            break;
        default: break;
    }
    AfterRun(run_.kind);
    Update();
}

void TCubeHistory::AfterRun(RunKind kind) {
    const std::size_t depth = history_.UndoDepth();
    switch (kind) {
        case RunKind::User:
        case RunKind::Undo:
        case RunKind::Redo:
            watch_.CountTurns(layerTurns_);
            if (const auto line = watch_.Check(IsSolved(cube_), Now(), depth)) {
                host_.Log().AddMessage(*line);
                cube_.UserLineOpen = false;
            }
            break;
        case RunKind::Scramble:
            watch_.Restart(IsSolved(cube_), Now(), "после запутывания", depth);
            break;
        case RunKind::Machine: watch_.Stop(); break;
        case RunKind::Reset:
            history_.Clear();
            watch_.Reset();
            break;
        case RunKind::NewPosition:
            history_.Clear();
            watch_.Restart(IsSolved(cube_), Now(), run_.label, 0);
            break;
    }
}

void TCubeHistory::MakeUndo() {
    const TurnHistory::EntryInfo entry = history_.NextUndo();
    MakeTurns("Отмена", entry, history_.BeginUndo());
}

void TCubeHistory::MakeRedo() {
    const TurnHistory::EntryInfo entry = history_.NextRedo();
    MakeTurns("Повтор", entry, history_.BeginRedo());
}

// One log line, "Отмена: запутывание Кубика Вельмо (23 вращения)", and with logging on the
// turns after a colon, as a scramble writes them.
void TCubeHistory::MakeTurns(const char* what, const TurnHistory::EntryInfo& entry,
                             const std::vector<Move>& turns) {
    if (turns.empty()) return;
    BusyCursor busy(host_);
    cube_.UserLineOpen = false;
    host_.Log().AddMessage(std::string(what) + ": " + EntryText(entry));
    if (host_.DoLog()) host_.Log().AppendMessage(":");
    cube_.LogTurns = host_.DoLog();
    cube_.TurnDuration = host_.AutoTurnDuration();
    for (Move move : turns) cube_.Turn(move);
}

void TCubeHistory::StartAfresh(const std::string& since) {
    history_.Clear();
    watch_.Restart(IsSolved(cube_), Now(), since, 0);
    Update();
}

void TCubeHistory::SetAvailable(bool available) {
    available_ = available;
    Update();
}

void TCubeHistory::Update() {
    const auto describe = [](const TurnHistory::EntryInfo& entry) {
        return QString::fromStdString(EntryText(entry));
    };
    undo_->setEnabled(available_ && history_.CanUndo());
    redo_->setEnabled(available_ && history_.CanRedo());
    undo_->setStatusTip(history_.CanUndo() ? "Отменить: " + describe(history_.NextUndo())
                                           : "Отменять нечего");
    redo_->setStatusTip(history_.CanRedo() ? "Повторить: " + describe(history_.NextRedo())
                                           : "Повторять нечего");
    lb_Turns->setText(QString("Вращений: %1").arg(watch_.Turns()));
}

}  // namespace velmo
