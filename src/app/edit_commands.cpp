// The data module's «Правка» commands: undo and redo through the history, the position out to
// the clipboard as facelets and in from it, and setting up a position from facelets.

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>

#include "app/cube_history.h"
#include "app/data_module.h"
#include "app/main_window.h"
#include "app/run_guard.h"
#include "log/message_log.h"
#include "model/facelets.h"
#include "model/velmo.h"

namespace velmo {

void TDM::CreateEditActions() {
    const QString edit = "Правка";
    ac_EditUndo = NewAction("ac_EditUndo", "Отменить", "Отменить", "Отменять нечего", -1, edit);
    ac_EditRedo = NewAction("ac_EditRedo", "Повторить", "Повторить", "Повторять нечего", -1, edit);
    ac_EditCopy = NewAction("ac_EditCopy", "Копировать позицию", "Копировать позицию",
                            "Положить позицию кубика в буфер обмена строкой из 54 букв", -1, edit);
    ac_EditPaste =
        NewAction("ac_EditPaste", "Вставить позицию", "Вставить позицию",
                  "Поставить кубик в позицию из буфера обмена (строка из 54 букв)", -1, edit);
    ac_EditUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    ac_EditRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                               QKeySequence(Qt::CTRL | Qt::Key_Y)});
    // Only on the desk and the tree: in the log Ctrl+C copies the selected text.
    ac_EditCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    ac_EditCopy->setShortcutContext(Qt::WidgetShortcut);
    ac_EditPaste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    ac_FileExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    for (QAction* action : {ac_EditUndo, ac_EditRedo, ac_EditPaste, ac_FileExit})
        action->setShortcutContext(Qt::WindowShortcut);
    connect(ac_EditUndo, &QAction::triggered, this, &TDM::ac_EditUndoExecute);
    connect(ac_EditRedo, &QAction::triggered, this, &TDM::ac_EditRedoExecute);
    connect(ac_EditCopy, &QAction::triggered, this, &TDM::ac_EditCopyExecute);
    connect(ac_EditPaste, &QAction::triggered, this, &TDM::ac_EditPasteExecute);

    mi_Edit = new QMenu("Правка", &main_);
    mi_Edit->setObjectName("mi_Edit");
    mi_Edit->addActions({ac_EditUndo, ac_EditRedo});
    mi_Edit->addSeparator();
    mi_Edit->addActions({ac_EditCopy, ac_EditPaste});
}

void TDM::CreateHistory() {
    if (!scene_->Model()) return;
    history_ = std::make_unique<TCubeHistory>(Cube(), ac_EditUndo, ac_EditRedo,
                                              *main_.statusBar(), nullptr);
}

void TDM::ac_EditUndoExecute() {
    if (!history_ || !ac_EditUndo->isEnabled()) return;
    RunOnCube([this] { history_->MakeUndo(); }, {RunKind::Undo});
}

void TDM::ac_EditRedoExecute() {
    if (!history_ || !ac_EditRedo->isEnabled()) return;
    RunOnCube([this] { history_->MakeRedo(); }, {RunKind::Redo});
}

void TDM::ac_EditCopyExecute() {
    if (!ac_EditCopy->isEnabled()) return;
    QGuiApplication::clipboard()->setText(QString::fromStdString(ToFacelets(Cube())));
    main_.statusBar()->showMessage("Позиция кубика скопирована в буфер обмена", 3000);
}

void TDM::ac_EditPasteExecute() {
    if (main_.Guard().Busy() || !ac_EditPaste->isEnabled()) return;
    const QString text = QGuiApplication::clipboard()->text().trimmed();
    const std::string facelets = text.toStdString();
    const std::string problem = text.isEmpty()
                                    ? "в буфере обмена нет текста"
                                    : FaceletsProblem(facelets, FaceletsLanguage::Russian);
    if (!problem.empty()) {
        QMessageBox::warning(&main_, "Вставить позицию",
                             "Позицию из буфера обмена вставить нельзя: " +
                                 QString::fromStdString(problem) + ".");
        return;
    }
    SetUpPosition(facelets, "Позиция вставлена из буфера обмена: " + facelets,
                  "после вставки позиции");
}

void TDM::SetUpPosition(const std::string& facelets, const std::string& logLine,
                        const std::string& since) {
    RunOnCube(
        [&] {
            SetFacelets(Cube(), facelets);
            Cube().UserLineOpen = false;
            main_.Log().AddMessage(logLine);
        },
        {RunKind::NewPosition, since});
}

}  // namespace velmo
