// The tool window over the tools' state: its buttons, its radio group, the exchange of
// "Отмена" and "Готово", and closing by the window's close box.

#include <QButtonGroup>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include "headless/headless_host.h"
#include "log/message_log.h"
#include "reassembly/hand_window.h"
#include "reassembly/reassembly.h"

namespace velmo {

class HandWindowTest : public QObject {
    Q_OBJECT

private:
    // A cube taken apart and its tool window, shown.
    struct Mode {
        Mode() : cube(host) {
            StartReassembly(cube);
            window = new Tfm_Hand(nullptr, cube, [this] { ++closes; });
            window->show();
        }
        ~Mode() { delete window.data(); }
        QToolButton* Button(const QString& name) const {
            return window->findChild<QToolButton*>(name);
        }
        QToolButton* Block(int n) const { return Button(QString("sb_Block%1").arg(n)); }
        void Place(int n) {
            Block(n)->click();
            cube.PickedCell = n;
            window->HandleReassemblyClick();
        }

        HeadlessHost host;
        TVelmo cube;
        QPointer<Tfm_Hand> window;
        int closes = 0;
    };

private slots:
    void buttonsStandAtTheirPlacesInOneExclusiveGroup() {
        Mode m;
        QCOMPARE(m.window->windowTitle(), QString("Пересборка"));
        QVERIFY(m.window->windowFlags().testFlag(Qt::Tool));
        QCOMPARE(m.window->size(), QSize(132, 440));
        const struct {
            const char* name;
            int x, y;
            const char* hint;
        } places[] = {
            {"sb_Arrow", 0, 0, ""},          {"sb_Delete", 0, 72, "Выковырять"},
            {"sb_VelmoHand", 0, 360, "Заново"}, {"sb_Ok", 0, 396, "Готово"},
            {"sb_Block26", 44, 252, ""},     {"sb_Block25", 88, 396, ""},
        };
        for (const auto& e : places) {
            QToolButton* b = m.Button(e.name);
            QVERIFY2(b, e.name);
            QCOMPARE(b->geometry(), QRect(4 + e.x, 4 + e.y, 36, 36));
            QCOMPARE(b->toolTip(), QString(e.hint));
        }
        QVERIFY(m.Button("sb_Cancel")->isVisible() && !m.Button("sb_Ok")->isVisible());

        QButtonGroup* group = m.Button("sb_Arrow")->group();
        QVERIFY(group && group->exclusive());
        QCOMPARE(group->buttons().size(), 23);
        QCOMPARE(group->checkedButton(), m.Button("sb_Arrow"));
        m.Block(7)->click();
        QCOMPARE(group->checkedButton(), m.Block(7));
        QCOMPARE(m.cube.PickFilter, 1);
        m.Button("sb_Delete")->click();
        QCOMPARE(group->checkedButton(), m.Button("sb_Delete"));
        QCOMPARE(m.window->Tools().ToolState(), -1);
    }

    void doneReplacesCancelWhenTheLastBlockIsPlaced() {
        Mode m;
        for (int n : kCornerCells) m.Place(n);
        for (int n : kEdgeCells) {
            QVERIFY(m.Button("sb_Cancel")->isVisible());
            m.Place(n);
            QVERIFY(!m.Block(n)->isEnabled());
            QVERIFY(m.Button("sb_Arrow")->isChecked());
        }
        QVERIFY(!m.Button("sb_Cancel")->isVisible());
        QVERIFY(m.Button("sb_Ok")->isVisible());

        m.Button("sb_Ok")->click();
        QCOMPARE(m.closes, 1);
        QCOMPARE(QString::fromStdString(m.host.Log().Lines().back()),
                 QString("Пользователь пересложил Кубик Вельмо"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(m.window.isNull());
    }

    // The close box runs the same decision; a stop asked for during its reset ends there.
    void theCloseBoxRunsTheCloseDecision() {
        Mode m;
        m.Place(1);
        m.cube.PickedCell = 1;
        m.window->close();
        QCOMPARE(m.closes, 1);
        QCOMPARE(m.cube.PickedCell, -1);
        QCOMPARE(QString::fromStdString(m.host.Log().Lines().back()),
                 QString("Переход в исходную позицию"));
        for (int cell = 1; cell <= kCellCount; ++cell) QVERIFY(m.cube.Block(cell).InCube);

        Mode stopped;
        stopped.host.RequestStop();
        stopped.window->close();
        QCOMPARE(stopped.closes, 1);
        QCOMPARE(QString::fromStdString(stopped.host.Log().Lines().back()),
                 QString("Выполнение остановлено пользователем"));
    }
};

}  // namespace velmo

QTEST_MAIN(velmo::HandWindowTest)
#include "hand_window_test.moc"
