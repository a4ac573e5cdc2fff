#include "app/app_paths.h"

#include <QCoreApplication>

namespace velmo {

AppPaths AppPaths::OfProcess() {
    return {QCoreApplication::applicationDirPath(), qEnvironmentVariable("XDG_CONFIG_HOME"),
            qEnvironmentVariable("HOME")};
}

}  // namespace velmo
