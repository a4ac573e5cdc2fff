// Velmo Cube: start-up in its fixed order — the application and its title, the main window
// (which creates the data module: settings, scene, cube), then the event loop.

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

#include "app/data_module.h"
#include "app/images/images.h"
#include "app/main_window.h"
#include "app/start_position.h"

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

    // A bad position on the command line ends the program before any window.
    const velmo::StartPosition start = velmo::ReadStartPosition(QCoreApplication::arguments());
    if (!start.error.empty()) {
        std::fprintf(stderr, "%s\n", start.error.c_str());
        return 2;
    }

    velmo::Tfm_Main window;
    // The scene could not be built: its report was shown, and the program ends.
    if (window.Terminated()) return 1;
    window.show();
    if (!start.facelets.empty())
        window.DM().SetUpPosition(start.facelets, "Позиция из командной строки: " + start.facelets,
                                  "после запуска программы");
    return QApplication::exec();
}
