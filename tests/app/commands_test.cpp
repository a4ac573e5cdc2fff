// The cube commands, double clicks in the tree and typed move strings write exactly their log
// lines and leave the cube where their turns took it; Esc and a close stop long runs.

#include <QInputDialog>
#include <functional>
#include <random>
#include <sstream>

#include "app_test_support.h"
#include "app/run_guard.h"
#include "headless/random_positions.h"
#include "solver/solver.h"

namespace velmo::testing {

namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

QTreeWidgetItem* BasicTurn(AppUnderTest& app, int index) {
    return app.tree().topLevelItem(0)->child(index);
}

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void newScrambleAndSolveWriteTheirLinesAndTurns();
    void basicTurnsBuildOneUserLineOnlyWhenLogging();
    void sequencesAndTypedStringsRunAsOneLogLine();
    void aTypedStringMayBeAsLongAsAStoredOne();
    void everyRunButTheMouseTakesTheAutomaticSpeed();
    void escStopsALongStringBetweenTwoTurns();
    void aCloseDuringARunStopsItAndThenAsks();
    void aDrawingFailureInARunIsReportedOnceAndStopsIt();
};

void CommandsTest::newScrambleAndSolveWriteTheirLinesAndTurns() {
    AppUnderTest app;
    app.Fast();
    TDM& dm = app.dm();

    dm.ac_VelmoBreakExecute();
    const std::string scramble = app.lines().back();
    QVERIFY(scramble.starts_with("Запутывание Кубика Вельмо: "));
    std::vector<std::string> turns = Words(scramble);
    turns.erase(turns.begin(), turns.begin() + 3);  // "Запутывание Кубика Вельмо:"
    QVERIFY(turns.size() >= 11 && turns.size() <= 40);
    Twin twin;
    for (const std::string& t : turns) twin.cube.ExecuteMove(t);
    QCOMPARE(ToFacelets(app.cube()), twin.Facelets());

    // The solver's protocol is the one the same position gives anywhere.
    const std::size_t before = app.lines().size();
    twin.host.SetAutoTurnDuration(0);
    twin.host.Log().AddMessage("");
    const std::size_t twinBefore = twin.host.Log().Lines().size();
    Solve(twin.cube);
    dm.ac_VelmoSolveExecute();
    const std::vector<std::string> protocol(app.lines().begin() + before, app.lines().end());
    const std::vector<std::string> expected(twin.host.Log().Lines().begin() + twinBefore,
                                            twin.host.Log().Lines().end());
    QVERIFY(protocol == expected);
    QVERIFY(IsSolved(app.cube()));
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    MakeMoves(app.cube(), {Move::Right, Move::CubeTop});
    dm.ac_VelmoNewExecute();
    QCOMPARE(app.lines().back(), std::string("Переход в исходную позицию"));
    QCOMPARE(ToFacelets(app.cube()), Twin().Facelets());
}

void CommandsTest::basicTurnsBuildOneUserLineOnlyWhenLogging() {
    AppUnderTest app;
    app.Fast();
    app.dm().tv_MovesDblClick(BasicTurn(app, 1));   // Л'
    app.dm().tv_MovesDblClick(BasicTurn(app, 14));  // Сф
    QCOMPARE(app.lines(), std::vector<std::string>{"Операции пользователя: Л' Сф "});
    Twin twin;
    twin.cube.TurnLeftInv();
    twin.cube.TurnSliceFront();
    QCOMPARE(ToFacelets(app.cube()), twin.Facelets());

    AppUnderTest quiet("[GENERAL]\nDoLog=0\n");
    quiet.Fast();
    quiet.dm().tv_MovesDblClick(BasicTurn(quiet, 1));
    QVERIFY(quiet.lines().empty());
    QVERIFY(ToFacelets(quiet.cube()) != Twin().Facelets());
}

void CommandsTest::sequencesAndTypedStringsRunAsOneLogLine() {
    AppUnderTest app("[USER]\nCount=2\nPos1=A {(П В П' В)2}\nPos2=без скобок\n");
    app.Fast();
    QTreeWidgetItem* user = app.tree().topLevelItem(2);
    app.dm().tv_MovesDblClick(BasicTurn(app, 4));  // opens a user line
    app.dm().tv_MovesDblClick(user->child(0));
    QCOMPARE(app.lines().back(), std::string("Выполнение последовательности: (П В П' В)2"));
    QVERIFY(!app.cube().UserLineOpen);
    QVERIFY(app.cube().LogTurns);
    Twin twin;
    twin.cube.ExecuteMoveString("Ф (П В П' В)2", false);
    QCOMPARE(ToFacelets(app.cube()), twin.Facelets());

    // A node without "{" gives an empty string: the error report, nothing runs.
    const std::size_t lines = app.lines().size();
    auto seen = AnswerNextMessageBox(QMessageBox::Ok);
    app.dm().tv_MovesDblClick(user->child(1));
    QCOMPARE(seen->caption, QString("Выполнение"));
    QCOMPARE(seen->text, QString("Данная строка не является корректоной последовательностью вращений!"));
    QCOMPARE(app.lines().size(), lines);

    AnswerNextModal<QInputDialog>([](QInputDialog* input) {
        QCOMPARE(input->windowTitle(), QString("Выполнить"));
        QCOMPARE(input->labelText(), QString("Введите строку последовательности вращений:\n"
                                             "(Вы можете использовать скобки и цифры - кратность операции)"));
        input->setTextValue("сп'2");
        input->accept();
    });
    app.dm().ac_ServiceStringExecute();
    QCOMPARE(app.lines().back(), std::string("Выполнение последовательности: сп'2"));

    // The last string comes back selected; «Отмена» runs nothing and says nothing; an empty
    // string confirmed is reported.
    const std::size_t before = app.lines().size();
    EveryMessageBox boxes;
    AnswerNextModal<QInputDialog>([](QInputDialog* input) {
        auto* edit = input->findChild<QLineEdit*>();
        QCOMPARE(edit->text(), QString("сп'2"));
        QCOMPARE(edit->selectedText(), QString("сп'2"));
        input->reject();
    });
    app.dm().ac_ServiceStringExecute();
    QCOMPARE(boxes.count, 0);
    QCOMPARE(app.lines().size(), before);
    AnswerNextModal<QInputDialog>([](QInputDialog* input) {
        input->setTextValue("");
        input->accept();
    });
    app.dm().ac_ServiceStringExecute();
    QTRY_COMPARE(boxes.count, 1);
    QCOMPARE(app.lines().size(), before);
}

// A line edit would keep 32,767 characters and cut the rest without a word.
void CommandsTest::aTypedStringMayBeAsLongAsAStoredOne() {
    AppUnderTest app;
    app.Fast();
    const QString text = QString(40000, ' ') + "Ф";
    AnswerNextModal<QInputDialog>([&text](QInputDialog* input) {
        input->setTextValue(text);
        input->accept();
    });
    app.dm().ac_ServiceStringExecute();
    QCOMPARE(app.lines().back(), "Выполнение последовательности: " + text.toStdString());
    Twin twin;
    twin.cube.TurnFront();
    QCOMPARE(ToFacelets(app.cube()), twin.Facelets());
}

// Each run leaves the duration it turned with in the model (the mouse's is in the desk tests).
void CommandsTest::everyRunButTheMouseTakesTheAutomaticSpeed() {
    AppUnderTest app("[USER]\nCount=1\nPos1=A {П В}\n");
    TDM& dm = app.dm();
    dm.Settings.handTurnDuration = 1;
    dm.Settings.autoTurnDuration = 2;
    const std::vector<std::pair<const char*, std::function<void()>>> runs = {
        {"basic turn", [&] { dm.tv_MovesDblClick(BasicTurn(app, 0)); }},
        {"sequence", [&] { dm.tv_MovesDblClick(app.tree().topLevelItem(2)->child(0)); }},
        {"scramble", [&] { dm.ac_VelmoBreakExecute(); }},
        {"solve", [&] { dm.ac_VelmoSolveExecute(); }},
    };
    for (const auto& [name, run] : runs) {
        app.cube().TurnDuration = 1;
        run();
        QVERIFY2(app.cube().TurnDuration == 2, name);
    }
}

void CommandsTest::escStopsALongStringBetweenTwoTurns() {
    AppUnderTest app("[USER]\nCount=1\nPos1=6561 {((((Ф)9)9)9)9}\n");
    app.dm().Settings.autoTurnDuration = 40;
    QTimer::singleShot(300, [&] { QTest::keyClick(&app.tree(), Qt::Key_Escape); });
    app.dm().tv_MovesDblClick(app.tree().topLevelItem(2)->child(0));

    QCOMPARE(app.lines().back(), std::string("Выполнение остановлено пользователем"));
    // Stopped between two turns: the cube shows some whole number of front turns.
    Twin twin;
    bool exact = false;
    for (int k = 0; k < 4 && !exact; ++k, twin.cube.TurnFront())
        exact = ToFacelets(app.cube()) == twin.Facelets();
    QVERIFY(exact);
    QVERIFY(app.cube().LogTurns);
    QVERIFY(!app.cube().UserLineOpen);
    QVERIFY(!app.window->Guard().Busy());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void CommandsTest::aCloseDuringARunStopsItAndThenAsks() {
    AppUnderTest app;
    app.dm().Settings.autoTurnDuration = 40;
    QTimer::singleShot(200, [&] { app.window->close(); });
    auto seen = AnswerNextMessageBox(QMessageBox::No);
    app.dm().ac_VelmoBreakExecute();
    QCOMPARE(app.lines().back(), std::string("Выполнение остановлено пользователем"));
    QTRY_VERIFY(seen->shown);
    QCOMPARE(seen->caption, QString("Velmo Cube"));
    QCOMPARE(seen->text, QString("Вы действительно хотите завершить работу с программой?"));
    QVERIFY(app.window->isVisible());
    QVERIFY(!QFile::exists(app.IniPath()));
}

// Without its device every frame would report again: one box per animation step.
void CommandsTest::aDrawingFailureInARunIsReportedOnceAndStopsIt() {
    AppUnderTest app;
    app.dm().Settings.autoTurnDuration = 40;
    EveryMessageBox boxes;
    QTimer::singleShot(200, [&] {
        app.dm().Scene().ReportSceneError("Отрисовка изображения", E_FAIL);
    });
    app.dm().ac_VelmoBreakExecute();
    QCOMPARE(boxes.count, 1);
    QCOMPARE(app.lines().back(), std::string("Выполнение остановлено пользователем"));
    QVERIFY(!app.dm().Scene().RenderingActive);
    // A resize builds the scene again.
    app.window->resize(app.window->width(), app.window->height() + 40);
    QTRY_VERIFY(app.dm().Scene().HasDevice());
}

}  // namespace velmo::testing

QTEST_MAIN(velmo::testing::CommandsTest)
#include "commands_test.moc"
