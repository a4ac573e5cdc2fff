#pragma once
// velmo-cli: the cube model, solver and view without a window. Options run in the order given
// on a headless host; the output is the message log as the log window shows it.
//
// Each option group lives in its own file and hands its options to RunCli, which checks every
// argument before anything runs.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "headless/headless_host.h"
#include "model/velmo.h"
#include "view/view_angles.h"

namespace velmo::cli {

enum ExitCode { kExitOk = 0, kExitBadInput = 2, kExitUnsolvable = 3, kExitOutputLost = 4 };

// A move string may ask for more turns than anyone would wait for ("((Ф)9)9..." multiplies);
// strings asking for more than this are refused before anything runs.
inline constexpr std::uint64_t kMaxRunTurns = 1'000'000;

// Everything the options work on.
struct Context {
    Context(std::ostream& out, std::ostream& err);

    HeadlessHost host;
    TVelmo cube;
    std::ostream& out;
    std::ostream& err;
    bool printState = false;
    // Extra values that option groups keep for one another (render size and the like).
    int size = 512;
    bool referenceDevice = false;
    ViewAngles view;
    // Lines that options produce as they run (pick results and the like). They are printed
    // after the log, which is only printed at the end, so that the two never interleave.
    std::vector<std::string> reports;
};

using Args = std::span<const std::string>;

struct Option {
    std::string_view name;     // "--move"
    std::string_view argHelp;  // "NAME", "" when it takes no argument
    int argCount = 0;
    // A setting holds from the start wherever it stands; it is applied before any action.
    bool setting = false;
    // Checks the arguments; returns what is wrong with them, or "" when they are fine.
    std::function<std::string(Args)> check;
    // Runs the option; returns kExitOk to go on, or the exit code to stop with.
    std::function<int(Context&, Args)> run;
    // Checks that depend on settings (a pick must lie on the desk of the given size), made
    // once every setting holds and before any action runs.
    std::function<std::string(const Context&, Args)> checkWithSettings = {};
};

std::vector<Option> CubeOptions();
std::vector<Option> SolverOptions();
// --shortest: the two-phase solver (twophase/shortest.h).
std::vector<Option> ShortestOptions();
// --render, --size, --ref, --pick, --view: the 3-D view on the software device.
std::vector<Option> ViewOptions();
// All of them, in the order the usage line lists them.
std::vector<Option> AllOptions();

// Parses and runs the command line (without the program name). Returns the exit code.
// With "--help" or "--version" where an option may stand, the arguments are checked as ever
// and then that text is printed instead of running them; no arguments at all are refused like
// a bad one.
int RunCli(const std::vector<std::string>& args, const std::vector<Option>& options,
           std::ostream& out, std::ostream& err);

// "usage: velmo-cli [--move NAME] ...", the end of every refusal.
std::string Usage(const std::vector<Option>& options);
// What --help prints: the usage, what the tool does, a line for each option, the exit codes.
std::string HelpText(const std::vector<Option>& options);
// What --version prints: "velmo-cli 1.0.2.56" and a line break.
std::string VersionLine();

// Prints the log, then the options' reports, then the state line when asked for, to ctx.out.
void PrintResult(Context& ctx);

// Argument checks shared by the option groups.
std::string CheckUnsigned(std::string_view what, const std::string& value, unsigned long long max);

// Text from the command line for a one-line message: control characters and bytes that are
// not UTF-8 become \xNN escapes and a backslash is doubled.
std::string Escaped(std::string_view text);
// The same in single quotes, cut to 60 characters with an ellipsis.
std::string Quoted(std::string_view text);

}  // namespace velmo::cli
