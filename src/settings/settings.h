#pragma once
// The program's settings file "velmo.ini": two turn durations, the logging switch and the two
// lists of named move sequences. Loading never fails; saving says what went wrong.

#include <optional>
#include <string>
#include <vector>

#include "settings/window_settings.h"

namespace velmo {

class Profile;

struct Settings {
    int handTurnMs = 1000;
    int autoTurnMs = 700;
    bool doLog = true;
    // Full texts of sequence nodes, UTF-8: name, blank, "{", move string, "}".
    std::vector<std::string> popular;
    std::vector<std::string> user;
    // The main window's place; none in a file that has no "WINDOW" section (nothing written).
    std::optional<WindowGeometry> window;
};

// Entries up to this index are taken as "Count" promises, present or not; beyond it only those
// the file really holds, so a huge stored count costs nothing.
inline constexpr int kTrustedListEntries = 10000;

// A missing or unreadable file gives the defaults.
Settings LoadSettings(const std::string& path);

// Applies the settings to the file as it stands (other sections and keys survive) and replaces
// it in one step. Returns "" on success, else one line naming the path and the reason.
std::string SaveSettings(const std::string& path, const Settings& settings);

// The same mapping on a profile held in memory.
Settings ReadSettings(const Profile& profile);
void WriteSettings(Profile& profile, const Settings& settings);

}  // namespace velmo
