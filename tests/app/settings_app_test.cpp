// The settings as the window loads, edits and saves them: defaults, the parameters dialog,
// closing with and without saving, and where the file goes when it cannot stay beside the
// program.

#include <QCheckBox>
#include <QSlider>

#include "app_test_support.h"
#include "app/params_dialog.h"
#include "platform/text.h"
#include "app/quit_signals.h"

#include <csignal>

namespace velmo::testing {

namespace {

// Answers the close confirmation with `button`, and an OK to whatever box follows it.
std::shared_ptr<SeenBox> CloseAnswering(AppUnderTest& app, QMessageBox::StandardButton button) {
    auto confirmation = AnswerNextMessageBox(button);
    app.window->close();
    return confirmation;
}


}  // namespace

class SettingsAppTest : public QObject {
    Q_OBJECT
private slots:
    void noFileGivesDefaultsAndClosingWritesAllThreeSections();
    void closingWithNoSavesNothingAndKeepsTheProgram();
    void fifteenShowsAsFifteenAndIsSavedAsFifteen();
    void parametersCancelChangesNothingAndOkReachesTheCube();
    void aRussianNameRoundTripsThroughTheWindows1251File();
    void anUnwritableProgramFolderSendsTheFileToTheUserFolder();
    void aFailedSaveLetsTheUserStayOrCloseWithoutSaving();
    void aQuitSignalStopsTheRunSavesAndEndsWithoutAQuestion();
    void aSequenceOfMegabytesShowsShortButRunsAndSavesWhole();
};

void SettingsAppTest::noFileGivesDefaultsAndClosingWritesAllThreeSections() {
    AppUnderTest app;
    auto confirmation = CloseAnswering(app, QMessageBox::Yes);
    QVERIFY(confirmation->shown);
    QVERIFY(!app.window->isVisible());
    // The first start's frequent list is the starter library; the window's place follows.
    const QByteArray saved = AppUnderTest::ReadFile(app.IniPath());
    QVERIFY(saved.startsWith("[GENERAL]\r\nSpeedHand=10\r\nSpeedAuto=7\r\nDoLog=1\r\n\r\n"
                             "[POPULAR]\r\nPos1="));
    QVERIFY(saved.contains("\r\nPos5=") && saved.contains("\r\nCount=5\r\n\r\n"
                                                          "[USER]\r\nCount=0\r\n\r\n[WINDOW]\r\n"));
}

void SettingsAppTest::closingWithNoSavesNothingAndKeepsTheProgram() {
    AppUnderTest app;
    CloseAnswering(app, QMessageBox::No);
    QVERIFY(app.window->isVisible());
    QVERIFY(!QFile::exists(app.IniPath()));
}

void SettingsAppTest::fifteenShowsAsFifteenAndIsSavedAsFifteen() {
    AppUnderTest app("[general]\nspeedhand=15\n");
    QCOMPARE(app.dm().Settings.handTurnDuration, 1500);
    int shown = 0;
    AnswerNextModal<Tfm_Params>([&shown](Tfm_Params* dialog) {
        shown = dialog->trb_SpeedHand->value();
        dialog->reject();
    });
    app.dm().ac_ServiceParamsExecute();
    QCOMPARE(shown, 15);
    CloseAnswering(app, QMessageBox::Yes);
    QVERIFY(AppUnderTest::ReadFile(app.IniPath()).toLower().contains("speedhand=15"));
}

void SettingsAppTest::parametersCancelChangesNothingAndOkReachesTheCube() {
    AppUnderTest app;
    const auto edit = [](bool accept) {
        AnswerNextModal<Tfm_Params>([accept](Tfm_Params* dialog) {
            dialog->trb_SpeedHand->setValue(3);
            dialog->trb_SpeedAuto->setValue(20);
            dialog->cb_DoLog->setChecked(false);
            accept ? dialog->accept() : dialog->reject();
        });
    };
    edit(false);
    app.dm().ac_ServiceParamsExecute();
    QCOMPARE(app.dm().Settings.handTurnDuration, 1000);
    QCOMPARE(app.dm().Settings.autoTurnDuration, 700);
    QVERIFY(app.dm().Settings.doLog && app.cube().LogTurns);

    edit(true);
    app.dm().ac_ServiceParamsExecute();
    QCOMPARE(app.dm().Settings.handTurnDuration, 300);
    QCOMPARE(app.dm().Settings.autoTurnDuration, 2000);
    QVERIFY(!app.dm().Settings.doLog);
    QVERIFY(!app.cube().LogTurns);
}

void SettingsAppTest::aRussianNameRoundTripsThroughTheWindows1251File() {
    const QByteArray ini = QByteArray::fromStdString(
        Utf8ToCp1251("[USER]\nPos1=Ёлочка {(П В)2}\nCount=1\n"));
    AppUnderTest app(ini);
    QCOMPARE(app.tree().topLevelItem(2)->child(0)->text(0), QString("Ёлочка {(П В)2}"));
    CloseAnswering(app, QMessageBox::Yes);
    QVERIFY(AppUnderTest::ReadFile(app.IniPath()).contains(ini.mid(7, 23)));
}

void SettingsAppTest::anUnwritableProgramFolderSendsTheFileToTheUserFolder() {
    QTemporaryDir config;
    // Nobody, root included, can create files in /proc.
    AppUnderTest app({}, {"/proc", config.path(), config.path()});
    CloseAnswering(app, QMessageBox::Yes);
    QVERIFY(!app.window->isVisible());
    QVERIFY(AppUnderTest::ReadFile(config.filePath("velmo/velmo.ini")).contains("[USER]"));
}

// The user folder cannot be made (a file stands where the folder would go), until the user
// moves that file away: staying in the program loses nothing.
void SettingsAppTest::aFailedSaveLetsTheUserStayOrCloseWithoutSaving() {
    QTemporaryDir config;
    const QString blocker = config.filePath("velmo");
    AppUnderTest::WriteFile(blocker, "a file, not a folder");
    AppUnderTest app({}, {"/proc", config.path(), config.path()});
    app.tree().AddNode(app.tree().topLevelItem(2), "Моя {П В}", kUserNode);

    auto confirmation = std::make_shared<SeenBox>(), warning = std::make_shared<SeenBox>();
    AnswerMessageBoxes({confirmation, warning}, {QMessageBox::Yes, QMessageBox::Cancel});
    app.window->close();
    QVERIFY(confirmation->shown && warning->shown);
    QCOMPARE(warning->caption, QString("Внимание"));
    QCOMPARE(warning->text, QString("Файл конфигурации не может быть записан!"));
    // The details name the folder and say, in Russian, what is wrong with it.
    QVERIFY(warning->details.contains(blocker));
    QVERIFY(warning->details.startsWith("Не удалось создать папку"));
    QVERIFY(app.window->isVisible());

    QVERIFY(QFile::remove(blocker));
    CloseAnswering(app, QMessageBox::Yes);
    QVERIFY(!app.window->isVisible());
    QVERIFY(AppUnderTest::ReadFile(config.filePath("velmo/velmo.ini")).contains("[USER]"));

    // Or the user gives the changes up.
    QTemporaryDir other;
    AppUnderTest::WriteFile(other.filePath("velmo"), "a file, not a folder");
    AppUnderTest leaving({}, {"/proc", other.path(), other.path()});
    AnswerMessageBoxes({confirmation, warning}, {QMessageBox::Yes, QMessageBox::Close});
    leaving.window->close();
    QVERIFY(!leaving.window->isVisible());
}

// SIGTERM (and SIGHUP, SIGINT, the session's end) in the middle of a scramble: the run stops,
// the sequence added since the start is saved, the window closes, and nobody is asked.
void SettingsAppTest::aQuitSignalStopsTheRunSavesAndEndsWithoutAQuestion() {
    AppUnderTest app;
    QuitSignals quitSignals;
    connect(&quitSignals, &QuitSignals::quitRequested, app.window.get(), &Tfm_Main::QuitSaving);
    app.tree().AddNode(app.tree().topLevelItem(2), "Новая {Ф2}", kUserNode);
    app.dm().Settings.autoTurnDuration = 40;
    EveryMessageBox boxes;
    QTimer::singleShot(150, [] { ::raise(SIGTERM); });
    app.dm().ac_VelmoBreakExecute();
    QCOMPARE(app.lines().back(), std::string("Выполнение остановлено пользователем"));
    QTRY_VERIFY(!app.window->isVisible());
    QCOMPARE(boxes.count, 0);
    const QByteArray saved = AppUnderTest::ReadFile(app.IniPath());
    QVERIFY(saved.contains("Count=1"));
    QVERIFY(saved.contains(QByteArray::fromStdString(Utf8ToCp1251("Новая {Ф2}"))));
}

// Twenty megabytes in one entry would stall every repaint of the tree.
void SettingsAppTest::aSequenceOfMegabytesShowsShortButRunsAndSavesWhole() {
    const std::string moves = std::string(2'000'000, ' ') + "Ф";
    AppUnderTest app(QByteArray::fromStdString("[USER]\nCount=1\nPos1=Длинная {" + moves + "}\n"));
    app.Fast();
    QTreeWidgetItem* node = app.tree().topLevelItem(2)->child(0);
    QVERIFY(node->text(0).size() <= TSequenceTree::kShownLength + 1);
    QVERIFY(node->text(0).startsWith("Длинная {"));
    app.dm().tv_MovesDblClick(node);
    Twin twin;
    twin.cube.TurnFront();
    QCOMPARE(ToFacelets(app.cube()), twin.Facelets());
    CloseAnswering(app, QMessageBox::Yes);
    QVERIFY(AppUnderTest::ReadFile(app.IniPath()).contains(
        QByteArray::fromStdString("Pos1=Длинная {" + moves + "}")));
}

}  // namespace velmo::testing

QTEST_MAIN(velmo::testing::SettingsAppTest)
#include "settings_app_test.moc"
