#pragma once
// Where "velmo.ini" is read and written. Beside the executable when that folder takes new
// files (a build tree, a portable copy); otherwise the user's configuration folder receives
// the saves, and the file beside the executable is the starting point until the user has one.

#include <string>

namespace velmo {

struct SettingsLocation {
    std::string readPath;
    std::string writePath;
};

SettingsLocation LocateSettings(const std::string& executableDir,
                                const std::string& xdgConfigHome, const std::string& home);

}  // namespace velmo
