// Where an installed program keeps its settings: in the user's configuration folder, even when
// it could write beside itself.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "settings/settings.h"
#include "settings/settings_location.h"

namespace velmo {
namespace {

namespace fs = std::filesystem;

TEST(SettingsLocation, AnInstalledProgramSavesToTheUserFolderAndStartsFromTheShippedFile) {
    std::string pattern = (fs::temp_directory_path() / "velmo-installed-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path program = pattern;
    const std::string shipped = (program / "velmo.ini").string();
    const std::string own = (program / "config" / "velmo" / "velmo.ini").string();
    std::ofstream(program / kInstalledMarker) << "installed\n";
    std::ofstream(shipped) << "[GENERAL]\nSpeedAuto=3\n";

    // The folder takes files (this test may well run as root), yet the saves go to the user.
    SettingsLocation location = LocateSettings(program.string(), (program / "config").string(), "");
    EXPECT_EQ(location.readPath, shipped);
    EXPECT_EQ(location.writePath, own);
    ASSERT_EQ(SaveSettings(location.writePath, LoadSettings(location.readPath)), "");
    location = LocateSettings(program.string(), "", (program / "home").string());
    EXPECT_EQ(location.writePath, (program / "home" / ".config" / "velmo" / "velmo.ini").string());
    EXPECT_EQ(LocateSettings(program.string(), (program / "config").string(), "").readPath, own);
    EXPECT_EQ(LoadSettings(own).autoTurnMs, 300);

    // Without any home there is nowhere to save: never beside the installed program.
    location = LocateSettings(program.string(), "", "");
    EXPECT_EQ(location.readPath, shipped);
    EXPECT_NE(SaveSettings(location.writePath, Settings{}), "");
    EXPECT_EQ(LoadSettings(shipped).autoTurnMs, 300);
    fs::remove_all(program);
}

}  // namespace
}  // namespace velmo
