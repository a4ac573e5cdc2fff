#include "cli/cli.h"

#include <charconv>
#include <ostream>

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

std::string Usage(const std::vector<Option>& options) {
    std::string usage = "usage: velmo-cli";
    for (const Option& option : options) {
        usage += " [";
        usage += option.name;
        if (!option.argHelp.empty()) {
            usage += ' ';
            usage += option.argHelp;
        }
        usage += ']';
    }
    return usage;
}

const Option* FindOption(const std::vector<Option>& options, std::string_view name) {
    for (const Option& option : options)
        if (option.name == name) return &option;
    return nullptr;
}

// Splits the command line into steps; returns what is wrong, or "" when all is well.
std::string Parse(const std::vector<std::string>& args, const std::vector<Option>& options,
                  std::vector<Step>& steps) {
    for (std::size_t i = 0; i < args.size();) {
        const Option* option = FindOption(options, args[i]);
        if (!option) return "unknown option '" + args[i] + "'";
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
               ", not '" + value + "'";
    return {};
}

void PrintResult(Context& ctx) {
    for (const std::string& line : ctx.host.Log().Lines()) ctx.out << line << '\n';
    for (const std::string& line : ctx.reports) ctx.out << line << '\n';
    if (ctx.printState) ctx.out << "state: " << ToFacelets(ctx.cube) << '\n';
    ctx.out.flush();
}

int RunCli(const std::vector<std::string>& args, const std::vector<Option>& options,
           std::ostream& out, std::ostream& err) {
    std::vector<Step> steps;
    const std::string problem = Parse(args, options, steps);
    if (!problem.empty()) {
        err << "velmo-cli: " << problem << "; " << Usage(options) << '\n';
        return kExitBadInput;
    }
    Context ctx(out, err);
    for (const Step& step : steps)
        if (step.option->setting) step.option->run(ctx, step.args);
    for (const Step& step : steps) {
        if (step.option->setting) continue;
        const int code = step.option->run(ctx, step.args);
        if (code != kExitOk) {
            PrintResult(ctx);
            return code;
        }
    }
    PrintResult(ctx);
    return kExitOk;
}

}  // namespace velmo::cli
