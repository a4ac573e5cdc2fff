#include <array>
#include <string_view>

#include "log/message_log.h"
#include "model/velmo.h"

namespace velmo {

namespace {
// The face and slice turns; whole-cube turns would not mix anything.
constexpr std::array<std::string_view, 18> kScrambleMoves = {
    "Л", "Л'", "П", "П'", "В", "В'", "Н", "Н'", "Ф",
    "Ф'", "Т", "Т'", "Сп", "Сп'", "Св", "Св'", "Сф", "Сф'",
};
}  // namespace

void TVelmo::Scramble() {
    BusyCursor busy(host_);
    TurnDuration = host_.AutoTurnDuration();
    UserLineOpen = false;
    host_.Log().AddMessage("Запутывание Кубика Вельмо");
    if (host_.DoLog()) host_.Log().AppendMessage(":");
    SeedRandom(host_.ClockSeed());
    const std::uint32_t steps = RandomBelow(10) + 10 + 1;
    for (std::uint32_t step = 0; step < steps; ++step) {
        const std::string_view name = kScrambleMoves[RandomBelow(18)];
        const int times = RandomBelow(100) % 2 == 1 ? 1 : 2;
        for (int k = 0; k < times; ++k) ExecuteMove(name);
    }
}

}  // namespace velmo
