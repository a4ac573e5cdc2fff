#include "app/app_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <QCoreApplication>

namespace velmo {

namespace {

// $HOME, or where the password database puts the user's home when it is unset (as for
// programs started by some service managers), as a shell resolves "~".
QString HomeFolder() {
    QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty())
        if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_dir != nullptr)
            home = QString::fromLocal8Bit(user->pw_dir);
    return home;
}

}  // namespace

AppPaths AppPaths::OfProcess() {
    return {QCoreApplication::applicationDirPath(), qEnvironmentVariable("XDG_CONFIG_HOME"),
            HomeFolder()};
}

}  // namespace velmo
