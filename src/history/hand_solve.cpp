#include "history/hand_solve.h"

#include "platform/text.h"

#include <cstdio>

namespace velmo {

void HandSolveWatch::Restart(bool solved, std::uint64_t nowMs, std::string since,
                             std::size_t historyDepth) {
    watching_ = !solved;
    turns_ = 0;
    startMs_ = nowMs;
    startDepth_ = historyDepth;
    since_ = std::move(since);
}

void HandSolveWatch::Reset() {
    watching_ = false;
    turns_ = 0;
}

std::optional<std::string> HandSolveWatch::Check(bool solved, std::uint64_t nowMs,
                                                 std::size_t historyDepth) {
    if (historyDepth < startDepth_) watching_ = false;
    if (!watching_ || !solved) return std::nullopt;
    watching_ = false;
    return "Кубик Вельмо собран вручную: " + CountText(turns_, "вращение", "вращения", "вращений") +
           ", " + DurationText(nowMs - startMs_) + " " + since_;
}

std::string DurationText(std::uint64_t milliseconds) {
    const std::uint64_t seconds = milliseconds / 1000;
    const unsigned long long h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    char text[64];
    if (h > 0) std::snprintf(text, sizeof text, "%llu ч %02llu мин %02llu с", h, m, s);
    else if (m > 0) std::snprintf(text, sizeof text, "%llu мин %02llu с", m, s);
    else std::snprintf(text, sizeof text, "%llu с", s);
    return text;
}

}  // namespace velmo
