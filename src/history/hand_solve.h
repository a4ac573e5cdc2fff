#pragma once
// Noticing a hand solve: the user's own turns (mouse, keyboard, the tree, typed strings, undo
// and redo) that bring a scrambled cube back to its start position, standing turned as a whole
// or not, are counted from the scramble, and the log says so when the cube stands solved.
// Whole-cube turns move nothing against the rest and are not counted. A machine's turns (the
// solver) end the watch: the cube was not solved by hand.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace velmo {

class HandSolveWatch {
public:
    // Counting starts afresh (a scramble, a position set up or built by hand); the watch runs
    // when the cube does not stand solved. `since` ends the log line ("после запутывания");
    // `historyDepth` is how many undo entries lie before the start.
    void Restart(bool solved, std::uint64_t nowMs, std::string since, std::size_t historyDepth);
    // Back to the start position by the program («Новый»): nothing to watch, nothing counted.
    void Reset();
    // The cube was turned by other means than the user's own: no hand solve to notice now.
    void Stop() { watching_ = false; }

    // The user made this many layer turns.
    void CountTurns(std::uint64_t turns) { turns_ += turns; }
    // After a command of the user: when it brought the watched cube back to its start, the
    // log line that says so, and the watch ends. An undo that took back the start itself
    // (fewer entries than at the start) ends the watch.
    std::optional<std::string> Check(bool solved, std::uint64_t nowMs, std::size_t historyDepth);

    std::uint64_t Turns() const { return turns_; }
    bool Watching() const { return watching_; }

private:
    bool watching_ = false;
    std::uint64_t turns_ = 0;
    std::uint64_t startMs_ = 0;
    std::size_t startDepth_ = 0;
    std::string since_;
};

// "45 с", "3 мин 05 с", "1 ч 02 мин 05 с".
std::string DurationText(std::uint64_t milliseconds);

}  // namespace velmo
