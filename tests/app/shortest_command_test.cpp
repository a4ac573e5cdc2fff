// «Сервис → Кратчайшая сборка» in the real window: the status text, busy cursor and Esc while
// the tables are made, the log line and the turns, the notice for a position turns cannot
// reach. The tables go to a scratch cache folder, which is empty at the start, so the first
// use makes them.

#include <QMenu>
#include <QStatusBar>
#include <random>

#include "app_test_support.h"
#include "app/run_guard.h"
#include "headless/random_positions.h"
#include "solver/solver.h"
#include "twophase/tables.h"

namespace velmo::testing {

namespace {

QAction* Shortest(AppUnderTest& app) { return app.dm().ac_ServiceShortest; }

bool InServiceMenu(AppUnderTest& app) {
    return app.dm().mi_Service->actions().contains(Shortest(app));
}

// Every block home with its start colours, the logo on the top centre.
bool AtStart(const TVelmo& cube) {
    for (int cell = 1; cell <= kCellCount; ++cell)
        if (cube.Block(cell).Faces != StartFaces(cell)) return false;
    return true;
}

}  // namespace

class ShortestCommandTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    // First: the tables are not there yet.
    void escWhileTheTablesAreMadeStopsAndTheNextUseMakesThem();
    void solvesAScrambledCubeWithItsLogLine();
    void spaceFinishesTheTurnsAtOnce();
    void aPositionTurnsCannotReachGetsTheNoticeAndNoTurn();

private:
    QTemporaryDir cacheHome_;
};

void ShortestCommandTest::initTestCase() {
    QVERIFY(cacheHome_.isValid());
    qputenv("XDG_CACHE_HOME", cacheHome_.path().toUtf8());
    QVERIFY(!twophase::SharedTablesReady());
}

void ShortestCommandTest::escWhileTheTablesAreMadeStopsAndTheNextUseMakesThem() {
    AppUnderTest app;
    app.Fast();
    QVERIFY(InServiceMenu(app));
    MakeMoves(app.cube(), {Move::Right, Move::Top});
    const std::string position = ToFacelets(app.cube());
    const std::size_t before = app.lines().size();
    QString statusSeen;
    bool busyCursorSeen = false;
    QTimer::singleShot(30, [&] {
        statusSeen = app.window->statusBar()->currentMessage();
        busyCursorSeen = QApplication::overrideCursor() &&
                         QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        QTest::keyClick(&app.tree(), Qt::Key_Escape);
    });
    Shortest(app)->trigger();

    QCOMPARE(statusSeen, QString("Подготовка таблиц для кратчайшей сборки..."));
    QVERIFY(busyCursorSeen);
    QCOMPARE(app.lines().size(), before + 1);
    QCOMPARE(app.lines().back(), std::string("Выполнение остановлено пользователем"));
    QCOMPARE(ToFacelets(app.cube()), position);
    QVERIFY(!twophase::SharedTablesReady());
    QCOMPARE(app.window->statusBar()->currentMessage(), QString());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(!app.window->Guard().Busy());

    Shortest(app)->trigger();
    QVERIFY(twophase::SharedTablesReady());
    QVERIFY(AtStart(app.cube()));
}

void ShortestCommandTest::solvesAScrambledCubeWithItsLogLine() {
    AppUnderTest app;
    app.Fast();
    std::mt19937 random(9);
    MakeMoves(app.cube(), RandomMoves(random, 30));
    const std::string position = ToFacelets(app.cube());
    const std::size_t before = app.lines().size();
    Shortest(app)->trigger();

    QVERIFY(AtStart(app.cube()));
    const std::vector<std::string> lines(app.lines().begin() + before, app.lines().end());
    QVERIFY(lines.size() == 4 || lines.size() == 5);
    QCOMPARE(lines[1], std::string("*** Кратчайшая сборка Кубика Вельмо ***"));
    // The orientation line, when there is one, and the moves line run as move strings give
    // the start position from the same position.
    std::string moves;
    for (std::size_t i = 2; i + 1 < lines.size(); ++i)
        moves += lines[i].substr(lines[i].find(": ") + 2);
    QVERIFY(lines[lines.size() - 2].find(" ход") != std::string::npos);
    Twin twin;
    SetFacelets(twin.cube, position);
    twin.cube.ExecuteMoveString(moves, false);
    QVERIFY(AtStart(twin.cube));
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    // One entry of the undo history: «Отменить» brings the scrambled cube back.
    app.dm().ac_EditUndoExecute();
    QCOMPARE(ToFacelets(app.cube()), position);
}

// Pressed during the first turn, the space bar makes the rest without animation.
void ShortestCommandTest::spaceFinishesTheTurnsAtOnce() {
    AppUnderTest app;
    app.dm().Settings.autoTurnDuration = 1000;
    std::mt19937 random(11);
    MakeMoves(app.cube(), RandomMoves(random, 30));
    int framesAtFinish = 0;
    QTimer::singleShot(500, [&] {
        framesAtFinish = app.window->Desk().PresentedFrames();
        QTest::keyClick(&app.tree(), Qt::Key_Space);
    });
    Shortest(app)->trigger();
    QVERIFY(AtStart(app.cube()));
    QVERIFY(app.window->Desk().PresentedFrames() - framesAtFinish <= 2);
}

void ShortestCommandTest::aPositionTurnsCannotReachGetsTheNoticeAndNoTurn() {
    AppUnderTest app;
    std::string facelets = ToFacelets(app.cube());
    std::swap(facelets[7], facelets[19]);  // the front-top edge flipped in place
    QCOMPARE(SetFacelets(app.cube(), facelets), std::string());
    auto seen = AnswerNextMessageBox(QMessageBox::Ok);
    Shortest(app)->trigger();

    QVERIFY(seen->shown);
    QCOMPARE(seen->caption, QString("Кубик Вельмо"));
    QCOMPARE(seen->text, QString("Кубик Вельмо собрать невозможно!"));
    QCOMPARE(ToFacelets(app.cube()), facelets);
    const std::vector<std::string>& lines = app.lines();
    QCOMPARE(lines[lines.size() - 3], std::string("*** Кубик Вельмо собрать невозможно! ***"));
    QVERIFY(!app.cube().LogTurns);
}

}  // namespace velmo::testing

QTEST_MAIN(velmo::testing::ShortestCommandTest)
#include "shortest_command_test.moc"
