#pragma once
// Long work (building the tables, a search) asks its caller every few milliseconds whether to
// go on: the window lets itself repaint and sees Esc there.

#include <chrono>
#include <cstdint>
#include <functional>

namespace velmo::twophase {

// Called every few milliseconds of work; false asks the work to stop.
using Poll = std::function<bool()>;

class Pacer {
public:
    using Clock = std::chrono::steady_clock;

    explicit Pacer(Poll poll, std::chrono::milliseconds interval = std::chrono::milliseconds(4))
        : poll_(std::move(poll)), interval_(interval), last_(Clock::now()) {}

    // Counts one step of work (a table entry, a search node); every 1024 steps looks at the
    // clock and, when the interval has passed, polls. False once a poll has said stop.
    bool Step() {
        if ((++steps_ & kStepsPerClockReading) != 0) return !stopped_;
        return PollIfDue(Clock::now());
    }
    // For work that reads the clock itself.
    bool PollIfDue(Clock::time_point now) {
        if (now - last_ >= interval_) {
            last_ = now;
            if (poll_ && !poll_()) stopped_ = true;
        }
        return !stopped_;
    }

private:
    static constexpr std::uint64_t kStepsPerClockReading = 1023;  // a mask

    Poll poll_;
    std::chrono::milliseconds interval_;
    Clock::time_point last_;
    std::uint64_t steps_ = 0;
    bool stopped_ = false;
};

}  // namespace velmo::twophase
