#pragma once
// Tfm_Main, "Кубик Вельмо": the tool bar of the four cube commands, the desk, the tree of
// moves, the collapsible message log and the status bar. It owns the message log, the run
// guard and the data module, keeps the desk square, and asks before it closes.

#include <QMainWindow>
#include <memory>

#include "app/app_paths.h"
#include "control/desk_mouse.h"
#include "log/message_log.h"

class QSplitter;
class QToolBar;
class QToolButton;

namespace velmo {

class LogView;
class RunGuard;
class TDM;
class TDesk;
class TKeyTurns;
class TMessagePanel;
class TSequenceTree;

class Tfm_Main : public QMainWindow, private IDeskMouseHost {
    Q_OBJECT
public:
    explicit Tfm_Main(const AppPaths& paths = AppPaths::OfProcess());
    ~Tfm_Main() override;

    // The message log: a new line, or a word and a blank added to the last line.
    void AddMessage(const std::string& text) { log_.AddMessage(text); }
    void AppendMessage(const std::string& word) { log_.AppendMessage(word); }
    TMessageLog& Log() { return log_; }

    TDM& DM() { return *dm_; }
    RunGuard& Guard() { return *guard_; }
    TDesk& Desk() { return *pn_Desk; }
    TSequenceTree& Tree() { return *tv_Moves; }
    TMessagePanel& MessagePanel() { return *pn_Messages; }
    const TMessagePanel& MessagePanel() const { return *pn_Messages; }
    QSplitter& MessageSplitter() { return *spl_Messages; }
    QWidget& TreePanel() { return *pn_Tree; }
    const AppPaths& Paths() const { return paths_; }
    // True when the scene could not be built and the program must end without its loop.
    bool Terminated() const;

    // The reassembly-mode flag: set while the reassembly tool window is open.
    bool InReassembly = false;

    // The desk-resize rule: the desk stays square, its width following its height.
    void pn_DeskResize();
    // The mouse on the desk (drags, sticker turns, the reassembly highlight).
    DeskMouse& Mouse() { return *mouse_; }
    // Turns from the keyboard.
    TKeyTurns& KeyTurns() { return *keyTurns_; }

    // The program is asked to end from outside (a signal, the end of the desktop session):
    // a run under way stops first, then the settings are saved without a question and the
    // program ends. A failed save is told on stderr: there may be nobody to answer a box.
    void QuitSaving();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildLayout();
    QToolBar* BuildToolBar();
    QWidget* BuildUpperBand();
    void TakeUpDataModule();
    void spl_MessagesCollapse(bool collapsed);
    void ShowTreeMenu(const QPoint& position);
    void ConnectDeskMouse();
    void CloseModalDialogs();

    // IDeskMouseHost
    bool ReassemblyMode() const override { return InReassembly; }
    void HandleReassemblyClick() override;
    int DeskWidth() const override;
    double DevicePixelRatio() const override;
    DeskPoint PictureOrigin() const override;

    AppPaths paths_;
    TMessageLog log_;
    RunGuard* guard_;
    QToolBar* tb_Main = nullptr;
    QToolButton* tb_Buttons[4] = {};
    TDesk* pn_Desk = nullptr;
    QWidget* pn_Tree = nullptr;
    TSequenceTree* tv_Moves = nullptr;
    QSplitter* spl_Messages = nullptr;
    TMessagePanel* pn_Messages = nullptr;
    std::unique_ptr<LogView> logView_;
    std::unique_ptr<TDM> dm_;
    std::unique_ptr<DeskMouse> mouse_;
    TKeyTurns* keyTurns_ = nullptr;
    bool confirmingClose_ = false;
    bool quitting_ = false;
};

}  // namespace velmo
