// The everyday conveniences of the main window: turns from the keyboard, undo and redo, the
// position through the clipboard, finishing a run at once, the hand solve noticed, the window's
// place kept, whole texts in the tree, Ctrl+Q and the start position from the command line.

#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>

#include "app_test_support.h"
#include "app/cube_history.h"
#include "app/key_turn_filter.h"
#include "platform/text.h"
#include "app/message_panel.h"
#include "app/run_guard.h"
#include "app/command_line.h"
#include "control/sticker_turns.h"
#include "headless/random_positions.h"
#include "history/cube_rotation.h"
#include "reassembly/hand_window.h"
#include "solver/solver.h"
#include "view/scene.h"

namespace velmo::testing {

namespace {

void Key(QWidget& widget, int key, const QString& text, Qt::KeyboardModifiers modifiers = {}) {
    QTest::sendKeyEvent(QTest::Press, &widget, Qt::Key(key), text, modifiers);
    QTest::sendKeyEvent(QTest::Release, &widget, Qt::Key(key), text, modifiers);
}

void Focus(AppUnderTest& app, QWidget& widget) {
    app.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(app.window.get()));
    widget.setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), &widget);
}

// The run that starts next is finished at once, as the space bar does it (the reset's flights
// would take seconds).
void FinishSoon(AppUnderTest& app) {
    QTimer::singleShot(0, [&app] { QTest::keyClick(&app.tree(), Qt::Key_Space); });
}

QString Status(AppUnderTest& app) { return app.window->statusBar()->currentMessage(); }

TCubeHistory& History(AppUnderTest& app) { return *app.dm().History(); }

QTreeWidgetItem* UserNode(AppUnderTest& app, int i) { return app.tree().topLevelItem(2)->child(i); }

// The scramble's turns, read from its log line.
std::vector<std::string> ScrambleTurns(const std::string& line) {
    std::vector<std::string> turns;
    std::istringstream in(line.substr(line.find(':') + 1));
    for (std::string t; in >> t;) turns.push_back(t);
    return turns;
}

}  // namespace

class ConveniencesTest : public QObject {
    Q_OBJECT
private slots:
    void keysTurnAsDoubleClicksInEitherLayout();
    void keysLeaveTextFieldsAloneAndEscDropsAPrefix();
    void undoAndRedoTakeBackEachKindOfCommand();
    void undoTurnsTheSameLayerBackAfterTheCameraSwung();
    void spaceFinishesARunAtOnceAndEscStopsAnUndo();
    void positionsGoOutAndComeInThroughTheClipboard();
    void aHandSolveIsNoticed();
    void theWindowKeepsItsPlace();
    void theTreeScrollsSidewaysInsteadOfCutting();
    void ctrlQAsksBeforeClosing();
    void theCommandLineGivesTheStartPosition();
};

// Л by its Latin key, П' by the Cyrillic one with Shift, С then П, О then Shift+Ф: the same
// line and position as double clicks on those turns, at the automatic speed.
void ConveniencesTest::keysTurnAsDoubleClicksInEitherLayout() {
    AppUnderTest app;
    app.Fast();
    app.dm().Settings.handTurnDuration = 2;
    Focus(app, app.tree());
    Key(app.tree(), Qt::Key_K, "k");
    QCOMPARE(app.cube().TurnDuration, 1);
    Key(app.tree(), 0x41F, "П", Qt::ShiftModifier);
    Key(app.tree(), Qt::Key_C, "c");
    QVERIFY(Status(app).startsWith("С — средний слой"));
    QCOMPARE(app.window->KeyTurns().Pending(), U'С');
    Key(app.tree(), 0x41F, "п");
    QVERIFY(Status(app).isEmpty());
    Focus(app, app.window->Desk());
    Key(app.window->Desk(), 0x41E, "о");
    Key(app.window->Desk(), Qt::Key_A, "A", Qt::ShiftModifier);
    QCOMPARE(app.lines(), std::vector<std::string>{"Операции пользователя: Л П' Сп Оф' "});
    Twin twin;
    MakeMoves(twin.cube, {Move::Left, Move::RightInv, Move::SliceRight, Move::CubeFrontInv});
    QCOMPARE(ToFacelets(app.cube()), twin.Facelets());
}

void ConveniencesTest::keysLeaveTextFieldsAloneAndEscDropsAPrefix() {
    AppUnderTest app;
    app.Fast();
    QPlainTextEdit& log = *app.window->MessagePanel().Memo();
    Focus(app, log);
    Key(log, Qt::Key_K, "k");
    Key(log, Qt::Key_K, "k", Qt::ControlModifier);
    QVERIFY(app.lines().empty());

    Focus(app, app.tree());
    Key(app.tree(), Qt::Key_C, "c");
    Key(app.tree(), Qt::Key_Escape, "");
    QCOMPARE(app.window->KeyTurns().Pending(), U'\0');
    QVERIFY(Status(app).isEmpty());
    Key(app.tree(), Qt::Key_G, "g");  // П alone now
    Key(app.tree(), Qt::Key_J, "j");
    Key(app.tree(), Qt::Key_K, "k");  // О then Л: no such turn
    QVERIFY(Status(app).startsWith("Такого вращения нет"));
    QCOMPARE(app.lines(), std::vector<std::string>{"Операции пользователя: П "});
}

// Each command that turned the cube is one entry, taken back by its inverse turns with a log
// line that names it, and made again; «Новый» starts a new history.
void ConveniencesTest::undoAndRedoTakeBackEachKindOfCommand() {
    AppUnderTest app;
    app.Fast();
    TDM& dm = app.dm();
    QVERIFY(!dm.ac_EditUndo->isEnabled() && !dm.ac_EditRedo->isEnabled());
    std::vector<std::string> positions = {ToFacelets(app.cube())};
    const auto step = [&](const std::function<void()>& command) {
        command();
        positions.push_back(ToFacelets(app.cube()));
    };
    step([&] { dm.RunUserTurn("Л"); });
    step([&] { dm.tv_MovesDblClick(app.tree().topLevelItem(0)->child(2)); });  // П
    step([&] { dm.tv_MovesDblClick(app.tree().topLevelItem(1)->child(2)); });  // edges exchanged
    step([&] { dm.ac_VelmoBreakExecute(); });
    step([&] {
        FinishSoon(app);
        dm.ac_VelmoSolveExecute();
    });
    QVERIFY(IsSolved(app.cube()));

    const char* undone[] = {"Отмена: сборка Кубика Вельмо (", "Отмена: запутывание Кубика Вельмо (",
                            "Отмена: последовательность Сп2 В Сп2 В2 Сп2 В Сп2 (12 вращений): ",
                            "Отмена: вращение П: П' ", "Отмена: вращение Л: Л' "};
    for (int k = 4; k >= 0; --k) {
        QVERIFY(dm.ac_EditUndo->isEnabled());
        FinishSoon(app);
        dm.ac_EditUndoExecute();
        QCOMPARE(ToFacelets(app.cube()), positions[k]);
        QVERIFY2(app.lines().back().starts_with(undone[4 - k]), app.lines().back().c_str());
    }
    QVERIFY(!dm.ac_EditUndo->isEnabled() && dm.ac_EditRedo->isEnabled());
    for (int k = 1; k <= 5; ++k) {
        FinishSoon(app);
        dm.ac_EditRedoExecute();
        QCOMPARE(ToFacelets(app.cube()), positions[k]);
    }
    QVERIFY(app.lines().back().starts_with("Повтор: сборка Кубика Вельмо ("));
    QVERIFY(!dm.ac_EditRedo->isEnabled());

    FinishSoon(app);
    dm.ac_VelmoNewExecute();
    QCOMPARE(ToFacelets(app.cube()), positions[0]);
    QVERIFY(!dm.ac_EditUndo->isEnabled() && !dm.ac_EditRedo->isEnabled());
    // A reassembly starts a new history too; nothing can be taken back while it lasts.
    dm.RunUserTurn("Ф");
    FinishSoon(app);
    dm.ac_VelmoHandExecute();
    QVERIFY(!dm.ac_EditUndo->isEnabled() && !dm.ac_EditPaste->isEnabled());
    FinishSoon(app);  // closed without «Готово», the cube goes back to its start
    dm.HandWindow()->close();
    QTRY_VERIFY(!dm.HandWindow());
    QVERIFY(!dm.ac_EditUndo->isEnabled() && dm.ac_EditPaste->isEnabled());
}

// The camera swings the cube by silent whole-cube turns; undo still turns back the layer the
// user turned, and the swing is no entry of its own.
void ConveniencesTest::undoTurnsTheSameLayerBackAfterTheCameraSwung() {
    AppUnderTest app;
    app.Fast();
    app.dm().RunUserTurn("П");
    TDesk& desk = app.window->Desk();
    const QPoint middle(desk.width() / 2, desk.height() / 2);
    Twin turnedOnly;
    turnedOnly.cube.TurnRight();
    QTest::mousePress(&desk, Qt::RightButton, {}, middle);
    QTest::mouseMove(&desk, middle + QPoint(desk.width() * 4 / 10, 0));
    QTest::mouseMove(&desk, middle + QPoint(desk.width() * 8 / 10, 0));
    QTest::mouseRelease(&desk, Qt::RightButton, {}, middle + QPoint(desk.width() * 8 / 10, 0));
    QVERIFY(ToFacelets(app.cube()) != turnedOnly.Facelets());  // the camera wrapped: it turned
    QCOMPARE(History(app).History().UndoDepth(), std::size_t(1));
    app.dm().ac_EditUndoExecute();
    QVERIFY(IsSolved(app.cube()));
    QVERIFY(ToFacelets(app.cube()) != Twin().Facelets());  // standing turned, as the camera left it
}

// Space during a run makes the turns left without animation: the log and the position are the
// full run's. Esc stops an undo; what it took back can be made again, the rest still undone.
void ConveniencesTest::spaceFinishesARunAtOnceAndEscStopsAnUndo() {
    AppUnderTest app("[USER]\nCount=1\nPos1=A {(П В П' В')9}\n");
    app.dm().Settings.autoTurnDuration = 100;
    int framesAtFinish = 0;
    QString hint;
    QTimer::singleShot(700, [&] {
        hint = Status(app);
        framesAtFinish = app.window->Desk().PresentedFrames();
        QTest::keyClick(&app.tree(), Qt::Key_Space);
    });
    app.dm().tv_MovesDblClick(UserNode(app, 0));
    QCOMPARE(hint, QString(TCubeHistory::kRunHint));
    QVERIFY(app.window->Desk().PresentedFrames() - framesAtFinish <= 2);
    QCOMPARE(app.lines().back(), std::string("Выполнение последовательности: (П В П' В')9"));
    Twin twin;
    twin.cube.ExecuteMoveString("(П В П' В')9", false);
    QCOMPARE(ToFacelets(app.cube()), twin.Facelets());

    QTimer::singleShot(500, [&] { QTest::keyClick(&app.tree(), Qt::Key_Escape); });
    app.dm().ac_EditUndoExecute();
    QCOMPARE(app.lines().back(), std::string("Выполнение остановлено пользователем"));
    const std::size_t left = History(app).History().NextUndo().turns;
    const std::size_t taken = History(app).History().NextRedo().turns;
    QVERIFY(left > 0 && taken > 0);
    QCOMPARE(left + taken, std::size_t(36));
    app.Fast();
    app.dm().ac_EditUndoExecute();
    QCOMPARE(ToFacelets(app.cube()), Twin().Facelets());
    app.dm().ac_EditRedoExecute();
    app.dm().ac_EditRedoExecute();
    QCOMPARE(ToFacelets(app.cube()), twin.Facelets());
}

// Ctrl+C on the desk or the tree puts the facelets on the clipboard (in the log it copies
// text); Ctrl+V sets a position up from them, logged, as a new history; a bad string is
// refused with a message naming the letter.
void ConveniencesTest::positionsGoOutAndComeInThroughTheClipboard() {
    AppUnderTest app;
    app.Fast();
    app.dm().RunUserTurn("Св");
    QClipboard& clipboard = *QGuiApplication::clipboard();
    for (QWidget* widget : {static_cast<QWidget*>(&app.window->Desk()),
                            static_cast<QWidget*>(&app.tree())}) {
        clipboard.clear();
        Focus(app, *widget);
        QTest::keyClick(widget, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard.text().toStdString(), ToFacelets(app.cube()));
    }
    QPlainTextEdit& log = *app.window->MessagePanel().Memo();
    Focus(app, log);
    log.selectAll();
    QTest::keyClick(&log, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard.text(), QString("Операции пользователя: Св "));

    Twin twin;
    MakeMoves(twin.cube, {Move::Front, Move::SliceTop, Move::CubeRight, Move::BackInv});
    clipboard.setText(QString::fromStdString(" " + twin.Facelets() + "\n"));
    Focus(app, app.tree());
    QTest::keyClick(&app.tree(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(ToFacelets(app.cube()), twin.Facelets());
    QCOMPARE(app.lines().back(), "Позиция вставлена из буфера обмена: " + twin.Facelets());
    QVERIFY(!app.dm().ac_EditUndo->isEnabled());

    std::string bad = twin.Facelets();
    bad[4] = 'X';
    clipboard.setText(QString::fromStdString(bad));
    auto seen = AnswerNextMessageBox(QMessageBox::Ok);
    app.dm().ac_EditPasteExecute();
    QVERIFY(seen->shown);
    QCOMPARE(seen->caption, QString("Вставить позицию"));
    QVERIFY2(seen->text.contains("буква 5 (U5) — «X»"), qPrintable(seen->text));
    QCOMPARE(ToFacelets(app.cube()), twin.Facelets());
}

// The scramble taken back by the user's own turns, after a whole-cube turn the count leaves
// out: the log says so with the turns, and the status bar counted them.
void ConveniencesTest::aHandSolveIsNoticed() {
    AppUnderTest app;
    app.Fast();
    QLabel& turns = *History(app).TurnsLabel();
    app.dm().ac_VelmoBreakExecute();
    QCOMPARE(turns.text(), QString("Вращений: 0"));
    const std::vector<std::string> scramble = ScrambleTurns(app.lines().back());
    app.dm().RunUserTurn("Оп");
    QCOMPARE(turns.text(), QString("Вращений: 0"));
    const CubeRotation turned = CubeRotation::Of(Move::CubeRight);
    for (auto t = scramble.rbegin(); t != scramble.rend(); ++t) {
        const Move move = InverseOf(*MoveOfNotation(*t));
        app.dm().RunUserTurn(std::string(TurnOf(turned.Carry(move)).notation));
        if (t == scramble.rbegin()) QCOMPARE(turns.text(), QString("Вращений: 1"));
    }
    const std::string expected = "Кубик Вельмо собран вручную: " +
                                 CountText(scramble.size(), "вращение", "вращения", "вращений") +
                                 ", 0 с после запутывания";
    QCOMPARE(app.lines().back(), expected);
    QCOMPARE(turns.text(), QString("Вращений: %1").arg(scramble.size()));
    FinishSoon(app);
    app.dm().ac_VelmoNewExecute();
    QCOMPARE(turns.text(), QString("Вращений: 0"));
}

void ConveniencesTest::theWindowKeepsItsPlace() {
    AppUnderTest app(
        "[WINDOW]\nLeft=40\nTop=30\nWidth=900\nHeight=600\nMaximized=0\nMessagesHeight=200\n");
    QCOMPARE(app.window->geometry(), QRect(40, 30, 900, 600));
    QTRY_COMPARE(app.window->MessagePanel().height(), 200);
    app.window->MessagePanel().SetCollapsed(true);
    app.window->resize(950, 640);
    QApplication::processEvents();
    const QRect place = app.window->geometry();
    auto confirmation = AnswerNextMessageBox(QMessageBox::Yes);
    app.window->close();
    QVERIFY(confirmation->shown);

    AppUnderTest again(AppUnderTest::ReadFile(app.IniPath()));
    QCOMPARE(again.window->geometry(), place);
    QVERIFY(again.window->MessagePanel().Collapsed());
    QTRY_COMPARE(again.window->MessagePanel().height(), int(TMessagePanel::kCollapsedHeight));
}

void ConveniencesTest::theTreeScrollsSidewaysInsteadOfCutting() {
    const QString text = "Длинная последовательность {" + QString("(П В П' В')2 ").repeated(12) + "}";
    AppUnderTest app("[USER]\nCount=1\nPos1=" + text.toUtf8() + "\n");
    TSequenceTree& tree = app.tree();
    tree.topLevelItem(2)->setExpanded(true);
    QTRY_VERIFY(tree.horizontalScrollBar()->maximum() > 0);
    QVERIFY(tree.header()->sectionSize(0) >= tree.fontMetrics().horizontalAdvance(text));
    QCOMPARE(tree.textElideMode(), Qt::ElideNone);
}

void ConveniencesTest::ctrlQAsksBeforeClosing() {
    AppUnderTest app;
    Focus(app, app.tree());
    auto seen = AnswerNextMessageBox(QMessageBox::No);
    QTest::keyClick(&app.tree(), Qt::Key_Q, Qt::ControlModifier);
    QTRY_VERIFY(seen->shown);
    QCOMPARE(seen->text, QString("Вы действительно хотите завершить работу с программой?"));
    QVERIFY(app.window->isVisible());
}

void ConveniencesTest::theCommandLineGivesTheStartPosition() {
    Twin twin;
    MakeMoves(twin.cube, {Move::Top, Move::SliceFront});
    const std::string f = twin.Facelets();
    const auto read = [](const std::vector<std::string>& args, ProgramOptions& options) {
        return ReadProgramOptions(args, options);
    };
    ProgramOptions separate, joined, none, missing, bad;
    QCOMPARE(read({"--facelets", f}, separate), std::string());
    QCOMPARE(separate.facelets, f);
    QCOMPARE(read({"--facelets=" + f}, joined), std::string());
    QCOMPARE(joined.facelets, f);
    QCOMPARE(read({}, none), std::string());
    QCOMPARE(none.facelets, std::string());
    QVERIFY(read({"--facelets"}, missing).starts_with("--facelets: "));
    QCOMPARE(read({"--facelets", f.substr(0, 53) + "Z"}, bad),
             std::string("--facelets: буква 54 (B9) — «Z», а здесь могут "
                         "стоять только буквы U, R, F, D, L, B"));
    // Before Qt has taken its own options the position waits to be checked.
    ProgramOptions early;
    QCOMPARE(ReadProgramOptions({"-platform", "xcb", "--facelets", "Z"}, early, true),
             std::string());
}

}  // namespace velmo::testing

QTEST_MAIN(velmo::testing::ConveniencesTest)
#include "conveniences_test.moc"
