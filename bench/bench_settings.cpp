// Loading and saving velmo.ini: a large library (50 MB of sequences) and a file of many small
// sections, 100,000 pairs of "[USER]" and "[X]" headers (1.3 MB). A save runs on the file as the
// user left it, so the file is put back before each one (outside the timing).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "settings/settings.h"

namespace {

std::string LargeLibrary() {
    // "Последовательность номер N {...}" in Windows-1251, as the program stores it.
    const std::string name = "\xCF\xEE\xF1\xEB\xE5\xE4\xEE\xE2\xE0\xF2\xE5\xEB\xFC\xED\xEE\xF1"
                             "\xF2\xFC \xED\xEE\xEC\xE5\xF0 ";
    const std::string moves = " {(\xD4 \xCF \xC2 \xCF' \xC2' \xD4')6 \xCB \xD2 \xCD}";
    std::string bytes = "[GENERAL]\r\nSpeedHand=10\r\nSpeedAuto=7\r\nDoLog=1\r\n\r\n[USER]\r\n";
    std::size_t count = 0;
    while (bytes.size() < 50'000'000) {
        ++count;
        const std::string number = std::to_string(count);
        bytes += "Pos" + number + '=' + name + number + moves + "\r\n";
    }
    return bytes + "Count=" + std::to_string(count) + "\r\n";
}

std::string ManySections() {
    std::string bytes;
    for (int i = 0; i < 100'000; ++i) bytes += "[USER]\r\n[X]\r\n";
    return bytes;
}

class File {
public:
    explicit File(std::string bytes) : bytes_(std::move(bytes)) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmo-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        folder_ = pattern;
        path_ = folder_ + "/velmo.ini";
        Restore();
    }
    ~File() { std::filesystem::remove_all(folder_); }
    void Restore() const { std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes_; }
    const std::string& Path() const { return path_; }
    std::int64_t Size() const { return static_cast<std::int64_t>(bytes_.size()); }

private:
    std::string bytes_;
    std::string folder_;
    std::string path_;
};

void Load(benchmark::State& state, const File& file) {
    for (auto _ : state) benchmark::DoNotOptimize(velmo::LoadSettings(file.Path()));
    state.SetBytesProcessed(state.iterations() * file.Size());
}

void Save(benchmark::State& state, const File& file) {
    const velmo::Settings settings = velmo::LoadSettings(file.Path());
    for (auto _ : state) {
        state.PauseTiming();
        file.Restore();
        state.ResumeTiming();
        if (!velmo::SaveSettings(file.Path(), settings).empty()) state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * file.Size());
}

const File& Large() {
    static const File file(LargeLibrary());
    return file;
}

const File& Sections() {
    static const File file(ManySections());
    return file;
}

void BM_LoadLargeLibrary(benchmark::State& state) { Load(state, Large()); }
void BM_SaveLargeLibrary(benchmark::State& state) { Save(state, Large()); }
void BM_LoadManySections(benchmark::State& state) { Load(state, Sections()); }
void BM_SaveManySections(benchmark::State& state) { Save(state, Sections()); }

BENCHMARK(BM_LoadLargeLibrary)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveLargeLibrary)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadManySections)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveManySections)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
