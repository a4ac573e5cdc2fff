// Where a save writes and what it refuses: only a regular file, reached through links, keeping
// its owner, mode and hard links; copies left by killed saves cleared; reasons said in Russian.

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <optional>
#include <set>

#include "settings/file_access.h"
#include "settings/settings_location.h"
#include "settings_fixture.h"

namespace velmo {
namespace {

namespace fs = std::filesystem;

// What `job` returns, run in a child process, so that a load or save that blocks or never ends
// fails the test instead of hanging it.
std::optional<std::string> InChild(const std::function<std::string()>& job) {
    int channel[2];
    if (pipe(channel) != 0) return std::nullopt;
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const std::string result = job();
        const ssize_t sent = write(channel[1], result.data(), result.size());
        _exit(sent == static_cast<ssize_t>(result.size()) ? 0 : 1);
    }
    close(channel[1]);
    std::string result;
    pollfd ready{channel[0], POLLIN, 0};
    char buffer[4096];
    ssize_t got = 1;
    while (got > 0 && poll(&ready, 1, 10000) == 1)
        if ((got = read(channel[0], buffer, sizeof buffer)) > 0)
            result.append(buffer, static_cast<std::size_t>(got));
    close(channel[0]);
    if (got != 0) kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    if (got != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return result;
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

TEST_F(SettingsFile, OnlyARegularFileWithinTheBoundIsReadAndASaveSaysWhatIsThereInstead) {
    const auto socketAt = [](const std::string& path) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        close(fd);
    };
    const auto oversized = [this] {
        Put("[GENERAL]\nSpeedHand=4\n");
        fs::resize_file(path_, kMaxFileBytes + 1);  // sparse: costs no disk
    };
    const std::string quoted = "«" + path_ + "»";
    const std::vector<std::pair<std::function<void()>, std::string>> kinds = {
        {[this] { ASSERT_EQ(mkfifo(path_.c_str(), 0644), 0); },
         quoted + " — не обычный файл, а именованный канал."},
        {[this] { fs::create_directory(path_); }, quoted + " — не обычный файл, а папка."},
        {[&] { socketAt(path_); }, quoted + " — не обычный файл, а сокет."},
        {[this] { fs::create_symlink("/dev/zero", path_); },
         "«/dev/zero» — не обычный файл, а устройство."},
        {oversized,
         "Файл " + quoted + " больше 64 МиБ: он не читается и не перезаписывается."},
    };
    for (const auto& [make, said] : kinds) {
        fs::remove_all(path_);
        make();
        struct stat before {};
        ASSERT_EQ(lstat(path_.c_str(), &before), 0);
        EXPECT_EQ(InChild([this] { return std::to_string(LoadSettings(path_).handTurnMs); }),
                  "1000") << said;
        EXPECT_EQ(InChild([this] { return SaveSettings(path_, Settings{}); }), said);
        struct stat after {};
        ASSERT_EQ(lstat(path_.c_str(), &after), 0);
        EXPECT_TRUE(after.st_ino == before.st_ino && after.st_mode == before.st_mode &&
                    after.st_size == before.st_size) << said;
        EXPECT_EQ(Names(folder_), std::set<std::string>{"velmo.ini"}) << said;
    }
}

TEST_F(SettingsFile, ALinkLeadsToTheFileWhichKeepsItsOwnerModeAndHardLinks) {
    fs::create_directory(folder_ / "mine");
    const std::string file = (folder_ / "mine" / "velmo.ini").string();
    const std::string other = (folder_ / "mine" / "other name.ini").string();
    std::ofstream(file) << "[GENERAL]\nSpeedHand=4\n";
    fs::create_hard_link(file, other);
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);
    // Root can give the file to another user, and a save by root must give it back.
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(file.c_str(), 65534, 65534), 0);
    }
    fs::create_symlink("mine/velmo.ini", path_);

    Settings settings;
    settings.user = {"Крест {Ф}"};
    ASSERT_EQ(SaveSettings(path_, settings), "");
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(LoadSettings(other).user, settings.user);
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(info.st_nlink, 2u);
    if (root) {
        EXPECT_TRUE(info.st_uid == 65534 && info.st_gid == 65534);
    }
    EXPECT_EQ(Names(folder_ / "mine"), (std::set<std::string>{"velmo.ini", "other name.ini"}));

    // A link to a file that is not there yet makes it where the link points.
    fs::remove(path_);
    fs::create_symlink(folder_ / "new" / "velmo.ini", path_);
    ASSERT_EQ(SaveSettings(path_, settings), "");
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(LoadSettings((folder_ / "new" / "velmo.ini").string()).user, settings.user);
}

TEST_F(SettingsFile, CopiesLeftByKilledSavesGoUnlessTheirSaveMayStillBeRunning) {
    const std::string gone = "999999999";  // above any process number the system hands out
    const std::string running = std::to_string(getpid());
    const auto leave = [this](const std::string& name, int ageSeconds) {
        std::ofstream(folder_ / name) << "[USER]\nPos1=half a save";
        fs::last_write_time(folder_ / name, fs::file_time_type::clock::now() -
                                                std::chrono::seconds(ageSeconds));
    };
    constexpr int kDay = 24 * 60 * 60;
    leave(".velmo.ini." + gone + ".0.tmp", 120);
    leave(".velmo.ini." + gone + ".1.tmp", 5);  // perhaps a save on a machine sharing the folder
    leave(".velmo.ini." + running + ".2.tmp", kDay - 60);
    leave(".velmo.ini." + running + ".3.tmp", kDay + 60);  // its number may serve another process
    const std::vector<std::string> foreign = {".velmo.ini.tmp", ".other.ini." + gone + ".0.tmp",
                                              "velmo.ini." + gone + ".0.tmp", ".velmo.ini.-5.0.tmp"};
    for (const std::string& name : foreign) leave(name, 2 * kDay);

    ASSERT_EQ(SaveSettings(path_, Settings{}), "");
    EXPECT_EQ(Names(folder_), (std::set<std::string>{
                                  "velmo.ini", ".velmo.ini." + gone + ".1.tmp",
                                  ".velmo.ini." + running + ".2.tmp", ".velmo.ini.tmp",
                                  ".other.ini." + gone + ".0.tmp", "velmo.ini." + gone + ".0.tmp",
                                  ".velmo.ini.-5.0.tmp"}));
}

TEST_F(SettingsFile, FailedSavesSayWhyInRussianOnOneLineAndLeaveTheOldFileAlone) {
    Put("[GENERAL]\r\nSpeedHand=4\r\n");
    std::ofstream(folder_ / "block\ner") << "a file, not a folder";
    const std::string blocked =
        LocateSettings("/proc", (folder_ / "block\ner" / "config").string(), "/").writePath;
    EXPECT_EQ(SaveSettings(blocked, Settings{}),
              "Не удалось создать папку «" + folder_.string() +
                  "/block\\x0Aer/config/velmo»: часть пути — не папка.");

    const std::string loop = (folder_ / "loop.ini").string();
    fs::create_symlink("loop.ini", loop);
    EXPECT_EQ(SaveSettings(loop, Settings{}),
              "Не удалось пройти по ссылке «" + loop + "»: слишком много символических ссылок.");

    // A write that fails half-way (the file size limit) must not cut the old file short.
    Settings large;
    large.user.assign(200, "Длинная последовательность {(Ф П В П' В' Ф')6}");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const std::string tooLarge = SaveSettings(path_, large);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(tooLarge, "Не удалось записать файл «" + path_ + "»: файл слишком велик.");
    EXPECT_EQ(Bytes(), "[GENERAL]\r\nSpeedHand=4\r\n");
    EXPECT_EQ(Names(folder_), (std::set<std::string>{"velmo.ini", "block\ner", "loop.ini"}));
}

}  // namespace
}  // namespace velmo
