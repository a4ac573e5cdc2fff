#include "settings/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace velmo {

namespace {

std::string Failure(const std::string& what, const std::string& path, int error) {
    return what + ' ' + path + ": " + std::strerror(error);
}

// Names no other process or thread picks, so O_EXCL only fails on leftovers.
std::string UniqueName(const std::string& folder, const std::string& stem) {
    static std::atomic<unsigned> counter{0};
    return JoinPath(folder, '.' + stem + '.' + std::to_string(getpid()) + '.' +
                                std::to_string(counter++) + ".tmp");
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
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? "" : Failure("cannot read", path, errno);
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const int error = errno;
            close(fd);
            bytes.clear();
            return Failure("cannot read", path, error);
        }
        if (got == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    close(fd);
    return "";
}

std::string ReplaceFile(const std::string& path, std::string_view bytes) {
    const std::string folder = FolderOf(path);
    std::string temporary;
    const int fd = CreateUnique(folder, BaseName(path), temporary);
    if (fd < 0) return Failure("cannot create a file in", folder, errno);

    struct stat old {};
    if (stat(path.c_str(), &old) == 0) fchmod(fd, old.st_mode & 07777);
    int error = 0;
    if (!WriteAll(fd, bytes) || fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) {
        unlink(temporary.c_str());
        return Failure("cannot write", path, error);
    }
    // The rename itself reaches the disk with the folder; a failure here loses nothing.
    const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        fsync(folderFd);
        close(folderFd);
    }
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
            if (stat(part.c_str(), &info) != 0) return Failure("cannot create folder", part, error);
            if (!S_ISDIR(info.st_mode)) return Failure("cannot create folder", folder, ENOTDIR);
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
