#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QMessageBox>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdio>

#include "app/data_module.h"
#include "app/desk.h"
#include "app/key_turn_filter.h"
#include "app/log_view.h"
#include "app/message_panel.h"
#include "app/run_guard.h"
#include "app/sequence_tree.h"
#include "app/window_geometry.h"
#include "reassembly/hand_window.h"
#include "view/scene.h"

namespace velmo {

namespace {

constexpr int kToolBarWidth = 92;
constexpr int kToolButtonWidth = 88;
constexpr int kToolButtonStep = 60;
constexpr int kStripWidth = 24;
constexpr int kSplitterHeight = 8;
constexpr int kSplitterMinimum = 64;
// The tree stays usable however tall the desk grows: beyond this it gives up no more width,
// and the window widens instead.
constexpr int kTreeMinimumWidth = 120;
const QColor kStripColour(0xC8, 0xF0, 0xC8);

}  // namespace

Tfm_Main::Tfm_Main(const AppPaths& paths) : paths_(paths) {
    setObjectName("Tfm_Main");
    setWindowTitle("Кубик Вельмо");
    guard_ = new RunGuard(this, this);
    connect(guard_, &RunGuard::closeDeferred, this, &QWidget::close, Qt::QueuedConnection);
    connect(guard_, &RunGuard::quitDeferred, this, &Tfm_Main::QuitSaving, Qt::QueuedConnection);
    // Logging out: the session asks its programs to save what they hold.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &Tfm_Main::QuitSaving);
    BuildLayout();
    resize(551, 457);

    // The creation event: no data module yet, so the resize rule rebuilds nothing; then the
    // data module loads the settings and builds the scene with the cube.
    pn_DeskResize();
    dm_ = std::make_unique<TDM>(*this);
    InReassembly = false;
    TakeUpDataModule();
    ConnectDeskMouse();
    keyTurns_ = new TKeyTurns(*this, [this](Move move) {
        dm_->RunUserTurn(std::string(TurnOf(move).notation));
    });
    if (const auto& geometry = dm_->SavedGeometry()) RestoreWindowGeometry(*this, *geometry);
}

Tfm_Main::~Tfm_Main() {
    // The tool window works on the data module's cube, and the model still writes to the log
    // while it goes.
    if (dm_) delete dm_->HandWindow();
    mouse_.reset();
    dm_.reset();
    logView_.reset();
}

bool Tfm_Main::Terminated() const { return !dm_ || dm_->Terminated(); }

void Tfm_Main::BuildLayout() {
    addToolBar(Qt::LeftToolBarArea, BuildToolBar());

    pn_Messages = new TMessagePanel;
    logView_ = std::make_unique<LogView>(*pn_Messages->Memo(), log_);
    spl_Messages = new QSplitter(Qt::Vertical);
    spl_Messages->setObjectName("spl_Messages");
    spl_Messages->setHandleWidth(kSplitterHeight);
    spl_Messages->setChildrenCollapsible(false);
    spl_Messages->setOpaqueResize(true);
    // A bevelled bar: light above, dark below.
    spl_Messages->setStyleSheet(
        "QSplitter::handle { border-top: 1px solid palette(light);"
        " border-bottom: 1px solid palette(dark); background: palette(button); }");
    spl_Messages->addWidget(BuildUpperBand());
    spl_Messages->addWidget(pn_Messages);
    spl_Messages->setStretchFactor(0, 1);
    spl_Messages->setStretchFactor(1, 0);
    pn_Messages->setMinimumHeight(kSplitterMinimum);
    spl_Messages->setSizes({300, TMessagePanel::kExpandedHeight});
    connect(pn_Messages, &TMessagePanel::collapsedChanged, this, &Tfm_Main::spl_MessagesCollapse);

    auto* client = new QWidget;
    client->setObjectName("pn_Client");
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(spl_Messages);
    setCentralWidget(client);

    statusBar()->setObjectName("StatusBar");
    statusBar()->setSizeGripEnabled(true);
}

QToolBar* Tfm_Main::BuildToolBar() {
    tb_Main = new QToolBar("Кубик Вельмо");
    tb_Main->setObjectName("tb_Main");
    tb_Main->setOrientation(Qt::Vertical);
    tb_Main->setMovable(false);
    tb_Main->setFloatable(false);
    tb_Main->setFixedWidth(kToolBarWidth);
    tb_Main->setIconSize(QSize(32, 32));
    tb_Main->setContextMenuPolicy(Qt::PreventContextMenu);
    // The workspace colour behind white captions.
    tb_Main->setStyleSheet(
        "QToolBar { background: palette(dark); border: none; spacing: 0px; padding: 2px; }"
        "QToolButton { color: white; border: 1px solid transparent; }"
        "QToolButton:hover { border: 1px solid palette(light); }"
        "QToolButton:pressed { border: 1px solid palette(shadow); }"
        "QToolButton:disabled { color: palette(midlight); }");
    for (QToolButton*& button : tb_Buttons) {
        button = new QToolButton;
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setFixedSize(kToolButtonWidth, kToolButtonStep);
        tb_Main->addWidget(button);
    }
    return tb_Main;
}

QWidget* Tfm_Main::BuildUpperBand() {
    auto* strip = new QWidget;
    strip->setObjectName("pn_Strip");
    strip->setFixedWidth(kStripWidth);
    strip->setAutoFillBackground(true);
    QPalette palette = strip->palette();
    palette.setColor(QPalette::Window, kStripColour);
    strip->setPalette(palette);

    pn_Desk = new TDesk;
    // A click on the desk gives it the keyboard (Ctrl+C copies the position from there).
    pn_Desk->setFocusPolicy(Qt::StrongFocus);
    connect(pn_Desk, &TDesk::resized, this, &Tfm_Main::pn_DeskResize);

    pn_Tree = new QWidget;
    pn_Tree->setObjectName("pn_Tree");
    pn_Tree->setMinimumWidth(kTreeMinimumWidth);
    tv_Moves = new TSequenceTree;
    tv_Moves->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tv_Moves, &QWidget::customContextMenuRequested, this, &Tfm_Main::ShowTreeMenu);
    auto* treeLayout = new QVBoxLayout(pn_Tree);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    treeLayout->addWidget(tv_Moves);

    auto* band = new QWidget;
    band->setObjectName("pn_Upper");
    auto* row = new QHBoxLayout(band);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(strip);
    row->addWidget(pn_Desk);
    row->addWidget(pn_Tree, 1);
    return band;
}

void Tfm_Main::TakeUpDataModule() {
    menuBar()->addMenu(dm_->mi_File);
    menuBar()->addMenu(dm_->mi_Edit);
    menuBar()->addMenu(dm_->mi_Service);
    menuBar()->addMenu(dm_->mi_Help);
    QAction* cubeActions[4] = {dm_->ac_VelmoNew, dm_->ac_VelmoBreak, dm_->ac_VelmoSolve,
                               dm_->ac_VelmoHand};
    const char* captions[4] = {"Новый", "Запутать", "Собрать", "Пересложить"};
    for (int i = 0; i < 4; ++i) {
        cubeActions[i]->setIconText(captions[i]);
        tb_Buttons[i]->setDefaultAction(cubeActions[i]);
        tb_Buttons[i]->setIcon(dm_->il_Large.value(i));
    }
    // F1 and the short cuts of «Правка» and «Выход» from anywhere in the main window; the
    // position's Ctrl+C only on the desk and the tree (in the log it copies text).
    addActions({dm_->ac_HalpHelp, dm_->ac_EditUndo, dm_->ac_EditRedo, dm_->ac_EditPaste,
                dm_->ac_FileExit});
    pn_Desk->addAction(dm_->ac_EditCopy);
    tv_Moves->addAction(dm_->ac_EditCopy);
    connect(tv_Moves, &QTreeWidget::itemDoubleClicked, dm_.get(), &TDM::tv_MovesDblClick);
    connect(tv_Moves, &QTreeWidget::itemSelectionChanged, dm_.get(), &TDM::UpdateSequenceActions);
    dm_->UpdateSequenceActions();
}

void Tfm_Main::ConnectDeskMouse() {
    if (Terminated()) return;
    mouse_ = std::make_unique<DeskMouse>(dm_->Scene(), dm_->Cube(), static_cast<IDeskMouseHost&>(*this));
    // A sticker turn or a reassembly animation runs inside the event as one long operation.
    const auto run = [this](auto&& handle) { dm_->RunOnCube(handle, {RunKind::User}); };
    const auto button = [](const QMouseEvent* event) {
        switch (event->button()) {
            case Qt::RightButton: return std::optional(MouseButton::Right);
            case Qt::MiddleButton: return std::optional(MouseButton::Middle);
            case Qt::LeftButton: return std::optional(MouseButton::Left);
            default: return std::optional<MouseButton>();
        }
    };
    const auto point = [](const QMouseEvent* event) {
        return DeskPoint{event->position().x(), event->position().y()};
    };
    pn_Desk->onMousePress = [=, this](QMouseEvent* event) {
        if (const auto b = button(event)) run([&] { mouse_->MouseDown(*b, point(event)); });
    };
    pn_Desk->onMouseMove = [=, this](QMouseEvent* event) {
        run([&] { mouse_->MouseMove(point(event)); });
    };
    pn_Desk->onMouseRelease = [=, this](QMouseEvent* event) {
        if (const auto b = button(event)) run([&] { mouse_->MouseUp(*b, point(event)); });
    };
}

void Tfm_Main::HandleReassemblyClick() {
    if (Tfm_Hand* hand = dm_->HandWindow()) hand->HandleReassemblyClick();
}

int Tfm_Main::DeskWidth() const { return pn_Desk->width(); }

double Tfm_Main::DevicePixelRatio() const { return pn_Desk->devicePixelRatioF(); }

DeskPoint Tfm_Main::PictureOrigin() const {
    const QPointF origin = pn_Desk->PictureRect().topLeft();
    return {origin.x(), origin.y()};
}

void Tfm_Main::ShowTreeMenu(const QPoint& position) {
    if (!dm_ || guard_->Busy()) return;
    dm_->pm_Moves->exec(tv_Moves->viewport()->mapToGlobal(position));
}

void Tfm_Main::pn_DeskResize() {
    const int w = pn_Desk->width(), h = pn_Desk->height();
    if (w > h) {
        pn_Desk->setFixedWidth(h);
    } else if (w < h) {
        const int treeCanGive = std::max(0, pn_Tree->width() - pn_Tree->minimumWidth());
        if (w + treeCanGive < h) resize(width() + h - (w + treeCanGive), height());
        pn_Desk->setFixedWidth(h);
    }
    if (dm_) dm_->ResetScene();
}

void Tfm_Main::spl_MessagesCollapse(bool collapsed) {
    // Folded, the panel keeps its title's height and the splitter does not move; unfolded, the
    // splitter may again make it as small as its minimum.
    const int height = collapsed ? TMessagePanel::kCollapsedHeight : TMessagePanel::kExpandedHeight;
    pn_Messages->setMinimumHeight(collapsed ? TMessagePanel::kCollapsedHeight : kSplitterMinimum);
    pn_Messages->setMaximumHeight(collapsed ? TMessagePanel::kCollapsedHeight : QWIDGETSIZE_MAX);
    spl_Messages->handle(1)->setEnabled(!collapsed);
    const int total = spl_Messages->height() - kSplitterHeight;
    spl_Messages->setSizes({total - height, height});
}

void Tfm_Main::closeEvent(QCloseEvent* event) {
    // Saved already, and not to be asked about.
    if (quitting_) {
        event->accept();
        return;
    }
    // A close that reaches here during a long operation (through a message box's own loop)
    // waits for the operation's end, like one the run guard caught.
    if (guard_->Busy() || confirmingClose_) {
        event->ignore();
        if (guard_->Busy()) guard_->DeferClose();
        return;
    }
    confirmingClose_ = true;
    const auto answer = QMessageBox::question(
        this, "Velmo Cube", "Вы действительно хотите завершить работу с программой?",
        QMessageBox::Yes | QMessageBox::No);
    const bool close = answer == QMessageBox::Yes && (!dm_ || dm_->SaveSettingsBeforeClose());
    confirmingClose_ = false;
    if (close) event->accept();
    else event->ignore();
}

void Tfm_Main::QuitSaving() {
    if (quitting_) return;
    if (guard_->Busy()) {
        guard_->DeferQuit();
        // A box shown inside the run (the solver's failure) would hold the run for ever.
        CloseModalDialogs();
        return;
    }
    quitting_ = true;
    if (dm_) {
        const std::string problem = dm_->WriteSettingsFile();
        if (!problem.empty())
            std::fprintf(stderr, "velmo: файл конфигурации не записан: %s\n", problem.c_str());
    }
    // A dialog open now ends as if cancelled, and the window closes with nothing to ask.
    CloseModalDialogs();
    close();
}

void Tfm_Main::CloseModalDialogs() {
    // Bounded: a box that will not close (one without a way to cancel) must not hold us here.
    for (int i = 0; i < 8; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        modal->close();
    }
}

void Tfm_Main::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && dm_) {
        const auto old = static_cast<QWindowStateChangeEvent*>(event)->oldState();
        if (isMinimized()) dm_->ApplicationEventsMinimize();
        else if (old & Qt::WindowMinimized) dm_->ApplicationEventsRestore();
    }
    QMainWindow::changeEvent(event);
}

}  // namespace velmo
