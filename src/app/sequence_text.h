#pragma once
// The texts of the sequence tree's nodes. A sequence is stored as its node text: the name, a
// blank, "{", the move string as typed, "}" — for example "A {(П В П' В)2}". A basic turn's
// node is its notation, a blank, "-", a blank and a description: "Сп' - средний правый обратный".
// Plain text rules, kept apart from the tree widget so that they can be tested on their own.

#include <string>
#include <string_view>

namespace velmo {

// The text of a new or edited sequence node.
std::string SequenceNodeText(std::string_view name, std::string_view moves);

// What a double click runs: the characters after the first "{" up to the next "}" (or to the
// end when none follows); empty when the text has no "{".
std::string SequenceMoves(std::string_view nodeText);

// What the edit dialog starts with: the name is everything before the first "{" with blanks
// around it removed, the moves what SequenceMoves gives. A text without "{" gives the whole
// text, trimmed, as the name, and the text up to its first "}" as the moves.
struct SequenceParts {
    std::string name;
    std::string moves;
};
SequenceParts SplitSequenceText(std::string_view nodeText);

// The notation of a basic turn's node: its characters before the first blank.
std::string BasicTurnNotation(std::string_view nodeText);

}  // namespace velmo
