#include "app/command_line.h"

#include "cli/cli.h"
#include "model/facelets.h"
#include "platform/version.h"

namespace velmo {

namespace {

constexpr std::string_view kFaceletsOption = "--facelets";

bool IsFaceletsOption(const std::string& arg) {
    return arg == kFaceletsOption ||
           (arg.starts_with(kFaceletsOption) && arg.size() > kFaceletsOption.size() &&
            arg[kFaceletsOption.size()] == '=');
}

}  // namespace

std::string ReadProgramOptions(const std::vector<std::string>& args, ProgramOptions& options,
                               bool qtMayFollow) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (IsFaceletsOption(arg)) {
            const bool separate = arg == kFaceletsOption;
            if (separate && i + 1 == args.size()) {
                if (qtMayFollow) break;
                return "--facelets: нужна позиция — 54 буквы U, R, F, D, L, B";
            }
            const std::string value = separate ? args[++i] : arg.substr(kFaceletsOption.size() + 1);
            if (qtMayFollow) continue;
            if (std::string problem = FaceletsProblem(value, FaceletsLanguage::Russian);
                !problem.empty())
                return "--facelets: " + problem;
            options.facelets = value;
        } else if (!qtMayFollow) {
            // The same quoting as velmo-cli's: what the user typed stays one readable line.
            return "неизвестный параметр " + cli::Quoted(arg);
        }
    }
    return {};
}

std::string ProgramHelp() {
    return "Использование: velmo [--help] [--version] [--facelets F] [параметры Qt]\n"
           "\n"
           "Кубик Вельмо — трёхмерная модель головоломки 3×3×3: вращения мышью и строками\n"
           "ходов, запутывание, сборка по слоям с подробным протоколом и пересборка вручную.\n"
           "\n"
           "  --help     показать эту справку и выйти\n"
           "  --version  показать версию программы и выйти\n"
           "  --facelets F\n"
           "             начать с позиции F: 54 буквы U, R, F, D, L, B в том порядке,\n"
           "             в каком их выводит velmo-cli --state\n"
           "\n"
           "Параметры самой Qt (например, -platform xcb, -style fusion) передаются ей.\n"
           "Справка по работе с программой открывается клавишей F1; см. также man 6 velmo.\n";
}

std::string ProgramVersionLine() { return "velmo " + std::string(ReleaseVersion()) + '\n'; }

}  // namespace velmo
