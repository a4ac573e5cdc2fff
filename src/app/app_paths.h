#pragma once
// Where the program looks for what lies beside it (the settings file, the help pages) and
// where a user's own configuration goes. Taken from the running process; tests give their own.

#include <QString>

namespace velmo {

struct AppPaths {
    QString executableDir;  // the directory of the running executable
    QString configHome;     // $XDG_CONFIG_HOME, may be empty
    QString home;           // $HOME

    static AppPaths OfProcess();
};

}  // namespace velmo
