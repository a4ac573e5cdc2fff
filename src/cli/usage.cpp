// What velmo-cli says about itself: the usage line that every refusal ends with, the text of
// --help and the line of --version.

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "cli/cli.h"
#include "platform/version.h"

namespace velmo::cli {

namespace {

// One line for each option in --help. An option missing here is still listed, by its name.
constexpr std::pair<std::string_view, std::string_view> kOptionHelp[] = {
    {"--move", "one basic turn by name, in either letter case (П, в', Сп, ОВ' ...)"},
    {"--run", "a move string with brackets and one-digit counts: \"(Ф' В)2 П\""},
    {"--scramble", "scramble with the random generator seeded by SEED (0..4294967295)"},
    {"--reset", "back to the start position"},
    {"--facelets", "set up the position F: 54 letters in the order of --state"},
    {"--solve", "solve the cube and write the solver's protocol"},
    {"--shortest", "solve the cube in at most 20 face turns; a \"shortest:\" line follows the log"},
    {"--no-log", "do not log the turns (holds from the start)"},
    {"--state", "end the output with the 54 facelet letters of the position"},
    {"--render", "write the frame of the position to FILE.png"},
    {"--pick", "print what lies under the pixel X, Y of the desk"},
    {"--size", "desk size for --render and --pick, 16..4096 (default 512)"},
    {"--ref", "draw as the reference device: no mirror, light or textures"},
    {"--view", "camera and mirror angles in radians for the options after it"},
};

constexpr std::string_view kAbout =
    "Turns, scrambles and solves the Velmo Cube without a window. The options run in the order\n"
    "given; then the message log is printed, one line per line, as the program's log window\n"
    "shows it. Every argument is checked before anything runs.\n";

constexpr std::string_view kExitCodes =
    "Exit codes: 0 done, 2 bad input, 3 the cube cannot be solved, 4 the output could not be\n"
    "written. The manual page velmo-cli(6) tells more.\n";

std::string_view HelpFor(std::string_view name) {
    for (const auto& [option, help] : kOptionHelp)
        if (option == name) return help;
    return {};
}

std::string OptionWithArguments(const Option& option) {
    std::string text(option.name);
    if (!option.argHelp.empty()) {
        text += ' ';
        text += option.argHelp;
    }
    return text;
}

// "  --view H V MH MV   camera and ..." with the explanations in one column.
std::string OptionLines(const std::vector<Option>& options) {
    constexpr std::size_t kColumn = 21;
    std::string lines;
    const auto add = [&](std::string left, std::string_view help) {
        left.insert(0, "  ");
        if (!help.empty()) left.resize(std::max(left.size() + 1, kColumn), ' ');
        lines += left;
        lines += help;
        lines += '\n';
    };
    for (const Option& option : options) add(OptionWithArguments(option), HelpFor(option.name));
    add("--help", "print this text");
    add("--version", "print the version");
    return lines;
}

}  // namespace

std::string Usage(const std::vector<Option>& options) {
    std::string usage = "usage: velmo-cli";
    for (const Option& option : options) usage += " [" + OptionWithArguments(option) + ']';
    return usage;
}

std::string HelpText(const std::vector<Option>& options) {
    return Usage(options) + "\n       velmo-cli --help | --version\n\n" + std::string(kAbout) +
           '\n' + OptionLines(options) + '\n' + std::string(kExitCodes);
}

std::string VersionLine() { return "velmo-cli " + std::string(ReleaseVersion()) + '\n'; }

}  // namespace velmo::cli
