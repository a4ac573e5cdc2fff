// The real program's command line, run without any display: --help and --version must answer
// before Qt looks for one, Qt's own options must stay Qt's, and the rest must be refused.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

struct Result {
    int code;
    std::string out;
};

Result RunVelmo(const std::string& arguments) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                std::string(VELMO_PATH) + " " + arguments;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {-1, "popen failed"};
    std::string out;
    std::array<char, 256> buffer;
    for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        out.append(buffer.data(), n);
    return {WEXITSTATUS(pclose(pipe)), out};
}

TEST(ProgramCommandLine, AnswersWithoutADisplayAndLeavesQtItsOwnOptions) {
    const Result help = RunVelmo("-style fusion --help 2>&1");
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind("Использование: velmo [--help] [--version]", 0), 0u) << help.out;

    const Result version = RunVelmo("--version 2>/dev/null");
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "velmo " VELMO_VERSION "\n");

    // Qt takes "-platform offscreen" (no display needed then); the unknown option is refused
    // before any window opens, on stderr in one line.
    const Result unknown = RunVelmo("-platform offscreen --bogus\\\\n 2>&1 >/dev/null");
    EXPECT_EQ(unknown.code, 2);
    const std::string refusal = "velmo: неизвестный параметр '--bogus\\\\n'; справка: velmo --help\n";
    EXPECT_NE(unknown.out.find(refusal), std::string::npos) << unknown.out;
}

}  // namespace
