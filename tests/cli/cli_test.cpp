#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sstream>

#include "cli/cli.h"

namespace velmo::cli {
namespace {

struct Result {
    int code;
    std::string out, err;
};

Result RunTool(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = RunCli(args, CubeOptions(), out, err);
    return {code, out.str(), err.str()};
}

constexpr const char* kStart = "UUUUUUUUURRRRRRRRRFFFFFFFFFDDDDDDDDDLLLLLLLLLBBBBBBBBB";

// The position after a move string, as a reference for the same turns made another way.
std::string StateAfter(const std::string& moves) {
    const Result r = RunTool({"--no-log", "--run", moves, "--state"});
    return r.out.substr(r.out.find("state: "));
}

TEST(Cli, UserMovesShareOneLineAndTheStateFollows) {
    const Result r = RunTool({"--move", "П", "--move", "в'", "--move", "Х", "--state"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Операции пользователя: П В' \n" + StateAfter("П В'"));
    EXPECT_NE(StateAfter("П В'"), StateAfter("В' П"));
    EXPECT_TRUE(r.err.empty());
}

TEST(Cli, MoveStringsWriteOneLineEachAndCloseTheUserLine) {
    const Result r = RunTool({"--move", "Ф", "--run", "(Ф' В)2", "--move", "В", "--state"});
    EXPECT_EQ(r.out,
              "Операции пользователя: Ф \n"
              "Выполнение последовательности: (Ф' В)2\n"
              "Операции пользователя: В \n" +
                  StateAfter("Ф Ф' В Ф' В В"));
}

TEST(Cli, WithoutLoggingTheSettingHoldsFromTheStart) {
    // --no-log stands last but holds for the move before it: no user line is opened.
    const Result r = RunTool({"--move", "П", "--scramble", "5", "--no-log"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Запутывание Кубика Вельмо\n");
}

TEST(Cli, ScrambleIsReproducibleBySeedAndResetReturnsToStart) {
    const Result a = RunTool({"--scramble", "42", "--state"});
    const Result b = RunTool({"--scramble", "42", "--state"});
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(a.out.rfind("Запутывание Кубика Вельмо: ", 0), 0u);
    EXPECT_EQ(a.out.find(kStart), std::string::npos);
    const Result c = RunTool({"--scramble", "42", "--reset", "--state"});
    EXPECT_EQ(c.out.substr(c.out.find('\n') + 1),
              std::string("Переход в исходную позицию\nstate: ") + kStart + "\n");
}

TEST(Cli, IncorrectMoveStringStopsWithTheLogSoFar) {
    const Result r = RunTool({"--move", "П", "--run", "Ф)", "--move", "В", "--state"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "Данная строка не является корректоной последовательностью вращений!\n");
    EXPECT_EQ(r.out,
              "Операции пользователя: П \n"
              "state: UUFUUFUUFRRRRRRRRRFFDFFDFFDDDBDDBDDBLLLLLLLLLUBBUBBUBB\n");
}

TEST(Cli, BadArgumentsAreRefusedBeforeAnythingRuns) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--bogus"},
                                               {"--move"},
                                               {"--state", "--run"},
                                               {"--move", "П", "--scramble", "x"},
                                               {"--scramble", "-1"},
                                               {"--scramble", "4294967296"},
                                               {"--scramble", ""},
                                               {"state"}}) {
        const Result r = RunTool(args);
        EXPECT_EQ(r.code, 2) << args[0];
        EXPECT_TRUE(r.out.empty()) << args[0];
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find("usage: velmo-cli"), std::string::npos) << r.err;
    }
    EXPECT_NE(RunTool({"--scramble", "x"}).err.find("'x'"), std::string::npos);
}

TEST(Cli, TheProgramItselfPrintsTheLogAndExitCode) {
    const std::string command = std::string(VELMO_CLI_PATH) + " --run 'сп 2' --state 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    std::array<char, 256> buffer;
    for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) out.append(buffer.data(), n);
    const int status = pclose(pipe);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(out,
              "Выполнение последовательности: сп 2\n"
              "state: UDUUDUUDURRRRRRRRRFBFFBFFBFDUDDUDDUDLLLLLLLLLBFBBFBBFB\n");
    const int bad = std::system((std::string(VELMO_CLI_PATH) + " --nope 2>/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(bad), 2);
}

}  // namespace
}  // namespace velmo::cli
