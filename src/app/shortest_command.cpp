// «Сервис → Кратчайшая сборка»: the second solver on the position on the desk, run like
// «Собрать». The first use in a session makes or reads its tables; meanwhile the status bar
// says so, the busy cursor shows, the window repaints and Esc stops it.

#include <QStatusBar>

#include "app/data_module.h"
#include "app/main_window.h"
#include "twophase/shortest.h"

namespace velmo {

void TDM::ac_ServiceShortestExecute() {
    QStatusBar* status = main_.statusBar();
    const auto notice = [status](bool working) {
        if (working) status->showMessage("Подготовка таблиц для кратчайшей сборки...");
        else status->clearMessage();
    };
    RunOnCube([this, &notice] { SolveShortest(Cube(), {}, notice); },
              {RunKind::Machine, "кратчайшая сборка Кубика Вельмо"});
}

}  // namespace velmo
