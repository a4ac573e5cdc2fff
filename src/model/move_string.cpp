// Move names and move strings: a Cyrillic face letter ("Л", "П", "Ф", "Т", "В", "Н"), maybe
// after a slice ("С") or whole-cube ("О") prefix, maybe followed by an apostrophe for the
// inverse (typographic apostrophes ’ ‘ ′ ʼ and ` stand for it too); one-digit repeat counts
// after moves and bracketed groups; blanks ignored.

#include <optional>
#include <vector>

#include "log/message_log.h"
#include "model/velmo.h"
#include "platform/text.h"

namespace velmo {

namespace {

bool IsFaceLetter(char32_t c) {
    return c == U'Л' || c == U'П' || c == U'Ф' || c == U'Т' || c == U'В' || c == U'Н';
}
bool IsPrefix(char32_t c) { return c == U'С' || c == U'О'; }
bool IsCount(char32_t c) { return c >= U'1' && c <= U'9'; }

// Blanks and control characters.
bool IsTrimmed(char32_t c) { return c <= U' '; }

// Text copied from web pages and word processors writes the apostrophe as one of these.
char32_t PlainApostrophe(char32_t c) {
    switch (c) {
        case U'\u2019':  // right single quotation mark
        case U'\u2018':  // left single quotation mark
        case U'\u2032':  // prime
        case U'\u02BC':  // modifier letter apostrophe
        case U'`':
            return U'\'';
        default:
            return c;
    }
}

// The move an upper-case name stands for.
std::optional<Move> FindMove(std::string_view upperName) {
    for (int m = 0; m < kMoveCount; ++m)
        if (upperName == TurnOf(static_cast<Move>(m)).name) return static_cast<Move>(m);
    return std::nullopt;
}

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
    return a > TVelmo::kTurnCountOverflow - b ? TVelmo::kTurnCountOverflow : a + b;
}

std::uint64_t SaturatingMultiply(std::uint64_t a, std::uint64_t k) {
    return k != 0 && a > TVelmo::kTurnCountOverflow / k ? TVelmo::kTurnCountOverflow : a * k;
}

std::u32string Prepare(std::string_view s) {
    std::u32string text = DecodeUtf8(s);
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsTrimmed(text[begin])) ++begin;
    while (end > begin && IsTrimmed(text[end - 1])) --end;
    std::u32string t;
    t.reserve(end - begin);
    for (std::size_t i = begin; i < end; ++i)
        if (text[i] != U' ') t += ToUpper(PlainApostrophe(text[i]));
    return t;
}

// For every position of a normalised string, how many known moves end before it: a stretch
// makes turns exactly when the count grows across it.
std::vector<std::size_t> KnownMovesBefore(const std::u32string& t) {
    std::vector<std::size_t> before(t.size() + 1, 0);
    std::size_t nameBegin = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        before[i + 1] = before[i];
        if (t[i] == U'(' || t[i] == U')') {
            nameBegin = i + 1;
        } else if (IsCount(t[i])) {
            if (nameBegin < i && FindMove(EncodeUtf8(t.substr(nameBegin, i - nameBegin))))
                ++before[i + 1];
            nameBegin = i + 1;
        }
    }
    return before;
}

}  // namespace

// Rewrites s into the canonical form in which every move and every closing bracket is followed
// by exactly one count digit; unclosed brackets are closed at the end. "" means incorrect.
std::string TVelmo::NormalizeMoveString(std::string_view s) {
    const std::u32string t = Prepare(s);
    std::u32string r;
    r.reserve(t.size() * 2);
    long depth = 0;
    const std::size_t n = t.size();
    for (std::size_t j = 0; j < n; ++j) {
        const char32_t c = t[j];
        const bool hasNext = j + 1 < n;
        const char32_t next = hasNext ? t[j + 1] : U'\0';
        const bool nextIsCount = hasNext && IsCount(next);
        bool fail = false;
        if (IsFaceLetter(c)) {
            r += c;
            if (!hasNext || (next != U'\'' && !IsCount(next))) r += U'1';
        } else if (IsPrefix(c)) {
            fail = !hasNext || !IsFaceLetter(next);
            r += c;
        } else if (c == U'\'') {
            fail = j == 0 || (hasNext && next == U'\'');
            r += c;
            if (!nextIsCount) r += U'1';
        } else if (c == U'(') {
            fail = hasNext && (next == U'\'' || IsCount(next));
            r += c;
            ++depth;
        } else if (c == U')') {
            fail = --depth < 0;
            r += c;
            if (!nextIsCount) r += U'1';
        } else if (IsCount(c)) {
            fail = j == 0 || nextIsCount;
            r += c;
        } else {
            fail = true;
        }
        if (fail) return {};
    }
    if (!r.empty())
        for (; depth > 0; --depth) r += U")1";
    return EncodeUtf8(r);
}

bool TVelmo::IsValidMoveString(std::string_view s) { return !NormalizeMoveString(s).empty(); }

namespace {
// A move name as ExecuteMove takes it: any letter case, typographic apostrophes allowed.
std::optional<Move> FindMoveByName(std::string_view name) {
    std::u32string text = DecodeUtf8(name);
    for (char32_t& c : text) c = ToUpper(PlainApostrophe(c));
    return FindMove(EncodeUtf8(text));
}
}  // namespace

void TVelmo::ExecuteMove(std::string_view name) {
    TurnDuration = host_.AutoTurnDuration();
    if (const std::optional<Move> move = FindMoveByName(name)) Turn(*move);
}

bool TVelmo::IsKnownMove(std::string_view name) { return FindMoveByName(name).has_value(); }

// In the canonical form a count digit ends every move and every group, so one pass with a
// running total per open group counts the turns; a group multiplies its inside by its count.
std::optional<std::uint64_t> TVelmo::CountMoveStringTurns(std::string_view s) {
    const std::string normalized = NormalizeMoveString(s);
    if (normalized.empty()) return std::nullopt;
    std::vector<std::uint64_t> totals{0};
    std::u32string name;
    bool groupEnds = false;
    for (const char32_t c : DecodeUtf8(normalized)) {
        if (c == U'(') {
            totals.push_back(0);
        } else if (c == U')') {
            groupEnds = true;
        } else if (!IsCount(c)) {
            name += c;
        } else if (groupEnds) {
            const std::uint64_t inside = totals.back();
            totals.pop_back();
            totals.back() = SaturatingAdd(totals.back(), SaturatingMultiply(inside, c - U'0'));
            groupEnds = false;
        } else {
            if (FindMove(EncodeUtf8(name))) totals.back() = SaturatingAdd(totals.back(), c - U'0');
            name.clear();
        }
    }
    return totals.front();
}

void TVelmo::ExecuteMoveString(std::string_view s, bool topLevel) {
    const std::string normalized = NormalizeMoveString(s);
    if (normalized.empty()) return;
    BusyCursor busy(host_);
    UserLineOpen = false;
    TurnDuration = host_.AutoTurnDuration();
    if (topLevel) {
        LogTurns = false;
        host_.Log().AddMessage("Выполнение последовательности: " + std::string(s));
    }
    ExecuteNormalized(normalized);
    if (topLevel) LogTurns = host_.DoLog();
}

// Runs a normalised string group by group. A bracketed group with count k runs its inside k
// times, exactly as a nested execution of the inside would: the inside of a group of a
// normalised string is itself normalised, so it needs no second check, and the groups are
// walked with an explicit stack and a table of matching brackets, so that deep nesting costs
// neither stack nor repeated scans. A group that makes no turn (empty, or unknown names only) is
// skipped: repeating it would make nothing, in a time that grows with the product of the counts
// around it (twenty empty groups of nine, one inside the other, would never end).
void TVelmo::ExecuteNormalized(const std::string& normalized) {
    const std::u32string t = DecodeUtf8(normalized);
    const std::vector<std::size_t> knownBefore = KnownMovesBefore(t);
    std::vector<std::size_t> match(t.size(), t.size());
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == U'(') open.push_back(i);
        if (t[i] == U')' && !open.empty()) {
            match[open.back()] = i;
            open.pop_back();
        }
    }

    struct Frame {
        std::size_t begin, end, pos;
        int repeats;  // runs left after the current one
    };
    std::vector<Frame> stack{{0, t.size(), 0, 0}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.pos >= frame.end) {
            if (frame.repeats > 0) {
                --frame.repeats;
                frame.pos = frame.begin;
            } else {
                stack.pop_back();
            }
            continue;
        }
        // Collect one token up to the count digit that ends it; a group is skipped whole.
        const std::size_t tokenBegin = frame.pos;
        std::size_t pos = frame.pos;
        while (pos < frame.end && !IsCount(t[pos])) pos = t[pos] == U'(' ? match[pos] + 1 : pos + 1;
        frame.pos = pos + 1;
        if (pos >= frame.end) continue;  // a normalised string always ends with a count
        const int count = static_cast<int>(t[pos] - U'0');
        if (t[tokenBegin] == U'(') {
            const std::size_t insideBegin = tokenBegin + 1, insideEnd = pos - 1;
            if (knownBefore[insideEnd] > knownBefore[insideBegin])
                stack.push_back({insideBegin, insideEnd, insideBegin, count - 1});
        } else {
            const std::string name = EncodeUtf8(t.substr(tokenBegin, pos - tokenBegin));
            for (int k = 0; k < count; ++k) ExecuteMove(name);
        }
    }
}

}  // namespace velmo
