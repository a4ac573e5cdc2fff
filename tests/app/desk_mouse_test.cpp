// Real mouse events on the desk: where picking finds a sticker, a drag turns the layer the
// sticker-turn table names; the background, the right button and the reassembly mode.

#include <QToolButton>
#include <optional>

#include "app_test_support.h"
#include "reassembly/hand_window.h"
#include "view/scene.h"

namespace velmo::testing {

namespace {

// The middle of the desk area where picking reads this cell and face slot.
std::optional<QPoint> Find(TScene& scene, int cell, int slot) {
    const std::optional<PickMap> map = scene.PickAll();
    if (!map) return std::nullopt;
    long sx = 0, sy = 0, n = 0;
    for (int y = 0; y < map->height; ++y)
        for (int x = 0; x < map->width; ++x) {
            const PickResult pick = map->At(x, y);
            if (pick.green5 == 0 && pick.red5 == cell && pick.blue5 == slot)
                sx += x, sy += y, ++n;
        }
    if (n == 0) return std::nullopt;
    return QPoint(static_cast<int>(sx / n), static_cast<int>(sy / n));
}

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
    void aPressOnAHighlightedCellGoesToTheReassembly();
};

void DeskMouseTest::aStickerDragTurnsOnlyPastThirtyTwoPixelsAlongOneAxis() {
    AppUnderTest app;
    app.Fast();
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

void DeskMouseTest::aPressOnAHighlightedCellGoesToTheReassembly() {
    AppUnderTest app;
    app.Fast();
    app.dm().ac_VelmoHandExecute();
    Tfm_Hand* hand = app.dm().HandWindow();
    QVERIFY(hand && app.window->InReassembly);
    QVERIFY(!app.dm().ac_VelmoSolve->isEnabled());
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

}  // namespace velmo::testing

QTEST_MAIN(velmo::testing::DeskMouseTest)
#include "desk_mouse_test.moc"
