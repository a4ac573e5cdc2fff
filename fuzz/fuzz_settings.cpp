// Arbitrary bytes as a settings file: loading must never crash or hang, and whatever was
// loaded must come back unchanged after a save over that same file. A second save of the same
// settings must not change the file any more. Half the inputs reach the file through a symbolic
// link, which a save follows and leaves in place. Some runs also put a FIFO, a folder or a link
// to a device where the file should be: those load as the defaults, and a save refuses them
// with one line and leaves them as they were.

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "settings/settings.h"

namespace {

// A folder of this process's own, so that no other fuzzing process shares its temporary copies;
// removed at the exit, so its name must outlive every static object.
const std::string& Folder() {
    static const std::string& folder = *[] {
        auto* name = new std::string("/tmp/fuzz_settings_XXXXXX");
        if (mkdtemp(name->data()) == nullptr) std::abort();
        return name;
    }();
    static const bool removedAtExit =
        std::atexit([] { std::filesystem::remove_all(Folder()); }) == 0;
    static_cast<void>(removedAtExit);
    return folder;
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool Same(const velmo::Settings& a, const velmo::Settings& b) {
    return a.handTurnMs == b.handTurnMs && a.autoTurnMs == b.autoTurnMs && a.doLog == b.doLog &&
           a.popular == b.popular && a.user == b.user;
}

void RoundTrip(const std::string& bytes, bool throughLink) {
    const std::string file = Folder() + "/velmo.ini";
    const std::string link = Folder() + "/link.ini";
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    if (throughLink && symlink("velmo.ini", link.c_str()) != 0) std::abort();
    const std::string& path = throughLink ? link : file;

    const velmo::Settings loaded = velmo::LoadSettings(path);
    if (loaded.handTurnMs <= 0 || loaded.autoTurnMs <= 0) std::abort();
    if (!velmo::SaveSettings(path, loaded).empty()) std::abort();
    if (!Same(velmo::LoadSettings(path), loaded)) std::abort();

    const std::string saved = Bytes(file);
    if (!velmo::SaveSettings(path, loaded).empty() || Bytes(file) != saved) std::abort();
    struct stat info {};
    if (throughLink && (lstat(link.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))) std::abort();
    unlink(link.c_str());
    unlink(file.c_str());
}

void Refused(const std::function<void(const std::string&)>& make) {
    const std::string path = Folder() + "/velmo.ini";
    make(path);
    struct stat before {};
    if (lstat(path.c_str(), &before) != 0) std::abort();
    const velmo::Settings loaded = velmo::LoadSettings(path);
    if (!Same(loaded, velmo::Settings{})) std::abort();
    const std::string said = velmo::SaveSettings(path, loaded);
    if (said.empty() || said.find('\n') != std::string::npos) std::abort();
    struct stat after {};
    if (lstat(path.c_str(), &after) != 0 || after.st_ino != before.st_ino ||
        after.st_mode != before.st_mode)
        std::abort();
    std::filesystem::remove(path);
}

}  // namespace

// A save waits for the disk twice, which on a real disk is most of a run's time; the content is
// what this fuzzer checks, so the executable's own fsync takes the place of the system's.
extern "C" int fsync(int) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RoundTrip(std::string(reinterpret_cast<const char*>(data), size), size % 2 == 1);
    switch (size % 16) {
        case 0:
            Refused([](const std::string& path) {
                if (mkfifo(path.c_str(), 0600) != 0) std::abort();
            });
            break;
        case 2:
            Refused([](const std::string& path) { std::filesystem::create_directory(path); });
            break;
        case 4:
            Refused([](const std::string& path) {
                if (symlink("/dev/zero", path.c_str()) != 0) std::abort();
            });
            break;
    }
    return 0;
}
