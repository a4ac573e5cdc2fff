// Arbitrary bytes as a settings file: loading must never crash or hang, and whatever was
// loaded must come back unchanged after a save over that same file. A second save of the same
// settings must not change the file any more.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "settings/settings.h"

namespace {

const std::string& FilePath() {
    static const std::string path = "/tmp/fuzz_settings_" + std::to_string(getpid()) + ".ini";
    return path;
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool Same(const velmo::Settings& a, const velmo::Settings& b) {
    return a.handTurnMs == b.handTurnMs && a.autoTurnMs == b.autoTurnMs && a.doLog == b.doLog &&
           a.popular == b.popular && a.user == b.user;
}

}  // namespace

// A save waits for the disk twice, which on a real disk is most of a run's time; the content is
// what this fuzzer checks, so the executable's own fsync takes the place of the system's.
extern "C" int fsync(int) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = FilePath();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    const velmo::Settings loaded = velmo::LoadSettings(path);
    if (loaded.handTurnMs <= 0 || loaded.autoTurnMs <= 0) std::abort();
    if (!velmo::SaveSettings(path, loaded).empty()) std::abort();
    if (!Same(velmo::LoadSettings(path), loaded)) std::abort();

    const std::string saved = Bytes(path);
    if (!velmo::SaveSettings(path, loaded).empty() || Bytes(path) != saved) std::abort();
    unlink(path.c_str());
    return 0;
}
