// Remakes the pictures of the help pages and of the README from the real program: the main
// window is built over a temporary folder, shown, and driven through its own commands, the
// desk's mouse events and the reassembly tool window; every picture is what the screen shows.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tools/help_pictures help/images docs/window.png
//
// The desk must draw with the OpenGL device (an X server with OpenGL, e.g. Xvfb with Mesa). The
// reference device's picture comes from a second run of this program that it starts itself,
// without a display (QT_QPA_PLATFORM=offscreen), where no OpenGL context can be had.
// Positions come from fixed move strings, so the pictures come out the same each time.

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFont>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidgetItem>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/data_module.h"
#include "app/desk.h"
#include "app/gl/gl_desk_window.h"
#include "app/main_window.h"
#include "app/sequence_tree.h"
#include "model/velmo.h"
#include "platform/text.h"
#include "reassembly/hand_window.h"
#include "solver/stages.h"
#include "view/scene.h"

namespace {

using namespace velmo;

// The position the solver's chapter shows the protocol of.
constexpr const char* kSolverScramble =
    "Л Л Сп Сф' Сф Сф Н' В' В' Т Т Сп Сф' Сф' В' Св Т' Т' Ф' Ф' Сп Св Т Т";
// The position the mirror and the camera are moved on.
constexpr const char* kSampleScramble = "П В' Ф Сп Н Л' Т В П' Св Ф' Н";
// The scramble in the window pictures: the command seeds itself from the clock, so its
// turns are made here, as it makes them.
constexpr const char* kWindowScramble = "Сф' В Н Сф' Сп' Сп Сп Св' Сф' Т В В Сф Сф Н Н";
// The user's own sequences in the window pictures, as the settings file keeps them.
constexpr const char* kSampleIni =
    "[USER]\nPos1=Смена рёбер {((Ф' В Ф В') (В' П В П'))2 (В Ф' В' Ф)}\n"
    "Pos2=Поворот угла {(П Ф' П' Ф)2}\nCount=2\n";

// Each turn name of a string such as "П В' Сп".
void ForEachMove(const std::string& moves, const std::function<void(const std::string&)>& make) {
    std::size_t begin = 0;
    while (begin < moves.size()) {
        std::size_t end = moves.find(' ', begin);
        if (end == std::string::npos) end = moves.size();
        if (end > begin) make(moves.substr(begin, end - begin));
        begin = end + 1;
    }
}

[[noreturn]] void Fail(const QString& what) {
    std::fprintf(stderr, "help_pictures: %s\n", qPrintable(what));
    std::exit(1);
}

// Runs the event loop for a while, as the program's own loop runs between the user's actions:
// only when it waits for events are the window system's requests sent and the idle frame
// drawn.
void Pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void Save(const QImage& image, const QString& path) {
    // Quality 0 is the PNG writer's strongest compression; the pixels are the same.
    if (!image.save(path, "PNG", 0)) Fail("cannot write " + path);
    std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
}

// The real main window over a temporary folder that stands for the program's own: settings are
// read from there and, since the window is destroyed without the closing question, never
// written.
class Program {
public:
    // The device every desk of this run must draw with: OpenGL, except in the reference run.
    static inline bool hardwareExpected = true;

    explicit Program(const QByteArray& ini = {}) {
        if (!dir_.isValid()) Fail("no temporary folder");
        if (!ini.isEmpty()) WriteIni(ini);
        window_ = std::make_unique<Tfm_Main>(
            AppPaths{dir_.path(), dir_.filePath("config"), dir_.filePath("home")});
        if (window_->Terminated()) Fail("the scene could not be built");
        // Nothing animates longer than the clock needs to show it has moved.
        DM().Settings.handTurnDuration = 1;
        DM().Settings.autoTurnDuration = 1;
        window_->move(0, 0);
        window_->show();
        Settle();
        if (Scene().IsHardwareDevice() != hardwareExpected)
            Fail(hardwareExpected ? "the desk does not draw with the OpenGL device here"
                                  : "the reference run found an OpenGL device");
    }

    Tfm_Main& Window() { return *window_; }
    TDM& DM() { return window_->DM(); }
    TVelmo& Cube() { return DM().Cube(); }
    TScene& Scene() { return DM().Scene(); }
    TDesk& Desk() { return window_->Desk(); }

    // Waits until the window and the desk's OpenGL window are on the screen and idle.
    void Settle() {
        for (QWindow* window : QGuiApplication::allWindows())
            if (auto* gl = dynamic_cast<GlDeskWindow*>(window); gl && gl->isVisible())
                if (!gl->WaitUntilExposed()) Fail("the desk's OpenGL window was never exposed");
        Pause(150);
    }

    // Makes the window as tall as a desk of `size` pixels needs (the desk stays square).
    void FitDesk(int size) {
        for (int i = 0; i < 8 && Desk().height() != size; ++i) {
            window_->resize(window_->width(), window_->height() + size - Desk().height());
            Settle();
        }
        if (Desk().height() != size || Desk().width() != size)
            Fail(QString("the desk is %1x%2, not %3")
                     .arg(Desk().width())
                     .arg(Desk().height())
                     .arg(size));
    }
    void Resize(QSize size) {
        window_->resize(size);
        Settle();
    }

    // The moves of a string at once and unlogged, as a way to set up a position.
    void SetUp(const std::string& moves) {
        const bool logTurns = Cube().LogTurns;
        Cube().LogTurns = false;
        Cube().TurnDuration = 0;
        ForEachMove(moves, [this](const std::string& move) { Cube().ExecuteMove(move); });
        Cube().LogTurns = logTurns;
    }

    // What the scramble command does, with the turns given: its log line, its turns at the
    // automatic speed.
    void Scramble(const std::string& moves) {
        TVelmo& cube = Cube();
        cube.UserLineOpen = false;
        cube.TurnDuration = DM().Settings.autoTurnDuration;
        window_->Log().AddMessage("Запутывание Кубика Вельмо");
        window_->Log().AppendMessage(":");
        ForEachMove(moves, [&](const std::string& move) { cube.ExecuteMove(move); });
        ExpectLastLog("Запутывание Кубика Вельмо: " + moves + " ");
    }

    // Draws a frame from the view angles as they stand and takes the desk off the screen.
    QImage DeskPicture() {
        Scene().ComputeViewPoints();
        Scene().SetupLights();
        Scene().ApplyViewTransform();
        Scene().RenderFrame();
        Pause(100);
        return Grab(DeskRect());
    }
    QRect DeskRect() { return {Desk().mapToGlobal(QPoint(0, 0)), Desk().size()}; }
    QRect WindowRect() { return window_->frameGeometry(); }
    static QImage Grab(const QRect& r) {
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, r.x(), r.y(), r.width(), r.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    // Mouse events as the desk receives them, at logical desk points.
    void SendMouse(QEvent::Type type, Qt::MouseButton button, QPointF at) {
        const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent event(type, at, Desk().mapToGlobal(at), changed, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&Desk(), &event);
    }
    void Drag(Qt::MouseButton button, QPointF from, QPointF to, int steps = 8) {
        SendMouse(QEvent::MouseButtonPress, button, from);
        for (int i = 1; i <= steps; ++i)
            SendMouse(QEvent::MouseMove, button, from + (to - from) * i / steps);
        SendMouse(QEvent::MouseButtonRelease, button, to);
        Settle();
    }
    void Hover(QPointF at) {
        SendMouse(QEvent::MouseMove, Qt::NoButton, at);
        Settle();
    }
    void Click(QPointF at) {
        SendMouse(QEvent::MouseButtonPress, Qt::LeftButton, at);
        SendMouse(QEvent::MouseButtonRelease, Qt::LeftButton, at);
        Settle();
    }

    // The middle of what the scene's picking finds under the desk for which `wanted` holds,
    // in logical desk points; nothing when no pixel qualifies.
    std::optional<QPointF> Find(const std::function<bool(const PickResult&)>& wanted) {
        const std::optional<PickMap> map = Scene().PickAll();
        if (!map) Fail("the desk's identification picture cannot be read");
        // The identification picture stays in the back buffer; the desk shows the cube again.
        Scene().RenderFrame();
        double sx = 0, sy = 0;
        int count = 0;
        for (int y = 0; y < map->height; ++y)
            for (int x = 0; x < map->width; ++x)
                if (wanted(map->At(x, y))) sx += x, sy += y, ++count;
        if (count == 0) return std::nullopt;
        const double ratio = Desk().devicePixelRatioF();
        return QPointF((sx / count + 0.5) / ratio, (sy / count + 0.5) / ratio);
    }
    QPointF Sticker(int cell, int slot) {
        const auto at = Find([=](const PickResult& p) {
            return p.green5 == 0 && p.red5 == cell && p.blue5 == slot;
        });
        if (!at) Fail(QString("no sticker %1 of cell %2 on the desk").arg(slot).arg(cell));
        return *at;
    }
    QPointF CellOnDesk(int cell) {
        const auto at = Find([=](const PickResult& p) { return p.green5 == 0 && p.red5 == cell; });
        if (!at) Fail(QString("cell %1 is not on the desk").arg(cell));
        return *at;
    }
    QPointF Mirror() {
        const auto at = Find([](const PickResult& p) { return p.Disc(); });
        if (!at) Fail("no mirror on the desk");
        return *at;
    }

    const std::string& LastLogLine() { return window_->Log().Lines().back(); }
    void ExpectLastLog(const std::string& text) {
        if (LastLogLine() != text)
            Fail(QString("the log says \"%1\", not \"%2\"")
                     .arg(QString::fromStdString(LastLogLine()), QString::fromStdString(text)));
    }

    Tfm_Hand& Hand() {
        Tfm_Hand* hand = DM().HandWindow();
        if (!hand) Fail("the reassembly tool window is not open");
        return *hand;
    }
    void ClickHandButton(const QString& name) {
        auto* button = Hand().findChild<QToolButton*>(name);
        if (!button || !button->isEnabled()) Fail("no button " + name + " to press");
        button->click();
        Settle();
    }

private:
    void WriteIni(const QByteArray& utf8) {
        QFile file(dir_.filePath("velmo.ini"));
        const std::string bytes = Utf8ToCp1251(utf8.toStdString());
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), bytes.size()) < 0)
            Fail("cannot write the settings file");
    }

    QTemporaryDir dir_;
    std::unique_ptr<Tfm_Main> window_;
};

// ---- What is painted over the grabbed pictures: the mouse's path and names.

const QColor kMarkColour(0xFF, 0xD8, 0x00);
const QColor kMarkOutline(0x40, 0x30, 0x00);

// The way the mouse went with the button held: a dot where it was pressed, the head where it
// was let go.
void PaintDrag(QImage& image, QPointF from, QPointF to) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QLineF line(from, to);
    const QLineF unit = line.unitVector();
    const QPointF along = unit.p2() - unit.p1();
    const QPointF across(-along.y(), along.x());
    const QPointF base = to - along * 16;
    QPainterPath path;
    path.moveTo(from);
    path.lineTo(base);
    QPainterPath head;
    head.moveTo(to);
    head.lineTo(base + across * 8);
    head.lineTo(base - across * 8);
    head.closeSubpath();
    for (const auto& [colour, width] :
         {std::pair{kMarkOutline, 8.0}, std::pair{kMarkColour, 4.5}}) {
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(colour);
        painter.drawPath(path);
        painter.drawPath(head);
        painter.drawEllipse(from, width, width);
    }
}

// Bold letters in the marks' colour, outlined, centred on a point.
void PaintLabel(QImage& image, QPointF centre, const QString& text, int pixelSize) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(pixelSize);
    QPainterPath path;
    path.addText(0, 0, font, text);
    path.translate(centre - path.boundingRect().center());
    painter.strokePath(path, QPen(kMarkOutline, 2 + pixelSize / 8.0, Qt::SolidLine, Qt::RoundCap,
                                  Qt::RoundJoin));
    painter.fillPath(path, kMarkColour);
}

// Before and after side by side, a grey arrow between them on the page's white.
QImage BeforeAfter(const QImage& before, const QImage& after) {
    const int gap = 40;
    QImage image(before.width() + gap + after.width(), std::max(before.height(), after.height()),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawImage(0, 0, before);
    painter.drawImage(before.width() + gap, 0, after);
    const double x = before.width() + gap / 2.0, y = image.height() / 2.0;
    QPainterPath arrow;
    arrow.moveTo(x - 12, y - 6);
    arrow.lineTo(x, y - 6);
    arrow.lineTo(x, y - 14);
    arrow.lineTo(x + 13, y);
    arrow.lineTo(x, y + 14);
    arrow.lineTo(x, y + 6);
    arrow.lineTo(x - 12, y + 6);
    arrow.closeSubpath();
    painter.fillPath(arrow, QColor(0x40, 0x40, 0x40));
    return image;
}

// ---- The pictures.

constexpr int kDesk = 320;

void DeskPictures(const QString& out) {
    Program program;
    program.FitDesk(kDesk);
    Save(program.DeskPicture(), out + "/about_desk_hardware.png");
    QImage faces = program.DeskPicture();
    PaintLabel(faces, program.Sticker(11, kTop), "В", 34);
    PaintLabel(faces, program.Sticker(5, kFront), "Ф", 34);
    PaintLabel(faces, program.Sticker(14, kRight), "П", 34);
    PaintLabel(faces, QPointF(kDesk - 88, kDesk - 20), "в зеркале: Т, Л, Н", 16);
    Save(faces, out + "/notation_faces.png");
}

// A drag on the desk as the user makes it, before and after, with the way the mouse went.
void DragPicture(Program& program, QPointF from, QPointF to, const std::string& logLine,
                 const QString& path) {
    QImage before = program.DeskPicture();
    program.Drag(Qt::LeftButton, from, to);
    if (!logLine.empty()) program.ExpectLastLog(logLine);
    const QImage after = program.DeskPicture();
    PaintDrag(before, from, to);
    Save(BeforeAfter(before, after), path);
}

void MousePictures(const QString& out) {
    {
        Program program;
        program.FitDesk(kDesk);
        const QPointF from = program.Sticker(3, kFront);
        DragPicture(program, from, from + QPointF(0, -64), "Операции пользователя: П ",
                    out + "/mouse_drag_layer.png");
    }
    {
        Program program;
        program.FitDesk(kDesk);
        const QPointF from = program.Sticker(6, kFront);
        DragPicture(program, from, from + QPointF(-80, 0), "Операции пользователя: Св ",
                    out + "/mouse_drag_slice.png");
    }
    {
        Program program;
        program.FitDesk(kDesk);
        const QPointF from = program.Sticker(5, kFront);
        DragPicture(program, from, from + QPointF(0, -64), "Операции пользователя: Оп ",
                    out + "/mouse_drag_cube.png");
    }
    {
        Program program;
        program.FitDesk(kDesk);
        program.SetUp(kSampleScramble);
        const QPointF from = program.Mirror();
        DragPicture(program, from, from + QPointF(0, -80), "", out + "/mouse_mirror.png");
    }
    {
        Program program;
        program.FitDesk(kDesk);
        program.SetUp(kSampleScramble);
        program.Drag(Qt::RightButton, QPointF(160, 250), QPointF(160, 80), 16);
        Save(program.DeskPicture(), out + "/mouse_camera_below.png");
    }
}

void NotationPictures(const QString& out) {
    const std::pair<const char*, const char*> turns[] = {
        {"Ф", "F"}, {"П", "P"}, {"В", "V"}, {"Сп", "Sp"}, {"Св", "Sv"}, {"Оп", "Op"}};
    for (const auto& [move, name] : turns) {
        Program program;
        program.FitDesk(200);
        program.SetUp(move);
        Save(program.DeskPicture(), out + "/notation_turn_" + name + ".png");
    }
}

// The scrambled position, then the position each stage leaves (after the orientation).
void SolverPictures(const QString& out) {
    Program program;
    program.FitDesk(180);
    program.SetUp(kSolverScramble);
    Save(program.DeskPicture(), out + "/solver_stage0.png");
    TVelmo& cube = program.Cube();
    cube.TurnDuration = 0;
    const std::function<void(TVelmo&)> stages[] = {
        solver::SolveTopCross,    solver::SolveTopCorners,    solver::SolveMiddleLayer,
        solver::SolveBottomCross, solver::SolveBottomCorners, solver::OrientCorners};
    OrientCube(cube);
    for (int i = 0; i < 6; ++i) {
        stages[i](cube);
        Save(program.DeskPicture(), out + QString("/solver_stage%1.png").arg(i + 1));
    }
}

// The desk and the tool window beside it, as far down as the taller of the two reaches. The
// tool window stands a little higher than the desk, so the menu bar shows above the desk; the
// picture starts right of the menu titles.
QImage ReassemblyPicture(Program& program) {
    program.Scene().RenderFrame();
    Pause(100);
    QMenuBar* bar = program.Window().menuBar();
    const QRect lastTitle = bar->actionGeometry(bar->actions().last());
    const int menuEnd = bar->mapToGlobal(lastTitle.topRight()).x() + 1;
    const QRect desk = program.DeskRect();
    const QRect hand = program.Hand().frameGeometry();
    const int left = std::max(desk.left(), menuEnd + 1), top = std::min(desk.top(), hand.top());
    return Program::Grab(QRect(QPoint(left, top), QPoint(hand.right(),
                                                         std::max(desk.bottom(), hand.bottom()))));
}

// Chooses a block's button and clicks the empty cell it is to go to.
void PlaceByHand(Program& program, int block, int cell) {
    program.ClickHandButton(QString("sb_Block%1").arg(block));
    const QPointF at = program.CellOnDesk(cell);
    program.Hover(at);
    if (program.Cube().PickedCell != cell) Fail(QString("cell %1 is not highlighted").arg(cell));
    program.Click(at);
}

void ReassemblyPictures(const QString& out) {
    Program program;
    program.FitDesk(kDesk);
    program.DM().ac_VelmoHand->trigger();
    program.Settle();
    // The desk as tall as the tool window, so the two stand side by side.
    program.FitDesk(program.Hand().frameGeometry().bottom() + 1 - program.DeskRect().top());
    Save(ReassemblyPicture(program), out + "/reassembly_apart.png");

    for (const auto& [block, cell] : {std::pair{1, 1}, {2, 2}, {3, 3}, {6, 6}, {12, 12}})
        PlaceByHand(program, block, cell);
    program.ClickHandButton("sb_Block9");
    program.Hover(program.CellOnDesk(9));
    Save(ReassemblyPicture(program), out + "/reassembly_place.png");

    program.Click(program.CellOnDesk(9));
    program.ClickHandButton("sb_Rotate");
    program.Hover(program.CellOnDesk(3));
    Save(ReassemblyPicture(program), out + "/reassembly_rotate.png");
}

// The whole window after a scramble and a few turns of the user's, the user's sequences in
// the tree.
QImage WindowPicture(QSize size) {
    Program program(kSampleIni);
    program.Resize(size);
    program.Scramble(kWindowScramble);
    TSequenceTree& tree = program.Window().Tree();
    QTreeWidgetItem* basic = tree.FindRoot(kBasicRoot);
    for (int index : {2, 8}) program.DM().tv_MovesDblClick(basic->child(index));
    // Opened as the user opens them, with a click on the root.
    tree.FindRoot(kBasicRoot)->setExpanded(true);
    tree.FindRoot(kUserRoot)->setExpanded(true);
    tree.scrollToBottom();
    program.Settle();
    program.DeskPicture();
    return Program::Grab(program.WindowRect());
}

// The second run: the real window where only the reference device can draw.
int ReferenceRun(const QString& out) {
    Program::hardwareExpected = false;
    Program program;
    program.FitDesk(kDesk);
    program.Scene().RenderFrame();
    Save(program.Desk().Frame(), out + "/about_desk_reference.png");
    return 0;
}

void StartReferenceRun(const QString& out) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"--reference", out});
    if (!child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0)
        Fail("the reference run failed");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    const bool reference = args.value(0) == "--reference";
    if (reference) args.removeFirst();
    if (args.size() < 1 || args.size() > 2) {
        std::fprintf(stderr, "usage: help_pictures IMAGES_DIR [README_PICTURE]\n");
        return 2;
    }
    const QString out = args[0];
    if (!QDir().mkpath(out)) Fail("cannot make " + out);
    if (reference) return ReferenceRun(out);

    DeskPictures(out);
    MousePictures(out);
    NotationPictures(out);
    SolverPictures(out);
    ReassemblyPictures(out);
    Save(WindowPicture(QSize(640, 480)), out + "/about_window.png");
    if (args.size() == 2) Save(WindowPicture(QSize(760, 560)), args[1]);
    StartReferenceRun(out);
    return 0;
}
