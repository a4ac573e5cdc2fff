// Arbitrary bytes as a move string: normalising must never crash, must be idempotent, and a
// correct string must execute to its end with exactly as many turns as its counts promise.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "headless/headless_host.h"
#include "model/velmo.h"
#include "platform/text.h"

namespace {

constexpr std::uint64_t kMaxTurns = 20000;

// Turns a normalised string will make if every token were a known move: an upper bound that
// keeps repeat counts like "(((Ф9)9)9)9" from running for ages. Saturates at kMaxTurns + 1.
std::uint64_t TurnBound(const std::u32string& t) {
    std::vector<std::uint64_t> totals{0};
    auto add = [](std::uint64_t a, std::uint64_t b) { return std::min(a + b, kMaxTurns + 1); };
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char32_t c = t[i];
        const bool countFollows = i + 1 < t.size() && t[i + 1] >= U'1' && t[i + 1] <= U'9';
        const std::uint64_t k = countFollows ? t[i + 1] - U'0' : 1;
        if (c == U'(') {
            totals.push_back(0);
        } else if (c == U')' && totals.size() > 1) {
            const std::uint64_t inner = totals.back();
            totals.pop_back();
            totals.back() = add(totals.back(), std::min(inner * k, kMaxTurns + 1));
        } else if (countFollows && c != U')') {
            totals.back() = add(totals.back(), k);
        }
    }
    return totals.front();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string normalized = velmo::TVelmo::NormalizeMoveString(input);
    if (normalized.empty()) return 0;
    if (velmo::TVelmo::NormalizeMoveString(normalized) != normalized) std::abort();
    if (TurnBound(velmo::DecodeUtf8(normalized)) > kMaxTurns) return 0;

    velmo::HeadlessHost host;
    host.SetAutoTurnDuration(0);
    velmo::TVelmo cube(host);
    cube.LogTurns = true;
    cube.ExecuteMoveString(input, true);
    // A top-level run writes one line, leaves logging as the setting says and the cursor free.
    if (host.Log().Lines().size() != 1 || cube.LogTurns != host.DoLog() || host.BusyDepth() != 0)
        std::abort();
    for (int cell = 1; cell <= velmo::kCellCount; ++cell)
        if (cube.Block(cell).Cell != cell) std::abort();
    return 0;
}
