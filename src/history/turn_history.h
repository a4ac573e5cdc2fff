#pragma once
// The undo history: every command that turned the cube, as one entry of the quarter turns it
// made, to be taken back (the inverse turns in reverse order) and made again.
//
// The camera swings the cube by silent whole-cube turns, which are no part of any entry; but
// they carry the blocks elsewhere, and "П" recorded before a silent "Ов" must afterwards be
// taken back on the layer that now stands in front. So the turns are kept in the frame the
// history started in: each is carried back through the silent turns made before it, and
// carried forward through all silent turns made so far when it is to be made again.
//
// Use: feed every turn the model makes to TurnMade (TVelmo::OnTurnMade). Bracket a command's
// turns with BeginCommand / End, an undo's with BeginUndo / End, a redo's with BeginRedo / End.
// An undo or redo that stops part-way records what it really made: the turns taken back move
// to the redo list, the rest of the entry stays to be undone.
//
// Memory: one byte per recorded turn and one small record (about 40 bytes) per entry. At most
// kMaxTurns turns in at most kMaxEntries entries are kept, a few megabytes at worst: beyond
// either the oldest entries are dropped, and a single command longer than kMaxTurns is not
// recorded at all (the history is then cleared).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "history/cube_rotation.h"
#include "model/turns.h"

namespace velmo {

class TurnHistory {
public:
    static constexpr std::size_t kMaxTurns = 1'000'000;
    static constexpr std::size_t kMaxEntries = 100'000;

    enum class Outcome {
        Nothing,   // no turn was made (no entry), or nothing was open
        Recorded,  // the command became an entry; or the undo/redo moved its turns
        TooLong,   // the command made more than kMaxTurns turns: the history is cleared
        Lost,      // the turns made were not the ones planned: the history is cleared
    };

    // The model made a turn (silent: a silent whole-cube turn of the camera).
    void TurnMade(Move move, bool silent);

    // A command's turns form one entry. The label says what it was ("" for a single turn
    // named by itself). A command that turns the cube drops what could be made again; one
    // that makes no turn (a swing of the camera) leaves it.
    void BeginCommand(std::string label);
    // The turns that take back the newest entry, or make the next undone one again, in the
    // order to make them and by their names now. Empty when there is nothing to do.
    std::vector<Move> BeginUndo();
    std::vector<Move> BeginRedo();
    // Closes what Begin... opened.
    Outcome End();
    // Forgets every entry (a new history); the frame stays.
    void Clear();

    bool CanUndo() const { return !undo_.entries.empty(); }
    bool CanRedo() const { return !redo_.entries.empty(); }
    // The entries that can be taken back.
    std::size_t UndoDepth() const { return undo_.entries.size(); }

    struct EntryInfo {
        // As given; unlabelled, "вращение П" for a single turn, else "операция".
        std::string label;
        std::size_t turns = 0;
    };
    EntryInfo NextUndo() const { return Info(undo_); }
    EntryInfo NextRedo() const { return Info(redo_); }

    // Bytes held (capacities included), for the memory bound.
    std::size_t MemoryBytes() const;

private:
    struct Entry {
        std::uint32_t turns = 0;
        CubeRotation frame;  // the frame when the command began: names it by its turns
        std::string label;
    };
    // Entries oldest first; their turns one after another, in the history's first frame.
    struct Stack {
        std::vector<Entry> entries;
        std::vector<std::uint8_t> moves;
        // Where the newest entry's turns begin.
        std::size_t FirstOfNewest() const;
    };
    enum class Mode { Idle, Recording, Undoing, Redoing };

    static EntryInfo Info(const Stack& stack);
    void StartReplay(Mode mode);
    void Record(Move move);
    void DropOldest();
    Outcome EndUndo();
    Outcome EndRedo();
    Outcome Transfer(Stack& from, Stack& to, std::size_t first);
    // A recorded turn by its name now.
    Move Now(Move recorded) const;

    Stack undo_, redo_;
    CubeRotation frame_;  // the silent turns made since the history's first frame
    Mode mode_ = Mode::Idle;
    bool tooLong_ = false;
    bool lost_ = false;
    std::vector<Move> planned_;
    std::size_t done_ = 0;
};

}  // namespace velmo
