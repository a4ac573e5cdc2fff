#include "settings/settings_location.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "settings/file_access.h"

namespace velmo {

namespace {

constexpr const char* kFileName = "velmo.ini";

bool IsAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

bool Exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string AccountHome() {
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return "";
    return found->pw_dir == nullptr ? "" : found->pw_dir;
}

}  // namespace

SettingsLocation LocateSettings(const std::string& executableDir,
                                const std::string& xdgConfigHome, const std::string& home) {
    const std::string besideExecutable = JoinPath(executableDir, kFileName);
    if (CanCreateFilesIn(executableDir)) return {besideExecutable, besideExecutable};

    // Without a usable home there is no better place; a save there fails and says so.
    std::string configHome = xdgConfigHome;
    if (!IsAbsolute(configHome)) configHome = IsAbsolute(home) ? JoinPath(home, ".config") : "";
    if (configHome.empty()) return {besideExecutable, besideExecutable};

    const std::string own = JoinPath(JoinPath(configHome, "velmo"), kFileName);
    return {Exists(own) ? own : besideExecutable, own};
}

SettingsLocation LocateSettingsOfThisProcess() {
    std::string home = Environment("HOME");
    if (home.empty()) home = AccountHome();
    return LocateSettings(ExecutableDirectory(), Environment("XDG_CONFIG_HOME"), home);
}

std::string ExecutableDirectory() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return ".";
        if (static_cast<std::size_t>(length) < buffer.size())
            return FolderOf(std::string(buffer.data(), static_cast<std::size_t>(length)));
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace velmo
