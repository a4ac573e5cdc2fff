#include "app/command_line.h"

#include "cli/cli.h"
#include "platform/version.h"

namespace velmo {

std::string ReadProgramOptions(const std::vector<std::string>& args, ProgramOptions& options,
                               bool qtMayFollow) {
    for (const std::string& arg : args) {
        if (arg == "--help") options.help = true;
        else if (arg == "--version") options.version = true;
        // The same quoting as velmo-cli's: what the user typed stays one readable line.
        else if (!qtMayFollow) return "неизвестный параметр " + cli::Quoted(arg);
    }
    return {};
}

std::string ProgramHelp() {
    return "Использование: velmo [--help] [--version] [параметры Qt]\n"
           "\n"
           "Кубик Вельмо — трёхмерная модель головоломки 3×3×3: вращения мышью и строками\n"
           "ходов, запутывание, сборка по слоям с подробным протоколом и пересборка вручную.\n"
           "\n"
           "  --help     показать эту справку и выйти\n"
           "  --version  показать версию программы и выйти\n"
           "\n"
           "Параметры самой Qt (например, -platform xcb, -style fusion) передаются ей.\n"
           "Справка по работе с программой открывается клавишей F1; см. также man 6 velmo.\n";
}

std::string ProgramVersionLine() { return "velmo " + std::string(ReleaseVersion()) + '\n'; }

}  // namespace velmo
