// What the user does while the cube is busy: Esc and a close act, everything else aimed at the
// window is dropped, not done afterwards; the busy cursor and the unavailable commands show
// that a run is going.

#include <QMenuBar>
#include <QToolButton>

#include "app_test_support.h"
#include "app/app_host.h"
#include "app/message_panel.h"
#include "app/run_guard.h"

namespace velmo::testing {

namespace {

QToolButton* ToolButtonOf(Tfm_Main& window, QAction* action) {
    for (QToolButton* button : window.findChildren<QToolButton*>())
        if (button->defaultAction() == action) return button;
    return nullptr;
}

// Lets whatever was queued during the run arrive.
void Settle() {
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QTest::qWait(10);
    }
}

}  // namespace

class RunInputTest : public QObject {
    Q_OBJECT
private slots:
    void clicksKeysAndMenusDuringARunAreNotDoneAfterIt();
    void theBusyCursorAndUnavailableCommandsShowTheRun();
};

void RunInputTest::clicksKeysAndMenusDuringARunAreNotDoneAfterIt() {
    AppUnderTest app;
    app.dm().Settings.autoTurnDuration = 30;
    Tfm_Main& window = *app.window;
    TSequenceTree& tree = app.tree();
    tree.setCurrentItem(tree.topLevelItem(0)->child(0));
    QTreeWidgetItem* current = tree.currentItem();
    bool acted = false;
    QTimer::singleShot(100, [&] {
        QVERIFY(window.Guard().Busy());
        QToolButton* solve = ToolButtonOf(window, app.dm().ac_VelmoSolve);
        for (int i = 0; i < 5; ++i) QTest::mouseClick(solve, Qt::LeftButton);
        for (int i = 0; i < 20; ++i) QTest::keyClick(&tree, Qt::Key_Down);
        const QRect basic = tree.visualItemRect(tree.topLevelItem(0)->child(4));
        QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, basic.center());
        QMenuBar* menus = window.menuBar();
        QTest::mouseClick(menus, Qt::LeftButton, {},
                          menus->actionGeometry(menus->actions().first()).center());
        QTest::mouseClick(window.MessagePanel().TitleButton(), Qt::LeftButton);
        acted = true;
    });
    app.dm().ac_VelmoBreakExecute();
    QVERIFY(acted);
    const std::vector<std::string> log = app.lines();
    const std::string position = ToFacelets(app.cube());
    QVERIFY(log.back().starts_with("Запутывание Кубика Вельмо"));

    Settle();
    QVERIFY(app.lines() == log);
    QCOMPARE(ToFacelets(app.cube()), position);
    QCOMPARE(tree.currentItem(), current);
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
    QVERIFY(!window.MessagePanel().Collapsed());
    // Afterwards the same click works as ever.
    app.Fast();
    QTest::mouseClick(window.MessagePanel().TitleButton(), Qt::LeftButton);
    QVERIFY(window.MessagePanel().Collapsed());
}

void RunInputTest::theBusyCursorAndUnavailableCommandsShowTheRun() {
    AppUnderTest app;
    app.dm().Settings.autoTurnDuration = 30;
    TDM& dm = app.dm();
    std::optional<Qt::CursorShape> cursor;
    bool solveOpen = true, helpOpen = false;
    QTimer::singleShot(100, [&] {
        if (const QCursor* c = QApplication::overrideCursor()) cursor = c->shape();
        solveOpen = dm.ac_VelmoSolve->isEnabled();
        helpOpen = dm.ac_HalpHelp->isEnabled();
    });
    dm.ac_VelmoBreakExecute();
    QCOMPARE(cursor, std::optional(Qt::WaitCursor));
    QVERIFY(!solveOpen);
    QVERIFY(helpOpen);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(dm.ac_VelmoSolve->isEnabled());
    // A command that was off before the run stays off after it.
    QVERIFY(!dm.ac_StringEdit->isEnabled());

    // Held twice, the cursor stays until both are given back.
    AppHost& host = dm.Host();
    host.BeginBusyCursor();
    host.BeginBusyCursor();
    host.EndBusyCursor();
    QVERIFY(QApplication::overrideCursor() && !dm.ac_VelmoNew->isEnabled());
    host.EndBusyCursor();
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(dm.ac_VelmoNew->isEnabled());
}

}  // namespace velmo::testing

QTEST_MAIN(velmo::testing::RunInputTest)
#include "run_input_test.moc"
