// The cache file of the distance tables: what it keeps, what it refuses, and that a refused or
// missing file only costs a rebuild.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "twophase/table_cache.h"
#include "twophase_test_util.h"

namespace velmo::testing {
namespace {

using namespace twophase;
namespace fs = std::filesystem;

// A folder of its own under the tests' cache folder, emptied first.
fs::path ScratchFolder(const std::string& name) {
    const fs::path folder = fs::path(VELMO_TEST_CACHE_HOME) / "cache_test" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Flipped(std::string bytes, std::size_t at, int bits) {
    bytes.at(at) = static_cast<char>(bytes.at(at) ^ bits);
    return bytes;
}

bool SameTables(const DistanceTables& a, const DistanceTables& b) {
    for (const DistanceTableKind& kind : DistanceTableKinds())
        if (a.*kind.table != b.*kind.table) return false;
    return true;
}

class TableCache : public ::testing::Test {
protected:
    const Tables& tables = TestTables();
    const fs::path folder = ScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    const std::string path = (folder / "twophase-tables.bin").string();

    std::string ReadBack() {
        DistanceTables read;
        const std::string problem = ReadTableCache(path, tables.moves, read);
        EXPECT_EQ(problem.empty(), SameTables(read, tables.distances)) << problem;
        if (!problem.empty()) {
            EXPECT_TRUE(read.twistSlice.empty()) << "refused tables are dropped";
        }
        return problem;
    }
};

TEST_F(TableCache, KeepsTheTablesInOneFileAndNothingElse) {
    ASSERT_EQ(WriteTableCache(path, tables.moves, tables.distances), "");
    EXPECT_EQ(ReadBack(), "");
    // Written again over the old one: still one file, no temporary left behind.
    ASSERT_EQ(WriteTableCache(path, tables.moves, tables.distances), "");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(TableCache, RefusesDamagedCutAndForeignFiles) {
    ASSERT_EQ(WriteTableCache(path, tables.moves, tables.distances), "");
    const std::string good = ReadBytes(path);
    const std::size_t header = 8 + 4 + 4 + 5 * 8 + 8 + 8;
    const std::vector<std::pair<const char*, std::string>> damaged = {
        {"a byte of a table", Flipped(good, header + good.size() / 3, 0x04)},
        {"the magic", Flipped(good, 0, 0x20)},
        {"the version", Flipped(good, 8, 0x01)},
        {"a table's size", Flipped(good, 16, 0x01)},
        {"the fingerprint", Flipped(good, header - 16, 0x01)},
        {"the checksum", Flipped(good, header - 1, 0x80)},
        {"cut in the header", good.substr(0, 20)},
        {"cut in the tables", good.substr(0, good.size() - 1)},
        {"a byte too many", good + '\0'},
        {"empty", ""},
        {"another program's file", std::string(9000, 'x')},
    };
    for (const auto& [what, bytes] : damaged) {
        WriteBytes(path, bytes);
        EXPECT_NE(ReadBack(), "") << what;
    }
    fs::remove(path);
    EXPECT_NE(ReadBack(), "") << "no file";
}

// A file with a good checksum over wrong tables (as a faulty program that wrote a half-built
// table might leave): the sampled entries give it away.
TEST_F(TableCache, RefusesAGoodChecksumOverWrongDistances) {
    DistanceTables wrong = tables.distances;
    for (std::uint8_t& d : wrong.flipSlice)
        if (d > 5) d = 0xFF;
    ASSERT_EQ(WriteTableCache(path, tables.moves, wrong), "");
    const std::string problem = ReadBack();
    EXPECT_NE(problem.find("flip x slice"), std::string::npos) << problem;
}

TEST_F(TableCache, ADamagedFileIsBuiltAgainAndWrittenGood) {
    ASSERT_EQ(WriteTableCache(path, tables.moves, tables.distances), "");
    std::string bytes = ReadBytes(path);
    bytes[bytes.size() / 2] ^= 0x10;
    WriteBytes(path, bytes);

    TablesReport report;
    const std::unique_ptr<Tables> rebuilt = MakeTables(path, nullptr, &report);
    ASSERT_TRUE(rebuilt);
    EXPECT_FALSE(report.fromCache);
    EXPECT_NE(report.cacheProblem, "");
    EXPECT_EQ(report.saveProblem, "");
    EXPECT_TRUE(SameTables(rebuilt->distances, tables.distances));
    EXPECT_EQ(ReadBack(), "") << "the rebuilt tables were written";

    const std::unique_ptr<Tables> read = MakeTables(path, nullptr, &report);
    EXPECT_TRUE(report.fromCache);
    EXPECT_TRUE(SameTables(read->distances, tables.distances));
}

TEST_F(TableCache, AFolderThatCannotBeMadeCostsOnlyTheFile) {
    WriteBytes(folder / "a file", "not a folder");
    TablesReport report;
    const std::unique_ptr<Tables> made =
        MakeTables((folder / "a file" / "twophase-tables.bin").string(), nullptr, &report);
    ASSERT_TRUE(made);
    EXPECT_NE(report.saveProblem, "");
    EXPECT_TRUE(SameTables(made->distances, tables.distances));
}

TEST_F(TableCache, AStoppedBuildGivesNoTablesAndWritesNothing) {
    int polls = 0;
    TablesReport report;
    EXPECT_EQ(MakeTables(path, [&] { return ++polls < 3; }, &report), nullptr);
    EXPECT_EQ(polls, 3);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(MakeTables(path, nullptr, &report));
    EXPECT_TRUE(fs::exists(path));
}

// XDG_CACHE_HOME when it is an absolute path, else ~/.cache; nothing without either.
TEST(TableCachePath, FollowsTheBaseDirectoryRules) {
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    const std::string xdg = variable("XDG_CACHE_HOME"), home = variable("HOME");
    setenv("HOME", "/home/someone", 1);
    setenv("XDG_CACHE_HOME", "/var/cache/someone", 1);
    EXPECT_EQ(DefaultTableCachePath(), "/var/cache/someone/velmo/twophase-tables.bin");
    setenv("XDG_CACHE_HOME", "relative/cache", 1);
    EXPECT_EQ(DefaultTableCachePath(), "/home/someone/.cache/velmo/twophase-tables.bin");
    unsetenv("XDG_CACHE_HOME");
    unsetenv("HOME");
    EXPECT_EQ(DefaultTableCachePath(), "");
    setenv("XDG_CACHE_HOME", xdg.c_str(), 1);
    if (!home.empty()) setenv("HOME", home.c_str(), 1);
}

}  // namespace
}  // namespace velmo::testing
