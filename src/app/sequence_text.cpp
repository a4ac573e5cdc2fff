#include "app/sequence_text.h"

namespace velmo {

namespace {

// Blanks and control characters, as trimming has always treated them.
std::string_view Trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

// From `begin` up to, not including, the first "}" after it (or to the end).
std::string UpToClosingBrace(std::string_view text, std::size_t begin) {
    const std::size_t close = text.find('}', begin);
    return std::string(text.substr(begin, close == std::string_view::npos ? close : close - begin));
}

}  // namespace

std::string SequenceNodeText(std::string_view name, std::string_view moves) {
    std::string text(name);
    text += " {";
    text += moves;
    text += '}';
    return text;
}

std::string SequenceMoves(std::string_view nodeText) {
    const std::size_t open = nodeText.find('{');
    if (open == std::string_view::npos) return {};
    return UpToClosingBrace(nodeText, open + 1);
}

SequenceParts SplitSequenceText(std::string_view nodeText) {
    const std::size_t open = nodeText.find('{');
    if (open == std::string_view::npos)
        return {std::string(Trim(nodeText)), UpToClosingBrace(nodeText, 0)};
    return {std::string(Trim(nodeText.substr(0, open))), UpToClosingBrace(nodeText, open + 1)};
}

std::string BasicTurnNotation(std::string_view nodeText) {
    return std::string(nodeText.substr(0, nodeText.find(' ')));
}

}  // namespace velmo
