// Velmo Cube: start-up in its fixed order — the application and its title, the main window
// (which creates the data module: settings, scene, cube), then the event loop. The command
// line is read around QApplication (see command_line.h).

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/data_module.h"
#include "app/images/images.h"
#include "app/main_window.h"
#include "app/quit_signals.h"

namespace {

std::vector<std::string> ArgumentsOf(int argc, char* argv[]) {
    if (argc < 2) return {};
    return {argv + 1, argv + argc};
}

// --help and --version need no display: they are answered before QApplication opens one.
// Returns the exit code when the program has nothing more to do.
std::optional<int> AnswerAtOnce(int argc, char* argv[]) {
    velmo::ProgramOptions options;
    velmo::ReadProgramOptions(ArgumentsOf(argc, argv), options, /*qtMayFollow=*/true);
    if (!options.help && !options.version) return std::nullopt;
    std::cout << (options.help ? velmo::ProgramHelp() : velmo::ProgramVersionLine());
    std::cout.flush();
    return std::cout ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (const std::optional<int> code = AnswerAtOnce(argc, argv)) return *code;
    QApplication application(argc, argv);
    // Qt has taken its own options out of argv; the rest must be the program's.
    velmo::ProgramOptions options;
    if (const std::string problem = velmo::ReadProgramOptions(ArgumentsOf(argc, argv), options);
        !problem.empty()) {
        std::cerr << "velmo: " << problem << "; справка: velmo --help\n";
        return 2;
    }
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
    if (!options.facelets.empty())
        window.DM().SetUpPosition(options.facelets,
                                  "Позиция из командной строки: " + options.facelets,
                                  "после запуска программы");
    return QApplication::exec();
}
