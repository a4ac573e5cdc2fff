#include "cli/cli.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <ostream>
#include <utility>

#include "model/facelets.h"

namespace velmo::cli {

Context::Context(std::ostream& o, std::ostream& e) : cube(host), out(o), err(e) {
    cube.LogTurns = host.DoLog();
}

namespace {

struct Step {
    const Option* option;
    std::vector<std::string> args;
};

const Option* FindOption(const std::vector<Option>& options, std::string_view name) {
    for (const Option& option : options)
        if (option.name == name) return &option;
    return nullptr;
}

// What a command line asks for besides running options.
enum class Request { kRun, kHelp, kVersion };

// Splits the command line into steps; returns what is wrong, or "" when all is well. The
// first "--help" or "--version" sets the request.
std::string Parse(const std::vector<std::string>& args, const std::vector<Option>& options,
                  std::vector<Step>& steps, Request& request) {
    for (std::size_t i = 0; i < args.size();) {
        if (args[i] == "--help" || args[i] == "--version") {
            if (request == Request::kRun)
                request = args[i] == "--help" ? Request::kHelp : Request::kVersion;
            ++i;
            continue;
        }
        const Option* option = FindOption(options, args[i]);
        if (!option) return "unknown option " + Quoted(args[i]);
        if (args.size() - i - 1 < static_cast<std::size_t>(option->argCount))
            return std::string(option->name) + " needs " + std::string(option->argHelp);
        Step step{option, {args.begin() + i + 1, args.begin() + i + 1 + option->argCount}};
        if (option->check) {
            const std::string problem = option->check(step.args);
            if (!problem.empty()) return std::string(option->name) + ": " + problem;
        }
        steps.push_back(std::move(step));
        i += 1 + option->argCount;
    }
    return {};
}

}  // namespace

std::string CheckUnsigned(std::string_view what, const std::string& value, unsigned long long max) {
    unsigned long long number = 0;
    const char* end = value.data() + value.size();
    const auto [ptr, ec] = std::from_chars(value.data(), end, number);
    if (value.empty() || ec != std::errc() || ptr != end || number > max)
        return std::string(what) + " must be a whole number from 0 to " + std::to_string(max) +
               ", not " + Quoted(value);
    return {};
}

// A move string's log line repeats what the user typed, control characters at its ends too;
// escaped, it stays one line that a terminal shows as text.
void PrintResult(Context& ctx) {
    for (const std::string& line : ctx.host.Log().Lines()) ctx.out << Escaped(line) << '\n';
    for (const std::string& line : ctx.reports) ctx.out << line << '\n';
    if (ctx.printState) ctx.out << "state: " << ToFacelets(ctx.cube) << '\n';
    ctx.out.flush();
}

namespace {

std::string CheckWithSettings(const Context& ctx, const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        if (!step.option->checkWithSettings) continue;
        const std::string problem = step.option->checkWithSettings(ctx, step.args);
        if (!problem.empty()) return std::string(step.option->name) + ": " + problem;
    }
    return {};
}

// The output has been written (errno cleared before): code stands, unless the output was lost.
int CheckWritten(std::ostream& out, std::ostream& err, int code) {
    out.flush();
    if (out) return code;
    // Whoever reads the output must not take a cut or empty one for the whole result.
    err << "velmo-cli: the output could not be written"
        << (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()) << '\n';
    return kExitOutputLost;
}

int RunActions(Context& ctx, const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        if (step.option->setting) continue;
        if (const int code = step.option->run(ctx, step.args); code != kExitOk) return code;
    }
    return kExitOk;
}

}  // namespace

std::vector<Option> AllOptions() {
    std::vector<Option> options = CubeOptions();
    for (Option& option : SolverOptions()) options.push_back(std::move(option));
    for (Option& option : ShortestOptions()) options.push_back(std::move(option));
    for (Option& option : ViewOptions()) options.push_back(std::move(option));
    return options;
}

int RunCli(const std::vector<std::string>& args, const std::vector<Option>& options,
           std::ostream& out, std::ostream& err) {
    std::vector<Step> steps;
    Request request = Request::kRun;
    std::string problem = args.empty() ? "no options given" : Parse(args, options, steps, request);
    Context ctx(out, err);
    if (problem.empty()) {
        for (const Step& step : steps)
            if (step.option->setting) step.option->run(ctx, step.args);
        problem = CheckWithSettings(ctx, steps);
    }
    if (!problem.empty()) {
        err << "velmo-cli: " << problem << "; " << Usage(options) << '\n';
        return kExitBadInput;
    }
    if (request != Request::kRun) {
        errno = 0;
        out << (request == Request::kHelp ? HelpText(options) : VersionLine());
        return CheckWritten(out, err, kExitOk);
    }
    const int code = RunActions(ctx, steps);
    errno = 0;
    PrintResult(ctx);
    return CheckWritten(out, err, code);
}

}  // namespace velmo::cli
