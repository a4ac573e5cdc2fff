#pragma once
// The reassembly tool window: the tools and one button per block, a thin face over
// TReassemblyTools. It stays on top of its owner, the main window, and frees itself when it
// closes.

#include <QWidget>
#include <array>
#include <functional>

#include "reassembly/reassembly_tools.h"

class QButtonGroup;
class QToolButton;

namespace velmo {

class Tfm_Hand : public QWidget {
    Q_OBJECT

public:
    // Called once when the window closes, before the cube is kept or reset: the owner enables
    // its commands again and leaves the reassembly mode.
    using CloseHandler = std::function<void()>;
    // Runs one of the window's operations on the cube (fly-outs and fly-ins, the reset at
    // close) under the owner's guard, which keeps other input away meanwhile and catches
    // RunStopped. Without one an operation runs directly, and a stopped reset ends as any
    // stopped run does (TVelmo::EndStoppedRun).
    using RunGuard = std::function<void(const std::function<void()>&)>;

    // The owner has already taken the cube apart (StartReassembly) and places the window.
    Tfm_Hand(QWidget* owner, TVelmo& cube, CloseHandler onClose, RunGuard run = {});

    // A left press on the desk while PickedCell is greater than 0.
    void HandleReassemblyClick();
    const TReassemblyTools& Tools() const { return tools_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void sb_ArrowClick();
    void sb_RotateClick();
    void sb_DeleteClick();
    void sb_BlockClick(int tag);
    void sb_VelmoHandClick();
    void sb_CancelClick();

    QToolButton* AddButton(const char* name, int x, int y, const QIcon& icon,
                           const QString& hint, bool inGroup);
    void Run(const std::function<void()>& operation);
    // Brings the buttons in line with the tools' state.
    void ShowState();

    TVelmo& cube_;
    TReassemblyTools tools_;
    CloseHandler onClose_;
    RunGuard run_;
    QButtonGroup* group_ = nullptr;
    QToolButton* sb_Arrow = nullptr;
    QToolButton* sb_Rotate = nullptr;
    QToolButton* sb_Delete = nullptr;
    QToolButton* sb_VelmoHand = nullptr;
    QToolButton* sb_Cancel = nullptr;
    QToolButton* sb_Ok = nullptr;
    std::array<QToolButton*, kCellCount + 1> blockButtons_{};  // by block number
    bool formClosed_ = false;
};

}  // namespace velmo
