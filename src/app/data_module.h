#pragma once
// TDM, the data module: the one place that owns every command (actions with their captions,
// hints, images and categories), the main menu, the tree's pop-up menu and the two image
// lists; the settings; the 3-D scene and the cube model; and the hooks that draw a frame
// whenever the event queue runs empty. The main window creates it and takes up its menus.

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <memory>
#include <string>

#include "app/app_host.h"
#include "app/cube_run.h"
#include "settings/settings.h"
#include "settings/settings_location.h"

class QAction;
class QActionGroup;
class QMenu;
class QTreeWidgetItem;

namespace velmo {

class TScene;
class TVelmo;
class Tfm_Main;
class THelpWindow;
class Tfm_Hand;
class TCubeHistory;

class TDM : public QObject {
    Q_OBJECT
public:
    // DataModuleCreate: the commands, the settings from the file, then the scene with the cube.
    explicit TDM(Tfm_Main& main);
    ~TDM() override;

    // The commands.
    QAction* ac_VelmoNew;
    QAction* ac_VelmoBreak;
    QAction* ac_VelmoSolve;
    QAction* ac_VelmoHand;
    QAction* ac_ServiceString;
    QAction* ac_ServiceShortest;
    QAction* ac_ServiceParams;
    QAction* ac_StringNew;
    QAction* ac_StringEdit;
    QAction* ac_StringDelete;
    QAction* ac_HalpHelp;
    QAction* ac_HelpAbout;
    QAction* ac_FileExit;
    // «Правка»: undo and redo, the position out to the clipboard and in from it.
    QAction* ac_EditUndo;
    QAction* ac_EditRedo;
    QAction* ac_EditCopy;
    QAction* ac_EditPaste;
    // The main menu ("Файл", "Правка", "Сервис", "?") and the pop-up menu of the sequence tree.
    QMenu* mi_File;
    QMenu* mi_Edit;
    QMenu* mi_Service;
    QMenu* mi_Help;
    QMenu* pm_Moves;
    // The image lists: 16 x 16 for menus and commands, 32 x 32 for the tool bar.
    QList<QIcon> il_Small;
    QList<QIcon> il_Large;

    // Settings: the two turn durations (milliseconds) and DoLog.
    TurnSettings Settings;
    const SettingsLocation& SettingsFile() const { return settingsFile_; }
    // Writes the settings and both sequence lists; returns "" or why the file could not be
    // written (one line, for the user).
    std::string WriteSettingsFile();
    // Writes them; a failure is reported in a message box.
    bool SaveSettings();
    // Writes them as the window closes. A failure is reported, and the user chooses: stay in
    // the program (false: the close is off, and nothing is lost) or close without saving.
    bool SaveSettingsBeforeClose();
    // The main window's place as the settings file kept it; none on the first start.
    const std::optional<WindowGeometry>& SavedGeometry() const { return savedGeometry_; }

    TScene& Scene() { return *scene_; }
    TVelmo& Cube();
    AppHost& Host() { return *host_; }
    // Set when the scene could not be built and the program is to end.
    bool Terminated() const { return host_->TerminateRequested(); }

    // Rebuilds the scene for the desk's new size; cube, camera and log stay.
    void ResetScene();
    void ApplicationEventsIdle();
    void ApplicationEventsMinimize();
    void ApplicationEventsRestore();

    // The reassembly tool window while the mode lasts.
    Tfm_Hand* HandWindow() const;
    // Where the help pages are (beside the executable).
    QString HelpIndexPath() const;

    // Command handlers.
    void ac_VelmoNewExecute();
    void ac_VelmoBreakExecute();
    void ac_VelmoSolveExecute();
    void ac_VelmoHandExecute();
    void ac_ServiceStringExecute();
    void ac_ServiceShortestExecute();
    void ac_ServiceParamsExecute();
    void ac_StringNewExecute();
    void ac_StringEditExecute();
    void ac_StringDeleteExecute();
    void ac_HalpHelpExecute();
    void ac_HelpAboutExecute();
    void tv_MovesDblClick(QTreeWidgetItem* node);
    void ac_EditUndoExecute();
    void ac_EditRedoExecute();
    void ac_EditCopyExecute();
    void ac_EditPasteExecute();

    // Runs a long operation on the cube (one at a time: false when another is under way); the
    // undo history records it as the run says.
    bool RunOnCube(const std::function<void()>& operation, const CubeRun& run = {});
    // One basic turn made by the user (a double click in the tree, a key): the automatic
    // speed, on the user's log line.
    void RunUserTurn(const std::string& notation);
    // Sets up a position from facelets as a finished reassembly leaves the cube, with a log
    // line and a new undo history; `since` ends a later hand-solve line. The facelets must be
    // correct (FaceletsProblem empty).
    void SetUpPosition(const std::string& facelets, const std::string& logLine,
                       const std::string& since);
    // The undo history and the hand-solve watch; null when the scene could not be built.
    TCubeHistory* History() const { return history_.get(); }
    // The enabling rules of the three sequence commands, from the tree's selection.
    void UpdateSequenceActions();

private:
    void CreateActions();
    void CreateMenus();
    QAction* NewAction(const char* name, const QString& caption, const QString& shortHint,
                       const QString& longHint, int image, const QString& category);
    void LoadSettings();
    void CreateScene();
    void CreateEditActions();
    void CreateHistory();
    void ReportIncorrectString();
    void RunTopLevelString(const std::string& moves);
    void EnableCubeCommands(bool enabled);
    // While a run holds the busy cursor, every command but help, about and exit shows as
    // unavailable (input is dropped then anyway); each keeps its own state for afterwards.
    void ShowCommandsBusy(bool busy);
    void GroupCommandsBlockedDuringRuns();
    void PlaceHandWindow();

    Tfm_Main& main_;
    SettingsLocation settingsFile_;
    std::optional<WindowGeometry> savedGeometry_;
    std::unique_ptr<AppHost> host_;
    std::unique_ptr<TScene> scene_;
    QPointer<THelpWindow> help_;
    QPointer<Tfm_Hand> hand_;
    QActionGroup* blockedDuringRuns_ = nullptr;
    QPointer<QWidget> focusBeforeRun_;
    std::unique_ptr<TCubeHistory> history_;
    // The last string confirmed in «Выполнить...», offered again.
    QString lastString_;
    bool inIdle_ = false;
};

}  // namespace velmo
