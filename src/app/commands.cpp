// The data module's command handlers: the cube commands, move strings, the sequence library,
// parameters, help and about. Long operations run through the main window's run guard.

#include <QAction>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSlider>
#include <QCheckBox>
#include <QUrl>
#include <limits>

#include "app/about_box.h"
#include "app/cube_history.h"
#include "app/data_module.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/params_dialog.h"
#include "app/run_guard.h"
#include "app/sequence_dialog.h"
#include "app/sequence_text.h"
#include "app/sequence_tree.h"
#include "log/message_log.h"
#include "model/velmo.h"
#include "reassembly/hand_window.h"
#include "reassembly/reassembly.h"
#include "solver/solver.h"

namespace velmo {

namespace {
// As long as Qt's text widgets go.
constexpr int kMaxStringBoxLength = std::numeric_limits<int>::max();
}  // namespace

bool TDM::RunOnCube(const std::function<void()>& operation, const CubeRun& run) {
    if (main_.Guard().Busy()) return false;
    // Every run on the cube is an entry of the undo history (or an undo, a redo, a new one).
    if (history_) history_->BeginRun(run);
    struct EndRun {
        TCubeHistory* history;
        ~EndRun() {
            if (history) history->EndRun();
        }
    } endRun{history_.get()};
    return main_.Guard().Run(Cube(), operation);
}

void TDM::ac_VelmoNewExecute() {
    RunOnCube([this] { Cube().ResetToStart(); }, {RunKind::Reset});
}

void TDM::ac_VelmoBreakExecute() {
    RunOnCube([this] { Cube().Scramble(); }, {RunKind::Scramble, "запутывание Кубика Вельмо"});
}

void TDM::ac_VelmoSolveExecute() {
    RunOnCube([this] { Solve(Cube()); }, {RunKind::Machine, "сборка Кубика Вельмо"});
}

void TDM::EnableCubeCommands(bool enabled) {
    for (QAction* action :
         {ac_VelmoNew, ac_VelmoBreak, ac_VelmoSolve, ac_VelmoHand, ac_EditCopy, ac_EditPaste,
          ac_ServiceShortest})
        action->setEnabled(enabled);
    if (history_) history_->SetAvailable(enabled);
}

Tfm_Hand* TDM::HandWindow() const { return hand_; }

void TDM::ac_VelmoHandExecute() {
    if (main_.Guard().Busy() || hand_) return;
    EnableCubeCommands(false);
    main_.InReassembly = true;
    RunOnCube([this] { StartReassembly(Cube()); }, {RunKind::Reset});
    // The tool window's operations run under the guard; those started by a desk press
    // already do.
    const auto run = [this](const std::function<void()>& operation) {
        if (main_.Guard().Busy()) operation();
        else RunOnCube(operation);
    };
    const auto closed = [this] {
        EnableCubeCommands(true);
        main_.InReassembly = false;
        if (history_) history_->StartAfresh("после пересборки");
    };
    hand_ = new Tfm_Hand(&main_, Cube(), closed, run);
    main_.Guard().AddGuardedWindow(hand_);
    PlaceHandWindow();
    hand_->show();
}

// Its left edge 4 pixels right of the tree panel's left edge, its top 4 pixels below the main
// window's top edge.
void TDM::PlaceHandWindow() {
    const QPoint treeLeft = main_.TreePanel().mapToGlobal(QPoint(0, 0));
    hand_->move(treeLeft.x() + 4, main_.frameGeometry().top() + 4);
}

void TDM::ReportIncorrectString() {
    QMessageBox::warning(&main_, "Выполнение",
                         "Данная строка не является корректоной последовательностью вращений!");
}

void TDM::RunTopLevelString(const std::string& moves) {
    if (!TVelmo::IsValidMoveString(moves)) {
        ReportIncorrectString();
        return;
    }
    // The undo history names it by the string, cut after 60 characters.
    constexpr qsizetype kLabelLength = 60;
    const QString shown = QString::fromStdString(moves);
    const QString label = shown.size() > kLabelLength ? shown.left(kLabelLength) + "…" : shown;
    RunOnCube([this, &moves] { Cube().ExecuteMoveString(moves, true); },
              {RunKind::User, "последовательность " + label.toStdString()});
}

void TDM::ac_ServiceStringExecute() {
    if (main_.Guard().Busy()) return;
    // The last string confirmed is offered again, selected: Enter runs it again, typing
    // replaces it.
    QInputDialog input(&main_);
    input.setWindowTitle("Выполнить");
    input.setLabelText("Введите строку последовательности вращений:\n"
                       "(Вы можете использовать скобки и цифры - кратность операции)");
    input.setInputMode(QInputDialog::TextInput);
    auto* edit = input.findChild<QLineEdit*>();
    // A line edit keeps 32,767 characters unless told otherwise; a string pasted here may be
    // as long as a stored sequence.
    if (edit) edit->setMaxLength(kMaxStringBoxLength);
    input.setTextValue(lastString_);
    if (edit) edit->selectAll();
    // «Отмена» and Esc cancel: nothing runs and nothing is reported.
    if (input.exec() != QDialog::Accepted) return;
    lastString_ = input.textValue();
    RunTopLevelString(lastString_.toStdString());
}

void TDM::ac_ServiceParamsExecute() {
    if (main_.Guard().Busy()) return;
    Tfm_Params dialog(&main_);
    dialog.trb_SpeedHand->setValue(Settings.handTurnDuration / 100);
    dialog.trb_SpeedAuto->setValue(Settings.autoTurnDuration / 100);
    dialog.cb_DoLog->setChecked(Settings.doLog);
    if (dialog.exec() != QDialog::Accepted) return;
    Settings.handTurnDuration = dialog.trb_SpeedHand->value() * 100;
    Settings.autoTurnDuration = dialog.trb_SpeedAuto->value() * 100;
    Settings.doLog = dialog.cb_DoLog->isChecked();
    Cube().LogTurns = Settings.doLog;
}

void TDM::tv_MovesDblClick(QTreeWidgetItem* node) {
    if (!node || main_.Guard().Busy()) return;
    const int kind = TSequenceTree::Kind(node);
    const std::string text = TSequenceTree::Text(node).toStdString();
    if (kind == kBasicTurnNode) {
        RunUserTurn(BasicTurnNotation(text));
    } else if (kind == kFrequentNode || kind == kUserNode) {
        Cube().UserLineOpen = false;
        RunTopLevelString(SequenceMoves(text));
    }
}

void TDM::RunUserTurn(const std::string& notation) {
    RunOnCube(
        [this, &notation] {
            TVelmo& cube = Cube();
            if (Settings.doLog && !cube.UserLineOpen) {
                main_.Log().AddMessage("Операции пользователя: ");
                cube.UserLineOpen = true;
            }
            cube.ExecuteMove(notation);
        },
        {RunKind::User});
}

void TDM::UpdateSequenceActions() {
    const int kind = main_.Tree().SelectedKind();
    const bool sequence = kind == kFrequentNode || kind == kUserNode;
    ac_StringNew->setEnabled(sequence || kind == kFrequentRoot || kind == kUserRoot);
    ac_StringEdit->setEnabled(sequence);
    ac_StringDelete->setEnabled(sequence);
}

void TDM::ac_StringNewExecute() {
    TSequenceTree& tree = main_.Tree();
    QTreeWidgetItem* selected = tree.Selected();
    const int kind = TSequenceTree::Kind(selected);
    if (kind != kFrequentNode && kind != kUserNode && kind != kFrequentRoot && kind != kUserRoot)
        return;
    Tfm_String dialog(&main_, QString(), QString());
    if (dialog.exec() != QDialog::Accepted) return;
    if (!TVelmo::IsValidMoveString(dialog.Moves().toStdString())) {
        ReportIncorrectString();
        return;
    }
    const bool root = kind == kFrequentRoot || kind == kUserRoot;
    QTreeWidgetItem* parent = root ? selected : selected->parent();
    const std::string text =
        SequenceNodeText(dialog.Name().toStdString(), dialog.Moves().toStdString());
    tree.AddNode(parent, QString::fromStdString(text), root ? kind / 10 : kind);
}

void TDM::ac_StringEditExecute() {
    QTreeWidgetItem* selected = main_.Tree().Selected();
    const int kind = TSequenceTree::Kind(selected);
    if (kind != kFrequentNode && kind != kUserNode) return;
    const SequenceParts parts = SplitSequenceText(TSequenceTree::Text(selected).toStdString());
    Tfm_String dialog(&main_, QString::fromStdString(parts.name),
                      QString::fromStdString(parts.moves));
    if (dialog.exec() != QDialog::Accepted) return;
    if (!TVelmo::IsValidMoveString(dialog.Moves().toStdString())) {
        ReportIncorrectString();
        return;
    }
    TSequenceTree::SetText(selected, QString::fromStdString(SequenceNodeText(
                                         dialog.Name().toStdString(), dialog.Moves().toStdString())));
}

void TDM::ac_StringDeleteExecute() {
    QTreeWidgetItem* selected = main_.Tree().Selected();
    const int kind = TSequenceTree::Kind(selected);
    if (kind != kFrequentNode && kind != kUserNode) return;
    if (QMessageBox::question(&main_, "Внимание!", "Вы действительно хотите удалить эту запись?",
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    delete selected;
    UpdateSequenceActions();
}

void TDM::ac_HalpHelpExecute() {
    if (!help_) help_ = new THelpWindow(&main_);
    // A missing help file shows nothing and says nothing.
    help_->ShowPage(HelpIndexPath());
}

void TDM::ac_HelpAboutExecute() {
    if (main_.Guard().Busy()) return;
    Tfm_About about(&main_, QUrl::fromLocalFile(HelpIndexPath()).toString());
    about.exec();
}

}  // namespace velmo
