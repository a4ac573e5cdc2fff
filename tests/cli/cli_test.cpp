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
    const Result r = RunTool({"--move", "П", "--move", "в'", "--state"});
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

TEST(Cli, BadArgumentsAreRefusedBeforeAnythingRuns) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--bogus"},
                                               {"--move"},
                                               {"--state", "--run"},
                                               {"--move", "П", "--scramble", "x"},
                                               {"--scramble", "-1"},
                                               {"--scramble", "4294967296"},
                                               {"--scramble", ""},
                                               {"--scramble", "5x"},
                                               {"--move", "Х"},
                                               {"--move", "--state"},
                                               {"--move", "П", "--run", "Ф)"},
                                               {"state"}}) {
        const Result r = RunTool(args);
        EXPECT_EQ(r.code, 2) << args[0];
        EXPECT_TRUE(r.out.empty()) << args[0];
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find("usage: velmo-cli"), std::string::npos) << r.err;
    }
    EXPECT_NE(RunTool({"--scramble", "x"}).err.find("'x'"), std::string::npos);
    EXPECT_EQ(RunTool({"--move", "П", "--run", "Ф)"}).err.rfind(
                  "velmo-cli: --run: 'Ф)': Данная строка не является корректоной "
                  "последовательностью вращений!; usage: ", 0),
              0u);
}

TEST(Cli, HelpAndVersionAnswerAfterTheChecksAndAnEmptyLineIsRefused) {
    const Result none = RunTool({});
    EXPECT_EQ(none.code, 2);
    EXPECT_TRUE(none.out.empty());
    EXPECT_EQ(none.err.rfind("velmo-cli: no options given; usage: velmo-cli [", 0), 0u) << none.err;

    // Nothing runs: no log, no state line, whatever else the line asks for.
    const Result help = RunTool({"--scramble", "7", "--help", "--state", "--version"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.err.empty());
    EXPECT_EQ(help.out.rfind(Usage(CubeOptions()) + "\n", 0), 0u) << help.out;
    for (const Option& option : CubeOptions())
        EXPECT_NE(help.out.find("\n  " + std::string(option.name) + ' '), std::string::npos)
            << option.name;
    EXPECT_EQ(help.out.find("state: "), std::string::npos);

    EXPECT_EQ(RunTool({"--version", "--no-log"}).out, "velmo-cli " VELMO_VERSION "\n");
    // The arguments are checked all the same.
    const Result bad = RunTool({"--version", "--scramble", "x"});
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(bad.out.empty());
}

TEST(Cli, StringsAskingForEndlessRunsAreRefusedWithTheirCount) {
    const Result nines = RunTool({"--move", "П", "--run", "((((((((((Ф)9)9)9)9)9)9)9)9)9)9"});
    EXPECT_EQ(nines.code, 2);
    EXPECT_TRUE(nines.out.empty());
    EXPECT_NE(nines.err.find("asks for 3486784401 turns; at most 1000000 run here"),
              std::string::npos) << nines.err;

    std::string doubling = std::string(10000, '(') + "Ф";
    for (int i = 0; i < 10000; ++i) doubling += ")2";
    const Result astronomical = RunTool({"--run", doubling});
    EXPECT_EQ(astronomical.code, 2);
    EXPECT_NE(astronomical.err.find("an astronomically large number of turns"), std::string::npos);
    EXPECT_LT(astronomical.err.size(), 600u);  // the 30,000-character string is cut short
}

TEST(Cli, MessagesQuoteWhatTheUserGaveOnOneReadableLine) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--scramble", "1\n2"}, "not '1\\x0A2'"},
        {{"--bogus\x1B[31m"}, "'--bogus\\x1B[31m'"},
        {{"--move", "\xFF\xD0 \\"}, "'\\xFF\\xD0 \\\\'"},
        {{"--move", "\xC2\x9B"}, "'\\xC2\\x9B'"},
        {{"--scramble", std::string(120000, '7')}, "'" + std::string(60, '7') + "…'"},
    };
    for (const auto& [args, quoted] : cases) {
        const Result r = RunTool(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find(quoted), std::string::npos) << r.err;
        EXPECT_LT(r.err.size(), 1000u);
    }
    // Control characters at the ends of a correct string are written as escapes in its log line.
    EXPECT_EQ(RunTool({"--run", "\tФ\x1B"}).out, "Выполнение последовательности: \\x09Ф\\x1B\n");
}

// Runs velmo-cli through the shell; returns its exit code and what the pipe carried.
Result RunProgram(const std::string& arguments) {
    FILE* pipe = popen((std::string(VELMO_CLI_PATH) + " " + arguments).c_str(), "r");
    if (!pipe) return {-1, "", "popen failed"};
    std::string out;
    std::array<char, 256> buffer;
    for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        out.append(buffer.data(), n);
    return {WEXITSTATUS(pclose(pipe)), out, ""};
}

TEST(Cli, TheProgramItselfPrintsTheLogAndExitCode) {
    const Result r = RunProgram("--run 'сп 2' --state 2>/dev/null");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out,
              "Выполнение последовательности: сп 2\n"
              "state: UDUUDUUDURRRRRRRRRFBFFBFFBFDUDDUDDUDLLLLLLLLLBFBBFBBFB\n");
    EXPECT_EQ(RunProgram("--nope 2>/dev/null").code, 2);
    EXPECT_EQ(RunProgram("2>/dev/null").code, 2);
    EXPECT_EQ(RunProgram("--version 2>&1").out, "velmo-cli " VELMO_VERSION "\n");
    // Output that cannot be written is a failure, said on stderr (here the pipe).
    const Result full = RunProgram("--scramble 1 --solve --state 2>&1 >/dev/full");
    EXPECT_EQ(full.code, 4);
    EXPECT_EQ(full.out, "velmo-cli: the output could not be written: No space left on device\n");
}

}  // namespace
}  // namespace velmo::cli
