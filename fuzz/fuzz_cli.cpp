// velmo-cli's whole argument handling, in-process: the input is a command line with its
// arguments separated by NUL bytes. Whatever it holds, the tool must end with a known exit
// code; a refusal must be one readable line on stderr with nothing on stdout; a success must
// print clean UTF-8 lines (one per pick, the state last when asked for), or the text of --help
// or --version alone; and the arguments an independent reading of the command line finds bad
// must be refused.

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "platform/text.h"
#include "twophase/tables.h"

namespace {

using velmo::cli::Option;

// Inputs that would make one execution slow are skipped or lowered: the limits themselves are
// checked by the unit tests.
constexpr std::uint64_t kMaxTurnsRun = 20000;
constexpr int kMaxViews = 4;
constexpr int kMaxSize = 128;
// A --shortest may search for seconds on a hard position.
constexpr int kMaxShortest = 1;

const std::vector<Option>& Options() {
    static const std::vector<Option> options = velmo::cli::AllOptions();
    return options;
}

const std::string& FramePath() {
    static const std::string path = "/tmp/fuzz_cli_" + std::to_string(getpid()) + ".png";
    return path;
}

std::vector<std::string> SplitArguments(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) args.emplace_back();
        else args.back() += static_cast<char>(data[i]);
    }
    return args;
}

int OptionArgCount(const std::string& name) {
    for (const Option& option : Options())
        if (option.name == name) return option.argCount;
    return -1;
}

bool IsWholeNumber(const std::string& text) {
    return !text.empty() && text.size() < 6 && text.find_first_not_of("0123456789") == std::string::npos;
}

struct Reading {
    bool mustRefuse = false;
    bool skip = false;
    std::string answer;  // "--help" or "--version", the first that stands where an option may
    int picks = 0;
    bool state = false, solve = false;
    int shortest = 0;
};

// Walks the command line as the tool documents it, rewriting what would be slow or would write
// where it should not: a frame goes to one file of ours, and large desks are made small.
Reading ReadCommandLine(std::vector<std::string>& args) {
    Reading reading;
    std::uint64_t turns = 0;
    int views = 0;
    for (std::size_t i = 0; i < args.size() && !reading.mustRefuse;) {
        const std::string name = args[i];
        if (name == "--help" || name == "--version") {
            if (reading.answer.empty()) reading.answer = name;
            ++i;
            continue;
        }
        const int count = OptionArgCount(name);
        if (count < 0 || args.size() - i - 1 < static_cast<std::size_t>(count)) {
            reading.mustRefuse = true;
            break;
        }
        std::string* value = count > 0 ? &args[i + 1] : nullptr;
        if (name == "--run") {
            const std::optional<std::uint64_t> n = velmo::TVelmo::CountMoveStringTurns(*value);
            if (!n || *n > velmo::cli::kMaxRunTurns) reading.mustRefuse = true;
            else turns += *n;
        } else if (name == "--move") {
            reading.mustRefuse = !velmo::TVelmo::IsKnownMove(*value);
        } else if (name == "--render" && !value->empty()) {
            *value = FramePath();
            ++views;
        } else if (name == "--pick") {
            ++reading.picks;
            ++views;
        } else if (name == "--size" && IsWholeNumber(*value) && std::stoi(*value) > kMaxSize) {
            *value = std::to_string(kMaxSize);
        }
        reading.state |= name == "--state";
        reading.solve |= name == "--solve" || name == "--shortest";
        reading.shortest += name == "--shortest";
        i += 1 + count;
    }
    reading.skip = !reading.mustRefuse &&
                   (turns > kMaxTurnsRun || views > kMaxViews || reading.shortest > kMaxShortest);
    return reading;
}

bool IsCleanText(const std::string& text) {
    if (!velmo::IsValidUtf8(text)) return false;
    for (const char32_t c : velmo::DecodeUtf8(text))
        if ((c < 0x20 && c != U'\n') || c == 0x7F || (c >= 0x80 && c < 0xA0)) return false;
    return true;
}

std::size_t Lines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz_cli: %s\n", what);
    std::abort();
}

void CheckSuccess(const Reading& reading, const std::string& out) {
    std::size_t picks = 0;
    std::string last;
    for (std::size_t begin = 0; begin < out.size();) {
        const std::size_t end = out.find('\n', begin);
        Require(end != std::string::npos, "output does not end with a line break");
        last = out.substr(begin, end - begin);
        picks += last.rfind("pick: ", 0) == 0;
        begin = end + 1;
    }
    Require(picks == static_cast<std::size_t>(reading.picks), "one pick line per --pick");
    if (reading.state)
        Require(last.rfind("state: ", 0) == 0 && last.size() == 7 + 54, "state line comes last");
}

}  // namespace

// The shortest solver's tables are made before the first input, in a scratch cache folder.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("XDG_CACHE_HOME", "/tmp/velmo-fuzz-cli-cache", 1);
    Require(velmo::twophase::SharedTables(nullptr) != nullptr, "no tables for --shortest");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::vector<std::string> args = SplitArguments(data, size);
    const Reading reading = ReadCommandLine(args);
    if (reading.skip) return 0;

    std::ostringstream out, err;
    const int code = velmo::cli::RunCli(args, Options(), out, err);
    std::remove(FramePath().c_str());

    Require(IsCleanText(out.str()) && IsCleanText(err.str()), "control characters or bad UTF-8");
    Require(!reading.mustRefuse || (code == velmo::cli::kExitBadInput && out.str().empty()),
            "a bad argument was not refused before anything ran");
    switch (code) {
    case velmo::cli::kExitOk:
        Require(err.str().empty(), "a success with a message");
        if (reading.answer.empty()) CheckSuccess(reading, out.str());
        else
            Require(out.str() == (reading.answer == "--help" ? velmo::cli::HelpText(Options())
                                                             : velmo::cli::VersionLine()),
                    "--help or --version printed something else");
        break;
    case velmo::cli::kExitBadInput:
        Require(Lines(err.str()) == 1 && err.str().rfind("velmo-cli: ", 0) == 0 &&
                    err.str().size() < 1000,
                "a refusal must be one short line");
        break;
    case velmo::cli::kExitUnsolvable:
        Require(reading.solve && err.str() == "Кубик Вельмо собрать невозможно!\n",
                "only the solvers report an unsolvable cube");
        break;
    default:
        Require(false, "unknown exit code");
    }
    return 0;
}
