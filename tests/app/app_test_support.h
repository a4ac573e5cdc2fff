#pragma once
// The real main window over a temporary folder that stands for the executable's folder, and
// helpers to answer the modal dialogs that commands open.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "app/data_module.h"
#include "app/desk.h"
#include "app/main_window.h"
#include "app/sequence_tree.h"
#include "headless/headless_host.h"
#include "log/message_log.h"
#include "model/facelets.h"
#include "model/velmo.h"
#include "view/scene.h"

namespace velmo::testing {

class AppUnderTest {
public:
    // `ini` is written as velmo.ini beside the "executable" first, when given.
    explicit AppUnderTest(const QByteArray& ini = {}, AppPaths paths = {}) {
        if (paths.executableDir.isEmpty()) paths.executableDir = dir.path();
        if (paths.configHome.isEmpty()) paths.configHome = dir.filePath("config");
        if (paths.home.isEmpty()) paths.home = dir.filePath("home");
        if (!ini.isNull()) WriteFile(QDir(paths.executableDir).filePath("velmo.ini"), ini);
        window = std::make_unique<Tfm_Main>(paths);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) qFatal("the main window was never shown");
    }

    // Turns as fast as the clock allows, still animated.
    void Fast() {
        dm().Settings.autoTurnDuration = 1;
        dm().Settings.handTurnDuration = 1;
    }

    TDM& dm() { return window->DM(); }
    TVelmo& cube() { return dm().Cube(); }
    TSequenceTree& tree() { return window->Tree(); }
    const std::vector<std::string>& lines() { return window->Log().Lines(); }
    QString IniPath() const { return dir.filePath("velmo.ini"); }

    static void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
        file.write(bytes);
    }
    static QByteArray ReadFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    std::unique_ptr<Tfm_Main> window;
};

// Runs `answer` on the next modal dialog of type T from inside its own event loop (a command
// that opens one blocks until it closes). Gives up after five seconds, so a dialog that never
// comes does not leave a timer behind for the next test.
template <class T = QWidget>
void AnswerNextModal(std::function<void(T*)> answer) {
    auto* timer = new QTimer;
    auto ticks = std::make_shared<int>(500);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, answer] {
        T* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (modal) answer(modal);
        if (modal || --*ticks <= 0) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

struct SeenBox {
    QString caption, text, details;
    bool shown = false;
};

// Answers the next message boxes, one button each, in order, and keeps what they said.
inline void AnswerMessageBoxes(std::vector<std::shared_ptr<SeenBox>> seen,
                               std::vector<QMessageBox::StandardButton> buttons) {
    if (buttons.empty()) return;
    AnswerNextModal<QMessageBox>([seen, buttons](QMessageBox* box) {
        *seen[0] = {box->windowTitle(), box->text(), box->detailedText(), true};
        // Answering the next one first: this box's click may open it at once.
        AnswerMessageBoxes({seen.begin() + 1, seen.end()}, {buttons.begin() + 1, buttons.end()});
        if (QAbstractButton* button = box->button(buttons[0])) button->click();
        else box->close();
    });
}

inline std::shared_ptr<SeenBox> AnswerNextMessageBox(QMessageBox::StandardButton button) {
    auto seen = std::make_shared<SeenBox>();
    AnswerMessageBoxes({seen}, {button});
    return seen;
}

// Answers every message box with OK while it lives, and counts them.
class EveryMessageBox {
public:
    EveryMessageBox() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++count;
                box->button(QMessageBox::Ok)->click();
            }
        });
        timer_.start(10);
    }
    int count = 0;

private:
    QTimer timer_;
};

// The middle of the desk area where picking reads this cell and face slot.
inline std::optional<QPoint> Find(TScene& scene, int cell, int slot) {
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

// The same moves made at once on a headless cube, for comparing positions.
struct Twin {
    HeadlessHost host;
    TVelmo cube{host};
    Twin() { cube.TurnDuration = 0; }
    std::string Facelets() const { return ToFacelets(cube); }
};

}  // namespace velmo::testing
