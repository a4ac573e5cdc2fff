// velmo-cli's view options: frames written as PNG files, picks, sizes, devices and angles.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>

#include "cli/cli.h"
#include "platform/png.h"
#include "view_test_support.h"

namespace velmo::cli {
namespace {

using velmo::testing::Pixel;
using velmo::testing::Project;

struct Result {
    int code;
    std::string out, err;
};

Result RunTool(const std::vector<std::string>& args) {
    std::vector<Option> options = CubeOptions();
    for (Option& option : ViewOptions()) options.push_back(std::move(option));
    std::ostringstream out, err;
    const int code = RunCli(args, options, out, err);
    return {code, out.str(), err.str()};
}

std::string TempPng(const std::string& name) {
    return ::testing::TempDir() + "velmo_cli_" + std::to_string(::getpid()) + "_" + name + ".png";
}

Image Rendered(const std::vector<std::string>& args, const std::string& path) {
    const Result r = RunTool(args);
    EXPECT_EQ(r.code, 0) << r.err;
    Image image;
    EXPECT_EQ(ReadPng(path, image), "");
    std::remove(path.c_str());
    return image;
}

std::string PickArg(int v) { return std::to_string(v); }

TEST(CliView, RenderWritesTheFrameAtTheAskedSizeWithSettingsHeldFromTheStart) {
    const std::string path = TempPng("size");
    const Image image = Rendered({"--render", path, "--size", "128", "--ref"}, path);
    ASSERT_EQ(image.width, 128);
    ASSERT_EQ(image.height, 128);
    EXPECT_EQ(image.At(125, 2), 0x000000u);
    // The reference device draws flat table colours.
    const Pixel front = Project({0, 0, -1.5f}, 128);
    EXPECT_EQ(image.At(front.x, front.y), 0xFF0000u);

    const Image hardware = Rendered({"--render", path}, path);
    ASSERT_EQ(hardware.width, 512);
    const Pixel lit = Project({0, 0, -1.5f}, 512);
    EXPECT_NE(hardware.At(lit.x, lit.y), 0xFF0000u);
    EXPECT_GT((hardware.At(lit.x, lit.y) >> 16) & 0xFF, 100u);
}

TEST(CliView, TheFrameShowsTheLogoAsTheTurnsLeftIt) {
    // A top turn leaves the top centre in its place: only its logo turns.
    const std::string path = TempPng("logo");
    const Image start = Rendered({"--size", "256", "--render", path}, path);
    const Image turned = Rendered({"--size", "256", "--move", "В", "--render", path}, path);
    const Image back = Rendered({"--size", "256", "--run", "В4", "--render", path}, path);
    const Pixel centre = Project({0, 1.5f, 0}, 256);
    int changed = 0, restored = 0;
    for (int dy = -5; dy <= 5; ++dy) {
        for (int dx = -5; dx <= 5; ++dx) {
            const std::uint32_t p = start.At(centre.x + dx, centre.y + dy);
            if (turned.At(centre.x + dx, centre.y + dy) != p) ++changed;
            if (back.At(centre.x + dx, centre.y + dy) == p) ++restored;
        }
    }
    EXPECT_GT(changed, 10);
    EXPECT_EQ(restored, 121);
}

TEST(CliView, PickLinesFollowTheLogAndPrecedeTheState) {
    const Pixel top = Project({0, 1.5f, 0}, 512);
    const Result r = RunTool({"--move", "П", "--pick", PickArg(top.x), PickArg(top.y), "--pick",
                              "2", "2", "--state"});
    EXPECT_EQ(r.code, 0) << r.err;
    const std::string expected = "Операции пользователя: П \npick: 11 0 2\npick: 0 0 0\nstate: ";
    EXPECT_EQ(r.out.substr(0, expected.size()), expected) << r.out;
}

TEST(CliView, TheDeviceAndTheViewChangeWhatIsUnderAPixel) {
    const Pixel disc = Project(velmo::testing::MirrorCentre(), 512);
    const std::vector<std::string> pickDisc = {"--pick", PickArg(disc.x), PickArg(disc.y)};
    EXPECT_EQ(RunTool(pickDisc).out, "pick: 16 31 31\n");
    std::vector<std::string> ref = pickDisc;
    ref.push_back("--ref");
    EXPECT_EQ(RunTool(ref).out, "pick: 0 0 0\n");

    // Straight in front of the cube the middle of the desk is the front centre's sticker; the
    // angles take effect from where --view stands.
    const Result r = RunTool({"--size", "100", "--pick", "50", "50", "--view", "0", "0", "0", "0",
                              "--pick", "50", "50"});
    EXPECT_EQ(r.code, 0) << r.err;
    const std::string second = "pick: 5 0 1\n";
    ASSERT_GT(r.out.size(), second.size());
    EXPECT_EQ(r.out.substr(r.out.size() - second.size()), second);
    EXPECT_NE(r.out.substr(0, second.size()), second);
}

TEST(CliView, BadArgumentsAreRefusedBeforeAnythingRuns) {
    const std::string path = TempPng("refused");
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--size", "15"},
             {"--size", "4097"},
             {"--size", "x"},
             {"--size", ""},
             {"--size"},
             {"--view", "0", "nan", "0", "0"},
             {"--view", "0", "0", "inf", "0"},
             {"--view", "0", "0", "0", "1e40"},
             {"--view", "0", "0", "0", "0x1"},
             {"--view", "0", "0", "+-1", "0"},
             {"--view", "0", "1.5698", "0", "0"},
             {"--view", "0", "0", "0"},
             {"--pick", "-1", "0"},
             {"--pick", "0", "4096"},
             {"--pick", "16", "0", "--size", "16"},
             {"--pick", "1", "2y"},
             {"--size", "64px"},
             {"--render", ""},
         }) {
        std::vector<std::string> args = {"--move", "П", "--render", path};
        args.insert(args.end(), bad.begin(), bad.end());
        const Result r = RunTool(args);
        EXPECT_EQ(r.code, 2) << bad[0];
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find(bad[0]), std::string::npos) << r.err;
        EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr);
    }
    EXPECT_EQ(RunTool({"--view", "-1.5", "1.5697", "-3e-1", "+0.5"}).code, 0);
    EXPECT_EQ(RunTool({"--size", "16", "--pick", "15", "15"}).code, 0);
    EXPECT_EQ(RunTool({"--pick", "4095", "0", "--size", "4096"}).code, 0);
}

TEST(CliView, AnUnwritableFileFailsAfterPrintingTheLog) {
    const Result r = RunTool({"--move", "П", "--render", "/nonexistent-dir/x.png", "--move", "В"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "Операции пользователя: П \n");
    EXPECT_EQ(r.err.rfind("velmo-cli: --render: cannot write '/nonexistent-dir/x.png'", 0), 0u)
        << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    // The file name as given, made one readable line.
    EXPECT_EQ(RunTool({"--render", "/nonexistent-dir/\n.png"}).err.rfind(
                  "velmo-cli: --render: cannot write '/nonexistent-dir/\\x0A.png'", 0),
              0u);
}

}  // namespace
}  // namespace velmo::cli
