#pragma once
// Where "velmo.ini" is read and written. Beside the executable when that folder takes new
// files (a build tree, a portable copy); otherwise the user's configuration folder receives
// the saves, and the file beside the executable is the starting point until the user has one.
//
// An installed program (the install rules put kInstalledMarker beside it) always saves to the
// user's configuration folder, even where it could write beside itself (root, or a prefix the
// user owns): one user's save must not become every user's defaults. Without any home folder
// it has nowhere to save, and a save fails and says so.

#include <string>

namespace velmo {

inline constexpr const char* kInstalledMarker = "velmo.installed";

struct SettingsLocation {
    std::string readPath;
    std::string writePath;
};

SettingsLocation LocateSettings(const std::string& executableDir,
                                const std::string& xdgConfigHome, const std::string& home);

}  // namespace velmo
