// The main window as it starts, its layout rules, drawing on idle, the about box and help.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QToolButton>

#include "app_test_support.h"
#include "app/about_box.h"
#include "app/message_panel.h"
#include "app/run_guard.h"
#include "view/scene.h"

namespace velmo::testing {

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithTheFixedTreeAnEmptyLogAndTheCommands();
    void theDeskStaysSquareAndTheWindowWidensWhenTheTreeCannotGiveWay();
    void aResizeRebuildsTheSceneButKeepsCubeCameraAndLog();
    void idleDrawsOnceWhenTheQueueRunsEmptyAndNotWhileMinimised();
    void theMessagePanelFoldsToItsTitleAndTheSplitterStops();
    void theAboutBoxReadsTheVersionInformationAndAMissingHelpSaysNothing();
};

void StartupTest::startsWithTheFixedTreeAnEmptyLogAndTheCommands() {
    AppUnderTest app;
    TSequenceTree& tree = app.tree();
    QCOMPARE(app.window->windowTitle(), QString("Кубик Вельмо"));
    QCOMPARE(tree.topLevelItemCount(), 3);
    const QStringList roots = {"Базовые вращения", "Частые вращения", "Пользовательские"};
    const int kinds[] = {kBasicRoot, kFrequentRoot, kUserRoot};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(tree.topLevelItem(i)->text(0), roots[i]);
        QCOMPARE(TSequenceTree::Kind(tree.topLevelItem(i)), kinds[i]);
    }
    QTreeWidgetItem* basic = tree.topLevelItem(0);
    QCOMPARE(basic->childCount(), 24);
    QCOMPARE(basic->child(1)->text(0), QString("Л' - левый обратный"));
    QCOMPARE(basic->child(13)->text(0), QString("Сп' - средний правый обратный"));
    QCOMPARE(basic->child(23)->text(0), QString("Ов' - ось верх обратный"));
    QCOMPARE(TSequenceTree::Kind(basic->child(23)), int(kBasicTurnNode));
    // No settings file: the frequent list holds the starter library, the user's is empty.
    QCOMPARE(tree.topLevelItem(1)->childCount(), 5);
    QCOMPARE(tree.topLevelItem(1)->child(0)->text(0),
             QString("Ребро сверху в средний слой вправо {В П В' П' В' Ф' В Ф}"));
    QCOMPARE(tree.topLevelItem(2)->childCount(), 0);
    QVERIFY(app.lines().empty());

    // No settings file: the defaults.
    QCOMPARE(app.dm().Settings.handTurnDuration, 1000);
    QCOMPARE(app.dm().Settings.autoTurnDuration, 700);
    QVERIFY(app.dm().Settings.doLog && app.cube().LogTurns);

    TDM& dm = app.dm();
    QCOMPARE(dm.ac_VelmoSolve->text(), QString("&Собрать"));
    QCOMPARE(dm.ac_VelmoSolve->toolTip(), QString("Собрать Кубик Вельмо"));
    QCOMPARE(dm.ac_VelmoSolve->statusTip(),
             QString("Запустить мастер сборки Кубика Вельмо по установленному алгоритму"));
    QCOMPARE(dm.ac_VelmoHand->text(), QString("&Пересложить..."));
    QCOMPARE(dm.ac_HelpAbout->statusTip(), QString("Вывод информации о программе и авторе"));
    // The short cuts, and no others.
    const QMap<QAction*, QString> keys = {
        {dm.ac_HalpHelp, "F1"},         {dm.ac_FileExit, "Ctrl+Q"},
        {dm.ac_EditUndo, "Ctrl+Z"},     {dm.ac_EditRedo, "Ctrl+Shift+Z; Ctrl+Y"},
        {dm.ac_EditCopy, "Ctrl+C"},     {dm.ac_EditPaste, "Ctrl+V"}};
    for (QAction* action : dm.findChildren<QAction*>())
        QCOMPARE(QKeySequence::listToString(action->shortcuts()), keys.value(action));

    QStringList menus;
    for (QAction* menu : app.window->menuBar()->actions()) menus << menu->text();
    QCOMPARE(menus, QStringList({"&Файл", "&Правка", "&Сервис", "&?"}));
    // Access letters are unique within each menu.
    for (QMenu* menu : {dm.mi_File, dm.mi_Edit, dm.mi_Service, dm.mi_Help, dm.pm_Moves}) {
        QSet<QChar> letters;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator()) continue;
            const qsizetype at = action->text().indexOf('&');
            QVERIFY2(at >= 0, qPrintable(action->text()));
            QVERIFY2(!letters.contains(action->text()[at + 1].toLower()), qPrintable(action->text()));
            letters.insert(action->text()[at + 1].toLower());
        }
    }
    QCOMPARE(dm.mi_File->actions().size(), 6);
    QVERIFY(dm.mi_File->actions()[4]->isSeparator());
    QCOMPARE(dm.pm_Moves->actions(),
             QList<QAction*>({dm.ac_StringNew, dm.ac_StringEdit, dm.ac_StringDelete}));

    QStringList buttons;
    for (QToolButton* b : app.window->findChildren<QToolButton*>())
        if (b->defaultAction()) buttons << b->text();
    QCOMPARE(buttons, QStringList({"Новый", "Запутать", "Собрать", "Пересложить"}));
    QCOMPARE(app.window->Desk().statusTip(),
             QString("Смотри справку, что бы узнать, как собрать Кубик Вельмо"));
}

void StartupTest::theDeskStaysSquareAndTheWindowWidensWhenTheTreeCannotGiveWay() {
    AppUnderTest app;
    TDesk& desk = app.window->Desk();
    const auto settle = [] { for (int i = 0; i < 5; ++i) QApplication::processEvents(); };
    for (QSize size : {QSize(900, 420), QSize(700, 600), QSize(551, 457)}) {
        app.window->resize(size);
        settle();
        QCOMPARE(desk.width(), desk.height());
    }
    // Taller than the tree can make room for: the window grows and the tree keeps its width.
    const int widthBefore = app.window->width();
    app.window->resize(widthBefore, 1000);
    settle();
    QCOMPARE(desk.width(), desk.height());
    QVERIFY(app.window->width() > widthBefore);
    QVERIFY(app.window->TreePanel().width() >= app.window->TreePanel().minimumWidth());
    // The back buffer follows in device pixels.
    app.dm().Scene().RenderFrame();
    QCOMPARE(desk.Frame().size(), desk.size() * desk.devicePixelRatioF());
}

void StartupTest::aResizeRebuildsTheSceneButKeepsCubeCameraAndLog() {
    AppUnderTest app;
    app.Fast();
    app.dm().ac_VelmoBreakExecute();
    app.dm().Scene().Angles.CameraAngleV = -0.4f;
    const std::string position = ToFacelets(app.cube());
    const std::vector<std::string> log = app.lines();

    app.window->resize(app.window->width() + 50, app.window->height() + 80);
    for (int i = 0; i < 5; ++i) QApplication::processEvents();

    // The new back buffer has the new size.
    app.dm().Scene().RenderFrame();
    QCOMPARE(app.window->Desk().Frame().size(), app.window->Desk().size());
    QCOMPARE(ToFacelets(app.cube()), position);
    QCOMPARE(app.dm().Scene().Angles.CameraAngleV, -0.4f);
    QVERIFY(app.lines() == log);
}

// Waits in a real event loop, which sleeps when the queue runs empty (QTest::qWait polls).
void IdleFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void StartupTest::idleDrawsOnceWhenTheQueueRunsEmptyAndNotWhileMinimised() {
    AppUnderTest app;
    TDesk& desk = app.window->Desk();
    IdleFor(50);
    const int before = desk.PresentedFrames();
    IdleFor(300);
    // An idle program draws once per wake-up (a handful here), never in a loop (thousands).
    const int idleFrames = desk.PresentedFrames() - before;
    QVERIFY2(idleFrames >= 1 && idleFrames < 40, qPrintable(QString::number(idleFrames)));

    app.window->setWindowState(Qt::WindowMinimized);
    QVERIFY(!app.dm().Scene().RenderingActive);
    const int minimised = desk.PresentedFrames();
    IdleFor(100);
    QCOMPARE(desk.PresentedFrames(), minimised);
    app.window->setWindowState(Qt::WindowNoState);
    QVERIFY(app.dm().Scene().RenderingActive);
}

void StartupTest::theMessagePanelFoldsToItsTitleAndTheSplitterStops() {
    AppUnderTest app;
    TMessagePanel& panel = app.window->MessagePanel();
    QSplitter& splitter = app.window->MessageSplitter();
    QCOMPARE(panel.height(), TMessagePanel::kExpandedHeight);
    QTest::mouseClick(panel.TitleButton(), Qt::LeftButton);
    QApplication::processEvents();
    QCOMPARE(panel.height(), TMessagePanel::kCollapsedHeight);
    QVERIFY(!splitter.handle(1)->isEnabled());
    splitter.setSizes({100, 200});
    QCOMPARE(panel.height(), TMessagePanel::kCollapsedHeight);
    QTest::mouseClick(panel.TitleButton(), Qt::LeftButton);
    QApplication::processEvents();
    QCOMPARE(panel.height(), TMessagePanel::kExpandedHeight);
    QVERIFY(splitter.handle(1)->isEnabled());
    QCOMPARE(panel.minimumHeight(), 64);
}

void StartupTest::theAboutBoxReadsTheVersionInformationAndAMissingHelpSaysNothing() {
    AppUnderTest app;
    Tfm_About about(app.window.get(), "file:///somewhere/help/index.html");
    QCOMPARE(about.lb_Name->text(), QString("Velmo Cube"));
    QCOMPARE(about.lb_Version->text(), QString("версия 1"));
    QCOMPARE(about.lb_FileVersion->text(), QString("(1.0.2.56)"));
    QCOMPARE(about.lb_InternalName->text(), QString("(VelmoCube)"));
    QCOMPARE(about.lb_CopyRight->text(), QString("Velmo Cube™, © 2026 Velmo Cube project"));
    QCOMPARE(about.lb_URL->text(), QString("file:///somewhere/help/index.html"));

    // No help pages beside this "executable": F1 opens nothing and reports nothing.
    QTest::keyClick(&app.tree(), Qt::Key_F1);
    QApplication::processEvents();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    for (QWidget* top : QApplication::topLevelWidgets())
        QVERIFY(top == app.window.get() || top == &about || !top->isVisible());
}

}  // namespace velmo::testing

QTEST_MAIN(velmo::testing::StartupTest)
#include "startup_test.moc"
