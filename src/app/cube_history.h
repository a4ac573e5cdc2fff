#pragma once
// The program's side of the undo history and of the hand-solve watch: it hears every turn of
// the cube, makes each run on the cube an entry (or an undo, a redo, a new history), runs
// «Отменить» and «Повторить» as turns at the automatic speed, keeps the two actions enabled
// exactly when there is something to do, writes the log lines, shows the user's turns since
// the last scramble in the status bar, and, while a run lasts, which keys stop or finish it.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "app/cube_run.h"
#include "history/hand_solve.h"
#include "history/turn_history.h"

class QAction;
class QLabel;
class QStatusBar;

namespace velmo {

class IModelHost;
class TVelmo;

class TCubeHistory : public QObject {
    Q_OBJECT
public:
    // The status bar's hint while a run goes.
    static constexpr const char* kRunHint = "Esc — остановить, Пробел — завершить сразу";

    // The cube's own host writes the log lines and keeps the settings.
    TCubeHistory(TVelmo& cube, QAction* undo, QAction* redo,
                 QStatusBar& statusBar, QObject* parent);
    ~TCubeHistory() override;

    // Around every run on the cube.
    void BeginRun(const CubeRun& run);
    void EndRun();
    // Inside a run of kind Undo or Redo: the turns that take back the newest entry, or make
    // the next one again, with their log line.
    void MakeUndo();
    void MakeRedo();
    // A new history, outside any run: the cube was built by hand («Пересборка» closed).
    void StartAfresh(const std::string& since);
    // While the reassembly lasts, nothing can be taken back.
    void SetAvailable(bool available);

    const TurnHistory& History() const { return history_; }
    QLabel* TurnsLabel() const { return lb_Turns; }

private:
    void MakeTurns(const char* what, const TurnHistory::EntryInfo& entry,
                   const std::vector<Move>& turns);
    void AfterRun(RunKind kind);
    void Update();
    std::uint64_t Now() const { return static_cast<std::uint64_t>(clock_.elapsed()); }

    TVelmo& cube_;
    IModelHost& host_;
    QAction* undo_;
    QAction* redo_;
    QStatusBar& statusBar_;
    QLabel* lb_Turns;
    TurnHistory history_;
    HandSolveWatch watch_;
    QElapsedTimer clock_;
    QTimer hint_;
    CubeRun run_;
    std::uint64_t layerTurns_ = 0;  // made by the run under way
    bool available_ = true;
};

}  // namespace velmo
