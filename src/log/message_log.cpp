#include "log/message_log.h"

namespace velmo {

void TMessageLog::AddMessage(std::string_view text) {
    // Always exactly one new line: a line break inside the text (a move string pasted with
    // one, say) is shown as a blank.
    std::string line(text);
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    lines_.push_back(std::move(line));
    Changed();
}

void TMessageLog::AppendMessage(std::string_view word) {
    if (lines_.empty()) lines_.emplace_back();
    std::string text(word);
    text += ' ';
    AppendMessageText(text);
    Changed();
}

void TMessageLog::DeleteLastLine() {
    if (lines_.empty()) return;
    lines_.pop_back();
    Changed();
}

std::string TMessageLog::Text() const {
    std::string all;
    for (const std::string& line : lines_) {
        all += line;
        all += '\n';
    }
    return all;
}

void TMessageLog::AppendMessageText(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines_.emplace_back();
        } else {
            lines_.back() += c;
        }
    }
}

void TMessageLog::Changed() {
    if (listener_) listener_();
}

}  // namespace velmo
