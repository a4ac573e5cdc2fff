#pragma once
// The running protocol of everything the cube goes through. Lines are UTF-8 and only grow;
// the single exception is DeleteLastLine, which the solver's orientation uses to drop the
// empty line it opened when it made no turn.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmo {

class TMessageLog {
public:
    // Called after every write; the log window repaints at once from it, because writers run
    // inside long operations during which no event loop turns.
    using Listener = std::function<void()>;

    // Adds text as a new last line (an empty text adds an empty line). Line breaks inside
    // the text become blanks, so one call is always one line.
    void AddMessage(std::string_view text);
    // Replaces the last line with the last line, the word and one blank. A line break (CR LF,
    // or a lone CR or LF) inside the word starts a new line, as a multi-line text box shows it.
    // With no line yet, the word starts the first line.
    void AppendMessage(std::string_view word);
    void DeleteLastLine();

    const std::vector<std::string>& Lines() const { return lines_; }
    // The whole log, each line followed by '\n'.
    std::string Text() const;

    void SetListener(Listener listener) { listener_ = std::move(listener); }

private:
    // Appends text to the last line; each line break in it starts a new line.
    void AppendMessageText(std::string_view text);
    void Changed();

    std::vector<std::string> lines_;
    Listener listener_;
};

}  // namespace velmo
