#include "app/start_position.h"

#include "model/facelets.h"

namespace velmo {

StartPosition ReadStartPosition(const QStringList& arguments) {
    const QString option = "--facelets";
    StartPosition start;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString value;
        if (arguments[i] == option) {
            if (i + 1 == arguments.size())
                return {{}, "velmo: --facelets: нужна позиция — 54 буквы U, R, F, D, L, B"};
            value = arguments[++i];
        } else if (arguments[i].startsWith(option + "=")) {
            value = arguments[i].mid(option.size() + 1);
        } else {
            continue;
        }
        start.facelets = value.toStdString();
        const std::string problem = FaceletsProblem(start.facelets, FaceletsLanguage::Russian);
        if (!problem.empty()) return {{}, "velmo: --facelets: " + problem};
    }
    return start;
}

}  // namespace velmo
