#include "app/data_module.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QAbstractButton>

#include "app/access_letters.h"
#include "app/app_paths.h"
#include "app/cube_history.h"
#include "app/desk.h"
#include "app/device_choice.h"
#include "app/images/images.h"
#include "app/main_window.h"
#include "app/run_guard.h"
#include "app/sequence_tree.h"
#include "app/window_geometry.h"
#include "settings/starter_library.h"
#include "view/pictures.h"
#include "view/scene.h"

namespace velmo {

TDM::TDM(Tfm_Main& main) : QObject(&main), main_(main) {
    setObjectName("DM");
    for (int i = 0; i < kActionImageCount; ++i) il_Small.append(ActionIcon(i));
    for (int i = 0; i < 4; ++i) il_Large.append(ToolBarIcon(i));
    CreateActions();
    CreateEditActions();
    GroupCommandsBlockedDuringRuns();
    CreateMenus();
    host_ = std::make_unique<AppHost>(main_, main_.Log(), main_.Guard(), Settings);
    host_->SetBusyListener([this](bool busy) { ShowCommandsBusy(busy); });
    LoadSettings();
    CreateScene();
    CreateHistory();
    AddAccessLetters(*this);
    // A scene that cannot be rebuilt ends the program: what the user set and collected is
    // saved first, as a close would.
    host_->SetOnTerminate([this] { SaveSettings(); });
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &TDM::ApplicationEventsIdle);
}

TDM::~TDM() {
    // The history listens to the model; the scene's model reaches the host until the end.
    history_.reset();
    scene_.reset();
}

QAction* TDM::NewAction(const char* name, const QString& caption, const QString& shortHint,
                        const QString& longHint, int image, const QString& category) {
    auto* action = new QAction(il_Small.value(image), caption, this);
    action->setObjectName(name);
    action->setToolTip(shortHint.isEmpty() ? caption : shortHint);
    action->setStatusTip(longHint);
    action->setProperty("category", category);
    action->setProperty("imageIndex", image);
    return action;
}

void TDM::CreateActions() {
    const QString cube = "Кубик Вельмо", file = "Файл", help = "Помощь", service = "Сервис",
                  sequences = "Последовательности";
    ac_VelmoNew = NewAction("ac_VelmoNew", "Новый", "Исходная позиция",
                            "Быстро привести Кубик Вельмо к его исходной позиции", 8, cube);
    ac_VelmoBreak = NewAction("ac_VelmoBreak", "Запутать", "Запутать Кубик Вельмо",
                              "Запутать Кубик Вельмо случайным образом для его дальнейшей сборки",
                              9, cube);
    ac_VelmoSolve = NewAction("ac_VelmoSolve", "Собрать", "Собрать Кубик Вельмо",
                              "Запустить мастер сборки Кубика Вельмо по установленному алгоритму",
                              10, cube);
    ac_VelmoHand = NewAction("ac_VelmoHand", "Пересложить...", "Пересложить вручную",
                             "Разобрать Кубик Вельмо на блоки и сложить в новом порядке", 11, cube);
    ac_ServiceString = NewAction(
        "ac_ServiceString", "Выполнить...", "Выполнить строку",
        "Выполнить строку, содержащую последовательность вращений Кубика Вельмо", 6, service);
    ac_ServiceShortest = NewAction(
        "ac_ServiceShortest", "Кратчайшая сборка", "Кратчайшая сборка",
        "Собрать Кубик Вельмо за наименьшее число ходов: не более 20 поворотов граней",
        kImageShortest, service);
    ac_ServiceParams = NewAction("ac_ServiceParams", "Параметры...", "Параметры",
                                 "Открыть окно настройки параметров работы программы", 7, service);
    ac_StringNew = NewAction("ac_StringNew", "Новый...", "", "", 8, sequences);
    ac_StringEdit = NewAction("ac_StringEdit", "Изменить...", "", "", 12, sequences);
    ac_StringDelete = NewAction("ac_StringDelete", "Удалить", "", "", 13, sequences);
    ac_HalpHelp = NewAction("ac_HalpHelp", "Справка", "Справка", "Как собрать Кубик Вельмо", 14,
                            help);
    ac_HelpAbout = NewAction("ac_HelpAbout", "О Программе...", "О Программе...",
                             "Вывод информации о программе и авторе", 5, help);
    ac_FileExit = NewAction("ac_FileExit", "Выход", "Выход", "Завершение работы с приложением", 4,
                            file);
    // F1 is the only short cut, and it works wherever the focus is in the main window.
    ac_HalpHelp->setShortcut(Qt::Key_F1);
    ac_HalpHelp->setShortcutContext(Qt::WindowShortcut);

    connect(ac_VelmoNew, &QAction::triggered, this, &TDM::ac_VelmoNewExecute);
    connect(ac_VelmoBreak, &QAction::triggered, this, &TDM::ac_VelmoBreakExecute);
    connect(ac_VelmoSolve, &QAction::triggered, this, &TDM::ac_VelmoSolveExecute);
    connect(ac_VelmoHand, &QAction::triggered, this, &TDM::ac_VelmoHandExecute);
    connect(ac_ServiceString, &QAction::triggered, this, &TDM::ac_ServiceStringExecute);
    connect(ac_ServiceShortest, &QAction::triggered, this, &TDM::ac_ServiceShortestExecute);
    connect(ac_ServiceParams, &QAction::triggered, this, &TDM::ac_ServiceParamsExecute);
    connect(ac_StringNew, &QAction::triggered, this, &TDM::ac_StringNewExecute);
    connect(ac_StringEdit, &QAction::triggered, this, &TDM::ac_StringEditExecute);
    connect(ac_StringDelete, &QAction::triggered, this, &TDM::ac_StringDeleteExecute);
    connect(ac_HalpHelp, &QAction::triggered, this, &TDM::ac_HalpHelpExecute);
    connect(ac_HelpAbout, &QAction::triggered, this, &TDM::ac_HelpAboutExecute);
    connect(ac_FileExit, &QAction::triggered, &main_, &QWidget::close);
}

// A disabled group keeps each action's own state and gives it back when enabled again.
void TDM::GroupCommandsBlockedDuringRuns() {
    blockedDuringRuns_ = new QActionGroup(this);
    blockedDuringRuns_->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (QAction* action : {ac_VelmoNew, ac_VelmoBreak, ac_VelmoSolve, ac_VelmoHand,
                            ac_ServiceString, ac_ServiceParams, ac_StringNew, ac_StringEdit,
                            ac_StringDelete, ac_EditUndo, ac_EditRedo, ac_EditCopy, ac_EditPaste})
        blockedDuringRuns_->addAction(action);
}

// A focused button that goes grey would hand the focus on (to the tree, which then opens its
// first node): the focus waits outside the run and comes back after it.
void TDM::ShowCommandsBusy(bool busy) {
    if (busy) {
        focusBeforeRun_ = main_.focusWidget();
        if (focusBeforeRun_) focusBeforeRun_->clearFocus();
    }
    blockedDuringRuns_->setEnabled(!busy);
    if (!busy && focusBeforeRun_) {
        focusBeforeRun_->setFocus();
        focusBeforeRun_ = nullptr;
    }
}

void TDM::CreateMenus() {
    mi_File = new QMenu("Файл", &main_);
    mi_File->setObjectName("mi_File");
    mi_File->addActions({ac_VelmoNew, ac_VelmoBreak, ac_VelmoSolve, ac_VelmoHand});
    mi_File->addSeparator();
    mi_File->addAction(ac_FileExit);

    mi_Service = new QMenu("Сервис", &main_);
    mi_Service->setObjectName("mi_Service");
    mi_Service->addAction(ac_ServiceString);
    mi_Service->addAction(ac_ServiceShortest);
    mi_Service->addSeparator();
    mi_Service->addAction(ac_ServiceParams);

    mi_Help = new QMenu("?", &main_);
    mi_Help->setObjectName("mi_Help");
    mi_Help->addAction(ac_HalpHelp);
    mi_Help->addSeparator();
    mi_Help->addAction(ac_HelpAbout);

    pm_Moves = new QMenu(&main_);
    pm_Moves->setObjectName("pm_Moves");
    pm_Moves->addActions({ac_StringNew, ac_StringEdit, ac_StringDelete});
    connect(pm_Moves, &QMenu::aboutToShow, this, &TDM::UpdateSequenceActions);
}

void TDM::LoadSettings() {
    const AppPaths& paths = main_.Paths();
    settingsFile_ = LocateSettings(paths.executableDir.toStdString(),
                                   paths.configHome.toStdString(), paths.home.toStdString());
    const velmo::Settings loaded = velmo::LoadSettings(settingsFile_.readPath);
    Settings.handTurnDuration = loaded.handTurnMs;
    Settings.autoTurnDuration = loaded.autoTurnMs;
    Settings.doLog = loaded.doLog;
    savedGeometry_ = loaded.window;
    // The first start, before any settings file: the frequent list starts with well-known
    // sequences.
    const bool firstStart = !QFileInfo::exists(QString::fromStdString(settingsFile_.readPath));
    main_.Tree().LoadList(kFrequentRoot, firstStart ? StarterSequences() : loaded.popular);
    main_.Tree().LoadList(kUserRoot, loaded.user);
}

std::string TDM::WriteSettingsFile() {
    velmo::Settings saved;
    saved.handTurnMs = Settings.handTurnDuration;
    saved.autoTurnMs = Settings.autoTurnDuration;
    saved.doLog = Settings.doLog;
    saved.popular = main_.Tree().ChildTexts(kFrequentRoot);
    saved.user = main_.Tree().ChildTexts(kUserRoot);
    saved.window = CaptureWindowGeometry(main_);
    return velmo::SaveSettings(settingsFile_.writePath, saved);
}

namespace {

constexpr const char* kSaveFailedCaption = "Внимание";
constexpr const char* kSaveFailedText = "Файл конфигурации не может быть записан!";

}  // namespace

bool TDM::SaveSettings() {
    const std::string problem = WriteSettingsFile();
    if (problem.empty()) return true;
    QMessageBox box(QMessageBox::Warning, kSaveFailedCaption, kSaveFailedText, QMessageBox::Ok,
                    &main_);
    box.setDetailedText(QString::fromStdString(problem));
    box.exec();
    return false;
}

bool TDM::SaveSettingsBeforeClose() {
    const std::string problem = WriteSettingsFile();
    if (problem.empty()) return true;
    QMessageBox box(QMessageBox::Warning, kSaveFailedCaption, kSaveFailedText,
                    QMessageBox::Cancel | QMessageBox::Close, &main_);
    box.setInformativeText("Если закрыть программу сейчас, последовательности и параметры, "
                           "изменённые с её запуска, будут потеряны. Можно вернуться в "
                           "программу и закрыть её позже, когда файл можно будет записать.");
    box.button(QMessageBox::Cancel)->setText("Вернуться в программу");
    box.button(QMessageBox::Close)->setText("Закрыть без сохранения");
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    box.setDetailedText(QString::fromStdString(problem));
    return box.exec() == QMessageBox::Close;
}

void TDM::CreateScene() {
    SceneEnvironment env;
    env.direct3DCreate8 = DeskDirect3DFactory(main_.Desk());
    env.desk = main_.Desk().Handle();
    env.shell = host_.get();
    env.stickerPicture = GrainPicture();
    env.logoPicture = LogoPicture();
    env.modelHost = host_.get();
    scene_ = std::make_unique<TScene>(std::move(env));
    host_->SetScene(scene_.get());
    scene_->InitScene(true);
    main_.Desk().ShowHardwareFrames(scene_->IsHardwareDevice());
}

TVelmo& TDM::Cube() { return *scene_->Model(); }

void TDM::ResetScene() {
    scene_->ResetScene();
    main_.Desk().ShowHardwareFrames(scene_->HasDevice() && scene_->IsHardwareDevice());
}

// Once each time the queue runs empty, never in a loop: the frame is drawn here and now, and
// nothing is posted that would wake the queue again.
void TDM::ApplicationEventsIdle() {
    if (inIdle_ || !scene_ || !scene_->RenderingActive || main_.Guard().Busy()) return;
    if (!main_.isVisible() || main_.isMinimized() || Terminated()) return;
    inIdle_ = true;
    host_->RenderFrame();
    inIdle_ = false;
}

void TDM::ApplicationEventsMinimize() { scene_->RenderingActive = false; }
void TDM::ApplicationEventsRestore() { scene_->RenderingActive = true; }

QString TDM::HelpIndexPath() const {
    return QDir(main_.Paths().executableDir).filePath("help/index.html");
}

}  // namespace velmo
