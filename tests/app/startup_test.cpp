// The main window as it starts, its layout rules, drawing on idle, the about box and help.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
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
    void everyCommandHasItsShortHintAsToolTipAndItsLongHintInTheStatusBar();
    void f1OpensTheHelpWhereverTheFocusIs();
    void theDeskStaysSquareAndTheWindowWidensWhenTheTreeCannotGiveWay();
    void aDeskLargerThanAnyBackBufferShowsTheLargestCentred();
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

void StartupTest::everyCommandHasItsShortHintAsToolTipAndItsLongHintInTheStatusBar() {
    AppUnderTest app;
    const TDM& dm = app.dm();
    const struct {
        QAction* action;
        const char *caption, *shortHint, *longHint;
    } commands[] = {
        {dm.ac_VelmoNew, "Новый", "Исходная позиция",
         "Быстро привести Кубик Вельмо к его исходной позиции"},
        {dm.ac_VelmoBreak, "Запутать", "Запутать Кубик Вельмо",
         "Запутать Кубик Вельмо случайным образом для его дальнейшей сборки"},
        {dm.ac_VelmoSolve, "Собрать", "Собрать Кубик Вельмо",
         "Запустить мастер сборки Кубика Вельмо по установленному алгоритму"},
        {dm.ac_VelmoHand, "Пересложить...", "Пересложить вручную",
         "Разобрать Кубик Вельмо на блоки и сложить в новом порядке"},
        {dm.ac_ServiceString, "Выполнить...", "Выполнить строку",
         "Выполнить строку, содержащую последовательность вращений Кубика Вельмо"},
        {dm.ac_ServiceShortest, "Кратчайшая сборка", "Кратчайшая сборка",
         "Собрать Кубик Вельмо за наименьшее число ходов: не более 20 поворотов граней"},
        {dm.ac_ServiceParams, "Параметры...", "Параметры",
         "Открыть окно настройки параметров работы программы"},
        {dm.ac_StringNew, "Новый...", "Новый...", ""},
        {dm.ac_StringEdit, "Изменить...", "Изменить...", ""},
        {dm.ac_StringDelete, "Удалить", "Удалить", ""},
        {dm.ac_HalpHelp, "Справка", "Справка", "Как собрать Кубик Вельмо"},
        {dm.ac_HelpAbout, "О Программе...", "О Программе...",
         "Вывод информации о программе и авторе"},
        {dm.ac_FileExit, "Выход", "Выход", "Завершение работы с приложением"},
    };
    for (const auto& c : commands) {
        // The caption as shown, its access letter aside.
        QCOMPARE(c.action->text().remove('&'), QString(c.caption));
        QCOMPARE(c.action->toolTip(), QString(c.shortHint));
        QCOMPARE(c.action->statusTip(), QString(c.longHint));
    }
}

void StartupTest::f1OpensTheHelpWhereverTheFocusIs() {
    AppUnderTest app;
    QVERIFY(QTest::qWaitForWindowActive(app.window.get()));
    int opened = 0;
    connect(app.dm().ac_HalpHelp, &QAction::triggered, [&opened] { ++opened; });
    QWidget* log = app.window->MessagePanel().Memo();
    for (QWidget* focus : {static_cast<QWidget*>(&app.tree()), log,
                           static_cast<QWidget*>(app.window.get())}) {
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_F1);
    }
    QCOMPARE(opened, 3);
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
    // Taller than the tree can make room for: the tree gives up what it can, down to its
    // minimum, and the window widens by exactly the rest.
    const int widthBefore = app.window->width(), deskBefore = desk.width();
    const QWidget& tree = app.window->TreePanel();
    const int treeCanGive = tree.width() - tree.minimumWidth();
    app.window->resize(widthBefore, 1000);
    settle();
    QCOMPARE(desk.width(), desk.height());
    QCOMPARE(tree.width(), tree.minimumWidth());
    QCOMPARE(app.window->width(), widthBefore + desk.height() - (deskBefore + treeCanGive));
    // The back buffer follows in device pixels.
    app.dm().Scene().RenderFrame();
    QCOMPARE(desk.Frame().size(), desk.size() * desk.devicePixelRatioF());
}

// A window 9,000 pixels high: the device would refuse a back buffer that size, and the program
// would end. The largest one it makes is drawn, centred, and the mouse still finds the cube.
void StartupTest::aDeskLargerThanAnyBackBufferShowsTheLargestCentred() {
    AppUnderTest app;
    app.Fast();
    TDesk& desk = app.window->Desk();
    // The front's centre sticker, as a share of the picture's side.
    const std::optional<QPoint> front = Find(app.dm().Scene(), 5, kFront);
    QVERIFY(front);
    const QPointF share = QPointF(*front) / desk.width();
    EveryMessageBox boxes;
    app.window->resize(app.window->width(), 9000);
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    QVERIFY(desk.height() > d3d8::kMaxBackBufferSize);
    QCOMPARE(boxes.count, 0);
    QVERIFY(!app.window->Terminated() && app.dm().Scene().HasDevice());
    app.dm().Scene().RenderFrame();
    QCOMPARE(desk.Frame().size(), QSize(d3d8::kMaxBackBufferSize, d3d8::kMaxBackBufferSize));
    const QRectF picture = desk.PictureRect();
    QCOMPARE(picture.center(), QRectF(desk.rect()).center());

    // A drag from the front's centre sticker turns the whole cube: the desk's points reach
    // the picture's pixels.
    const QPoint centre = (picture.topLeft() + share * picture.width()).toPoint();
    QTest::mousePress(&desk, Qt::LeftButton, {}, centre);
    QTest::mouseMove(&desk, centre + QPoint(-200, 0));
    QTest::mouseRelease(&desk, Qt::LeftButton, {}, centre + QPoint(-200, 0));
    Twin twin;
    twin.cube.TurnCubeTop(false);
    QCOMPARE(ToFacelets(app.cube()), twin.Facelets());
    app.window->resize(551, 457);
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
