#include "history/turn_history.h"


namespace velmo {

std::size_t TurnHistory::Stack::FirstOfNewest() const {
    return moves.size() - (entries.empty() ? 0 : entries.back().turns);
}

Move TurnHistory::Now(Move recorded) const { return frame_.Carry(recorded); }

void TurnHistory::TurnMade(Move move, bool silent) {
    if (silent) {
        frame_ = frame_.Then(CubeRotation::Of(move));
        return;
    }
    switch (mode_) {
        case Mode::Recording: Record(move); break;
        case Mode::Undoing:
        case Mode::Redoing:
            if (done_ < planned_.size() && planned_[done_] == move) ++done_;
            else lost_ = true;
            break;
        case Mode::Idle:
            // Made outside any command: what is recorded no longer leads back.
            Clear();
            break;
    }
}

void TurnHistory::Record(Move move) {
    if (tooLong_) return;
    // The first turn of a command ends what could be made again.
    if (undo_.entries.back().turns == 0 && CanRedo()) redo_ = {};
    undo_.moves.push_back(static_cast<std::uint8_t>(frame_.Inverse().Carry(move)));
    ++undo_.entries.back().turns;
    if (undo_.moves.size() > kMaxTurns) DropOldest();
}

// Down to three quarters of the bounds at once, so that a long run at a bound does not move
// the whole list on every turn. The newest entry stays.
void TurnHistory::DropOldest() {
    std::size_t drop = 0, dropMoves = 0;
    const auto over = [&] {
        return undo_.moves.size() - dropMoves > kMaxTurns / 4 * 3 ||
               undo_.entries.size() - drop > kMaxEntries / 4 * 3;
    };
    while (drop + 1 < undo_.entries.size() && over()) dropMoves += undo_.entries[drop++].turns;
    undo_.entries.erase(undo_.entries.begin(), undo_.entries.begin() + static_cast<long>(drop));
    undo_.moves.erase(undo_.moves.begin(), undo_.moves.begin() + static_cast<long>(dropMoves));
    if (undo_.moves.size() > kMaxTurns) {
        // The command under way alone is too long to keep.
        tooLong_ = true;
        undo_.moves.clear();
        undo_.moves.shrink_to_fit();
        undo_.entries.back().turns = 0;
    }
}

void TurnHistory::BeginCommand(std::string label) {
    if (undo_.entries.size() >= kMaxEntries) DropOldest();
    undo_.entries.push_back({0, frame_, std::move(label)});
    mode_ = Mode::Recording;
    tooLong_ = false;
}

void TurnHistory::StartReplay(Mode mode) {
    planned_.clear();
    done_ = 0;
    lost_ = false;
    mode_ = mode;
}

std::vector<Move> TurnHistory::BeginUndo() {
    StartReplay(Mode::Undoing);
    if (!CanUndo()) return planned_;
    for (std::size_t i = undo_.moves.size(); i > undo_.FirstOfNewest(); --i)
        planned_.push_back(Now(InverseOf(static_cast<Move>(undo_.moves[i - 1]))));
    return planned_;
}

std::vector<Move> TurnHistory::BeginRedo() {
    StartReplay(Mode::Redoing);
    if (!CanRedo()) return planned_;
    for (std::size_t i = redo_.FirstOfNewest(); i < redo_.moves.size(); ++i)
        planned_.push_back(Now(static_cast<Move>(redo_.moves[i])));
    return planned_;
}

TurnHistory::Outcome TurnHistory::End() {
    const Mode mode = mode_;
    mode_ = Mode::Idle;
    if (lost_) {
        lost_ = false;
        Clear();
        return Outcome::Lost;
    }
    switch (mode) {
        case Mode::Idle: return Outcome::Nothing;
        case Mode::Undoing: return EndUndo();
        case Mode::Redoing: return EndRedo();
        case Mode::Recording: break;
    }
    if (tooLong_) {
        Clear();
        return Outcome::TooLong;
    }
    if (undo_.entries.back().turns > 0) return Outcome::Recorded;
    undo_.entries.pop_back();
    return Outcome::Nothing;
}

// The turns taken back, the newest of the entry, become an entry to make again.
TurnHistory::Outcome TurnHistory::EndUndo() {
    return Transfer(undo_, redo_, undo_.moves.size() - done_);
}

// The turns made again, the oldest of the entry, become an entry to take back.
TurnHistory::Outcome TurnHistory::EndRedo() {
    return Transfer(redo_, undo_, redo_.FirstOfNewest());
}

// Moves the done_ turns of from's newest entry that start at `first` to a new entry of `to`.
TurnHistory::Outcome TurnHistory::Transfer(Stack& from, Stack& to, std::size_t first) {
    if (done_ == 0) return Outcome::Nothing;
    Entry& entry = from.entries.back();
    const auto begin = from.moves.begin() + static_cast<long>(first);
    const auto end = begin + static_cast<long>(done_);
    to.entries.push_back({static_cast<std::uint32_t>(done_), entry.frame, entry.label});
    to.moves.insert(to.moves.end(), begin, end);
    from.moves.erase(begin, end);
    entry.turns -= static_cast<std::uint32_t>(done_);
    if (entry.turns == 0) from.entries.pop_back();
    return Outcome::Recorded;
}

void TurnHistory::Clear() {
    undo_ = {};
    redo_ = {};
    if (mode_ == Mode::Recording) undo_.entries.push_back({0, frame_, {}});
    planned_.clear();
    done_ = 0;
}

TurnHistory::EntryInfo TurnHistory::Info(const Stack& stack) {
    if (stack.entries.empty()) return {};
    const Entry& entry = stack.entries.back();
    EntryInfo info{entry.label, entry.turns};
    if (info.label.empty() && entry.turns == 1) {
        // Named by the turn as the user made it, in the frame of that moment.
        const std::uint8_t recorded = stack.moves[stack.FirstOfNewest()];
        const Move made = entry.frame.Carry(static_cast<Move>(recorded));
        info.label = "вращение " + std::string(TurnOf(made).notation);
    } else if (info.label.empty()) {
        info.label = "операция";
    }
    return info;
}

std::size_t TurnHistory::MemoryBytes() const {
    std::size_t bytes = sizeof(*this) + planned_.capacity() * sizeof(Move);
    for (const Stack* stack : {&undo_, &redo_}) {
        bytes += stack->entries.capacity() * sizeof(Entry) + stack->moves.capacity();
        for (const Entry& entry : stack->entries)
            if (entry.label.capacity() > std::string().capacity())
                bytes += entry.label.capacity() + 1;
    }
    return bytes;
}

}  // namespace velmo
