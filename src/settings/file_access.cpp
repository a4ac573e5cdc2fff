#include "settings/file_access.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <ctime>

#include "settings/failure_text.h"

namespace velmo {

namespace {

constexpr int kMaxLinks = 40;  // as many as the system follows on one path
// A temporary copy whose writer no longer runs here is left alone this long after its last
// change: a writer on another machine that shares the folder, or in another process namespace,
// is not visible here, but its copy is never older than that while it writes.
constexpr std::time_t kWriterGrace = 60;
// After a day a copy is taken as left behind even when its process number is in use again.
constexpr std::time_t kForgotten = 24 * 60 * 60;
constexpr std::string_view kCopyEnd = ".tmp";

std::string CopyPrefix(const std::string& stem) { return '.' + stem + '.'; }

// Names no other process or thread picks, so O_EXCL only fails on leftovers.
std::string UniqueName(const std::string& folder, const std::string& stem) {
    static std::atomic<unsigned> counter{0};
    return JoinPath(folder, CopyPrefix(stem) + std::to_string(getpid()) + '.' +
                                std::to_string(counter++) + std::string(kCopyEnd));
}

int CreateUnique(const std::string& folder, const std::string& stem, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = UniqueName(folder, stem);
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string NotRegular(const std::string& path, mode_t mode) {
    const char* kind = S_ISDIR(mode)    ? "папка"
                       : S_ISFIFO(mode) ? "именованный канал"
                       : S_ISSOCK(mode) ? "сокет"
                                        : "устройство";
    return QuotedPath(path) + " — не обычный файл, а " + kind + '.';
}

std::string TooLarge(const std::string& path) {
    return "Файл " + QuotedPath(path) + " больше " + std::to_string(kMaxFileBytes >> 20) +
           " МиБ: он не читается и не перезаписывается.";
}

// The open file is checked again: the name may lead somewhere else since it was looked at.
std::string ReadOpenFile(int fd, const std::string& path, std::string& bytes) {
    struct stat info {};
    if (fstat(fd, &info) != 0) return Failure("прочитать файл", path, errno);
    if (!S_ISREG(info.st_mode)) return NotRegular(path, info.st_mode);
    if (static_cast<std::size_t>(info.st_size) > kMaxFileBytes) return TooLarge(path);
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return Failure("прочитать файл", path, errno);
        if (got == 0) return "";
        // A file that grows while it is read, or one the system makes up as it goes, stops too.
        if (bytes.size() + static_cast<std::size_t>(got) > kMaxFileBytes) return TooLarge(path);
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

bool IsRunning(long long pid) {
    return pid > 0 && pid <= INT_MAX && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

bool ParseNumber(std::string_view digits, long long& number) {
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, number);
    return !digits.empty() && digits.front() != '-' && error == std::errc() && stop == end;
}

// Whether the name is one UniqueName makes for that prefix, and the process that made it.
bool IsCopyName(std::string_view name, const std::string& prefix, long long& pid) {
    if (name.size() <= prefix.size() + kCopyEnd.size() || !name.starts_with(prefix) ||
        !name.ends_with(kCopyEnd))
        return false;
    name = name.substr(prefix.size(), name.size() - prefix.size() - kCopyEnd.size());
    const std::size_t dot = name.find('.');
    long long counter = 0;
    return dot != std::string_view::npos && ParseNumber(name.substr(0, dot), pid) &&
           ParseNumber(name.substr(dot + 1), counter);
}

// A save killed half-way leaves its temporary copy behind; the next save clears it away. A copy
// goes when its writer is surely gone: the process is not running and the copy has not changed
// for a minute, or it has not changed for a day.
void RemoveLeftCopies(const std::string& folder, const std::string& stem) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return;
    const std::string prefix = CopyPrefix(stem);
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = readdir(dir)) {
        long long pid = 0;
        struct stat info {};
        if (!IsCopyName(entry->d_name, prefix, pid) ||
            fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode))
            continue;
        const std::time_t age = now - info.st_mtime;
        if (age >= kForgotten || (age >= kWriterGrace && !IsRunning(pid)))
            unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
}

// Root may give the file away, others may pass it to a group of theirs; where neither is
// allowed the file belongs to whoever saves it, as a new file would. The permission bits come
// last, as a change of owner may clear some.
void KeepOwnerAndMode(int fd, const struct stat& old) {
    const bool owned = fchown(fd, old.st_uid, old.st_gid) == 0 ||
                       fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
    static_cast<void>(owned);
    fchmod(fd, old.st_mode & 07777);
}

// Room for the whole content, taken before the first byte changes; a file system that cannot
// reserve ahead is written all the same.
bool Reserve(int fd, std::size_t size) {
    return fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0 ||
           errno == EOPNOTSUPP || errno == ENOSYS;
}

// A file with other hard links is written over in place, so that every name keeps seeing it
// (a rename would give this name a file of its own). The whole new content is already on the
// disk in the copy beside it, and a full disk stops the rewrite before it changes anything.
bool RewriteInPlace(const std::string& path, const struct stat& old, std::string_view bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat now {};
    const bool done = fstat(fd, &now) == 0 && now.st_dev == old.st_dev &&
                      now.st_ino == old.st_ino && Reserve(fd, bytes.size()) &&
                      WriteAll(fd, bytes) && ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
                      fsync(fd) == 0;
    return close(fd) == 0 && done;
}

void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + '/' + name;
}

std::string ReadFileBytes(const std::string& path, std::string& bytes) {
    bytes.clear();
    // Looked at before it is opened: a device may act on being opened.
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? "" : Failure("прочитать файл", path, errno);
    if (!S_ISREG(info.st_mode)) return NotRegular(path, info.st_mode);
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? "" : Failure("прочитать файл", path, errno);
    const std::string failure = ReadOpenFile(fd, path, bytes);
    close(fd);
    if (!failure.empty()) bytes.clear();
    return failure;
}

std::string FollowLinks(const std::string& path, std::string& target) {
    target = path;
    for (int link = 0; link <= kMaxLinks; ++link) {
        struct stat info {};
        if (lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return "";
        char next[PATH_MAX];
        const ssize_t length = readlink(target.c_str(), next, sizeof next);
        if (length < 0) return Failure("пройти по ссылке", target, errno);
        if (length == 0 || static_cast<std::size_t>(length) == sizeof next)
            return Failure("пройти по ссылке", target, ENAMETOOLONG);
        const std::string step(next, static_cast<std::size_t>(length));
        target = step.front() == '/' ? step : JoinPath(FolderOf(target), step);
    }
    return Failure("пройти по ссылке", path, ELOOP);
}

std::string ReplaceFile(const std::string& path, std::string_view bytes) {
    const std::string folder = FolderOf(path);
    RemoveLeftCopies(folder, BaseName(path));
    std::string temporary;
    const int fd = CreateUnique(folder, BaseName(path), temporary);
    if (fd < 0) return Failure("создать файл в папке", folder, errno);

    struct stat old {};
    const bool exists = stat(path.c_str(), &old) == 0;
    if (exists) KeepOwnerAndMode(fd, old);
    int error = 0;
    if (!WriteAll(fd, bytes) || fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    // Should the rewrite fail, the copy takes the file's place as below: the links are split
    // then, but the settings are whole.
    if (error == 0 && exists && old.st_nlink > 1 && RewriteInPlace(path, old, bytes)) {
        unlink(temporary.c_str());
        return "";
    }
    if (error == 0 && rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) {
        unlink(temporary.c_str());
        return Failure("записать файл", path, error);
    }
    // The rename itself reaches the disk with the folder; a failure here loses nothing.
    SyncFolder(folder);
    return "";
}

std::string MakeParentFolders(const std::string& path) {
    const std::string folder = FolderOf(path);
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (mkdir(part.c_str(), 0700) != 0) {
            // Read-only and foreign folders refuse mkdir even where the folder is there.
            const int error = errno;
            struct stat info {};
            if (stat(part.c_str(), &info) != 0) return Failure("создать папку", part, error);
            if (!S_ISDIR(info.st_mode)) return Failure("создать папку", folder, ENOTDIR);
        }
        if (end == std::string::npos) return "";
    }
}

bool CanCreateFilesIn(const std::string& folder) {
    std::string probe;
    const int fd = CreateUnique(folder.empty() ? "." : folder, "velmo-probe", probe);
    if (fd < 0) return false;
    close(fd);
    unlink(probe.c_str());
    return true;
}

}  // namespace velmo
