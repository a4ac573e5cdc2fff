#pragma once
// What a run on the cube is, for the undo history and the count of the user's own turns.
// Any run not told otherwise is a machine's: it is recorded for undo like every run that
// turns the cube, and a cube it solves was not solved by hand.

#include <string>
#include <utility>

namespace velmo {

enum class RunKind {
    Machine,      // the solver and any command not named below
    User,         // the user's own turns: mouse, keyboard, the tree, typed strings
    Scramble,     // the count of the user's turns starts after it
    Reset,        // «Новый», the start of a reassembly: a new history, nothing counted
    NewPosition,  // a position set up from facelets: a new history, the count starts
    Undo,         // made by the history itself
    Redo,
};

struct CubeRun {
    CubeRun(RunKind kind = RunKind::Machine, std::string label = {})
        : kind(kind), label(std::move(label)) {}

    RunKind kind;
    // Machine, User, Scramble: what the undo history calls the command ("" names a single
    // turn by itself, anything longer «операция»). NewPosition: how the hand-solve line names
    // the start ("после ...").
    std::string label;
};

}  // namespace velmo
