// Arbitrary bytes as a move string, up to the tens of kilobytes users paste. Normalising must
// never crash and must be idempotent. The turn count a string promises must equal a count made
// here another way (right to left, each move times the repeats of its enclosing groups, with its
// own saturation), and, for strings short enough to run, the turns actually made: with turns
// instant the host draws exactly one frame per turn. An incorrect string counts nothing and
// runs nothing.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "headless/headless_host.h"
#include "model/velmo.h"
#include "platform/text.h"

namespace {

using velmo::TVelmo;

// Strings promising more turns than this, or executing more move names (unknown ones make no
// turn but take their time), are counted but not run, so that every execution stays fast however
// long the input.
constexpr std::uint64_t kMaxRunTurns = 20000;
constexpr std::uint64_t kMaxRunNames = 200000;

void Check(bool condition) {
    if (!condition) std::abort();
}

bool IsDigit(char32_t c) { return c >= U'1' && c <= U'9'; }

std::uint64_t Multiply(std::uint64_t a, std::uint64_t b) {
    std::uint64_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? TVelmo::kTurnCountOverflow : product;
}

std::uint64_t Add(std::uint64_t a, std::uint64_t b) {
    std::uint64_t sum = 0;
    return __builtin_add_overflow(a, b, &sum) ? TVelmo::kTurnCountOverflow : sum;
}

struct Counts {
    std::uint64_t turns = 0;  // known moves
    std::uint64_t names = 0;  // known or not
};

// Counts of a normalised string, read from its end: a move counts its digit times the repeats of
// every group around it; a group's repeats are known before its inside is reached.
Counts CountFromTheEnd(const std::u32string& t) {
    std::vector<std::uint64_t> repeats{1};
    Counts counts;
    std::size_t i = t.size();
    while (i > 0) {
        const char32_t c = t[--i];
        if (c == U'(') {
            Check(repeats.size() > 1);
            repeats.pop_back();
            continue;
        }
        Check(IsDigit(c) && i > 0);  // every move and group ends with exactly one digit
        const std::uint64_t k = c - U'0';
        if (t[i - 1] == U')') {
            --i;
            repeats.push_back(Multiply(repeats.back(), k));
            continue;
        }
        const std::size_t end = i;
        while (i > 0 && t[i - 1] != U'(' && t[i - 1] != U')' && !IsDigit(t[i - 1])) --i;
        Check(i < end);
        const std::uint64_t times = Multiply(repeats.back(), k);
        counts.names = Add(counts.names, times);
        if (TVelmo::IsKnownMove(velmo::EncodeUtf8(t.substr(i, end - i))))
            counts.turns = Add(counts.turns, times);
    }
    Check(repeats.size() == 1);
    return counts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string normalized = TVelmo::NormalizeMoveString(input);
    const std::optional<std::uint64_t> count = TVelmo::CountMoveStringTurns(input);
    velmo::HeadlessHost host;
    host.SetAutoTurnDuration(0);
    TVelmo cube(host);
    cube.LogTurns = true;

    if (normalized.empty()) {
        Check(!count.has_value());
        cube.ExecuteMoveString(input, true);
        Check(host.Frames() == 0 && host.Log().Lines().empty() && host.BusyStarts() == 0);
        return 0;
    }
    Check(TVelmo::NormalizeMoveString(normalized) == normalized);
    Check(count.has_value() && count == TVelmo::CountMoveStringTurns(normalized));
    const Counts counts = CountFromTheEnd(velmo::DecodeUtf8(normalized));
    Check(*count == counts.turns);
    if (counts.turns > kMaxRunTurns || counts.names > kMaxRunNames) return 0;

    cube.ExecuteMoveString(input, true);
    Check(static_cast<std::uint64_t>(host.Frames()) == *count);
    // A top-level run writes one line, leaves logging as the setting says and the cursor free.
    Check(host.Log().Lines().size() == 1 && cube.LogTurns == host.DoLog() &&
          host.BusyDepth() == 0);
    for (int cell = 1; cell <= velmo::kCellCount; ++cell) Check(cube.Block(cell).Cell == cell);
    return 0;
}
