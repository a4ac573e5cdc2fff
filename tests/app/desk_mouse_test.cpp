// Real mouse events on the desk: where picking finds a sticker, a drag turns the layer the
// sticker-turn table names; the background, the right button and the reassembly mode.

#include <QToolButton>
#include <optional>

#include "app_test_support.h"
#include "reassembly/hand_window.h"
#include "view/scene.h"

namespace velmo::testing {

namespace {

void Drag(QWidget& desk, QPoint from, QPoint by, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(&desk, button, {}, from);
    QTest::mouseMove(&desk, from + QPoint(by.x() / 2, by.y() / 2));
    QTest::mouseMove(&desk, from + by);
    QTest::mouseRelease(&desk, button, {}, from + by);
}

}  // namespace

class DeskMouseTest : public QObject {
    Q_OBJECT
private slots:
    void aStickerDragTurnsOnlyPastThirtyTwoPixelsAlongOneAxis();
    void eachVisibleFaceTurnsTheLayerTheTableNames();
    void theBackgroundTakesOnlyTheRightButton();
    void aRightDragFromAStickerSwingsTheCameraAndTurnsNothing();
    void aPressOnAHighlightedCellGoesToTheReassembly();
    void rotateAndRemoveHighlightOnlyCellsThatHoldABlock();
};

void DeskMouseTest::aStickerDragTurnsOnlyPastThirtyTwoPixelsAlongOneAxis() {
    AppUnderTest app;
    app.Fast();
    app.dm().Settings.autoTurnDuration = 2;
    TDesk& desk = app.window->Desk();
    const std::optional<QPoint> sticker = Find(app.dm().Scene(), 3, kFront);
    QVERIFY(sticker);
    Twin twin;
    Drag(desk, *sticker, {-32, 0});
    QCOMPARE(ToFacelets(app.cube()), twin.Facelets());
    Drag(desk, *sticker, {-33, 11});
    QCOMPARE(ToFacelets(app.cube()), twin.Facelets());
    Drag(desk, *sticker, {-33, 10});
    twin.cube.TurnTop();  // "В" for a leftward drag on the front's top row
    QCOMPARE(ToFacelets(app.cube()), twin.Facelets());
    QCOMPARE(app.lines().back(), std::string("Операции пользователя: В "));
    // A turn made with the mouse takes the hand speed.
    QCOMPARE(app.cube().TurnDuration, 1);
}

void DeskMouseTest::eachVisibleFaceTurnsTheLayerTheTableNames() {
    AppUnderTest app;
    app.Fast();
    TDesk& desk = app.window->Desk();
    TScene& scene = app.dm().Scene();
    Twin twin;
    struct Case {
        int cell, slot;
        QPoint drag;
        Move move;
    };
    for (const Case& c : {Case{1, kFront, {0, -40}, Move::LeftInv},
                          Case{19, kTop, {40, 0}, Move::BackInv},
                          Case{12, kRight, {0, 40}, Move::SliceFront}}) {
        const std::optional<QPoint> sticker = Find(scene, c.cell, c.slot);
        QVERIFY(sticker);
        Drag(desk, *sticker, c.drag);
        twin.cube.Turn(c.move);
        QCOMPARE(ToFacelets(app.cube()), twin.Facelets());
    }
    // From below, the bottom face shows instead of the top.
    scene.Angles.CameraAngleV = -0.5f;
    scene.ComputeViewPoints();
    scene.ApplyViewTransform();
    const std::optional<QPoint> bottom = Find(scene, 25, kBottom);
    QVERIFY(bottom);
    Drag(desk, *bottom, {-40, 0});
    twin.cube.Turn(Move::BackInv);
    QCOMPARE(ToFacelets(app.cube()), twin.Facelets());
}

void DeskMouseTest::theBackgroundTakesOnlyTheRightButton() {
    AppUnderTest app;
    TDesk& desk = app.window->Desk();
    const ViewAngles before = app.dm().Scene().Angles;
    Drag(desk, {3, 3}, {60, 40});
    QCOMPARE(app.dm().Scene().Angles.CameraAngleV, before.CameraAngleV);
    Drag(desk, {3, 3}, {0, 40}, Qt::RightButton);
    QVERIFY(app.dm().Scene().Angles.CameraAngleV > before.CameraAngleV);
    QVERIFY(app.lines().empty());
}

void DeskMouseTest::aRightDragFromAStickerSwingsTheCameraAndTurnsNothing() {
    AppUnderTest app;
    app.Fast();
    const std::optional<QPoint> sticker = Find(app.dm().Scene(), 3, kFront);
    QVERIFY(sticker);
    const ViewAngles before = app.dm().Scene().Angles;
    Drag(app.window->Desk(), *sticker, {-40, 40}, Qt::RightButton);
    const ViewAngles& after = app.dm().Scene().Angles;
    QVERIFY(after.CameraAngleV > before.CameraAngleV);
    QVERIFY(after.CameraAngleH != before.CameraAngleH);
    QCOMPARE(ToFacelets(app.cube()), Twin().Facelets());
    QVERIFY(app.lines().empty());
}

void DeskMouseTest::aPressOnAHighlightedCellGoesToTheReassembly() {
    AppUnderTest app;
    app.Fast();
    app.dm().ac_VelmoHandExecute();
    Tfm_Hand* hand = app.dm().HandWindow();
    QVERIFY(hand && app.window->InReassembly);
    for (QAction* cube : {app.dm().ac_VelmoNew, app.dm().ac_VelmoBreak, app.dm().ac_VelmoSolve,
                          app.dm().ac_VelmoHand})
        QVERIFY2(!cube->isEnabled(), qPrintable(cube->text()));
    QToolButton* block1 = hand->findChild<QToolButton*>("sb_Block1");
    block1->click();
    const std::optional<QPoint> empty = Find(app.dm().Scene(), 1, kFront);
    QVERIFY(empty);
    QTest::mouseMove(&app.window->Desk(), *empty);
    QCOMPARE(app.cube().PickedCell, 1);
    QTest::mousePress(&app.window->Desk(), Qt::LeftButton, {}, *empty);
    QVERIFY(!app.window->Mouse().State().active);
    QVERIFY(app.cube().Block(1).InCube);
    QVERIFY(!block1->isEnabled());
    QTest::mouseRelease(&app.window->Desk(), Qt::LeftButton, {}, *empty);

    // Closed with blocks missing: the cube goes back to the start, the commands come back.
    hand->close();
    QTRY_VERIFY(!app.dm().HandWindow());
    QVERIFY(!app.window->InReassembly);
    QVERIFY(app.dm().ac_VelmoSolve->isEnabled());
    QCOMPARE(app.lines().back(), std::string("Переход в исходную позицию"));
    QCOMPARE(ToFacelets(app.cube()), Twin().Facelets());
}

// Placed blocks can be turned or taken out; an empty cell offers nothing to those tools.
void DeskMouseTest::rotateAndRemoveHighlightOnlyCellsThatHoldABlock() {
    AppUnderTest app;
    app.Fast();
    TScene& scene = app.dm().Scene();
    const std::optional<QPoint> cell1 = Find(scene, 1, kFront), cell3 = Find(scene, 3, kFront);
    QVERIFY(cell1 && cell3);
    app.dm().ac_VelmoHandExecute();
    Tfm_Hand* hand = app.dm().HandWindow();
    hand->findChild<QToolButton*>("sb_Block1")->click();
    // From elsewhere: a move to where the pointer already is (the last test left it) is none.
    QTest::mouseMove(&app.window->Desk(), {1, 1});
    QTest::mouseMove(&app.window->Desk(), *cell1);
    QTest::mouseClick(&app.window->Desk(), Qt::LeftButton, {}, *cell1);
    QVERIFY(app.cube().Block(1).InCube && !app.cube().Block(3).InCube);
    for (const char* tool : {"sb_Rotate", "sb_Delete"}) {
        hand->findChild<QToolButton*>(tool)->click();
        QTest::mouseMove(&app.window->Desk(), *cell3);
        QVERIFY2(app.cube().PickedCell != 3, tool);
        QTest::mouseMove(&app.window->Desk(), *cell1);
        QVERIFY2(app.cube().PickedCell == 1, tool);
    }
    hand->close();
    QTRY_VERIFY(!app.dm().HandWindow());
}

}  // namespace velmo::testing

QTEST_MAIN(velmo::testing::DeskMouseTest)
#include "desk_mouse_test.moc"
