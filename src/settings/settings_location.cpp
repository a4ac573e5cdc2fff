#include "settings/settings_location.h"

#include <sys/stat.h>

#include "settings/file_access.h"

namespace velmo {

namespace {

constexpr const char* kFileName = "velmo.ini";

bool IsAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

bool Exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

}  // namespace

SettingsLocation LocateSettings(const std::string& executableDir,
                                const std::string& xdgConfigHome, const std::string& home) {
    const std::string besideExecutable = JoinPath(executableDir, kFileName);
    const bool installed = Exists(JoinPath(executableDir, kInstalledMarker));
    if (!installed && CanCreateFilesIn(executableDir)) return {besideExecutable, besideExecutable};

    // Without a usable home there is no better place; a save there fails and says so.
    std::string configHome = xdgConfigHome;
    if (!IsAbsolute(configHome)) configHome = IsAbsolute(home) ? JoinPath(home, ".config") : "";
    if (configHome.empty()) return {besideExecutable, installed ? "" : besideExecutable};

    const std::string own = JoinPath(JoinPath(configHome, "velmo"), kFileName);
    return {Exists(own) ? own : besideExecutable, own};
}

}  // namespace velmo
