// Velmo Cube: start-up in its fixed order — the application and its title, the main window
// (which creates the data module: settings, scene, cube), then the event loop.

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/images/images.h"
#include "app/main_window.h"
#include "app/quit_signals.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Velmo Cube");
    QGuiApplication::setDesktopFileName("velmo");
    QApplication::setWindowIcon(velmo::WindowIcon());

    // The interface is Russian throughout, Qt's own buttons and dialogs included.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QTranslator qtTranslation;
    if (qtTranslation.load(QLocale(QLocale::Russian), "qtbase", "_",
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslation);

    velmo::Tfm_Main window;
    // The scene could not be built: its report was shown, and the program ends.
    if (window.Terminated()) return 1;
    velmo::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &velmo::QuitSignals::quitRequested, &window,
                     &velmo::Tfm_Main::QuitSaving);
    window.show();
    return QApplication::exec();
}
