#include "app/log_view.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "log/message_log.h"

namespace velmo {

namespace {
QString Text(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

LogView::LogView(QPlainTextEdit& memo, TMessageLog& log) : memo_(memo), log_(log) {
    memo_.setReadOnly(true);
    memo_.setUndoRedoEnabled(false);
    log_.SetListener([this] { Sync(); });
    Sync();
}

LogView::~LogView() { log_.SetListener(nullptr); }

void LogView::Sync() {
    const std::vector<std::string>& lines = log_.Lines();
    while (shown_ > lines.size()) RemoveLastLine();
    if (shown_ > 0 && lines[shown_ - 1] != lastShown_) ReplaceLastLine(lines[shown_ - 1]);
    while (shown_ < lines.size()) AppendLine(lines[shown_]);

    memo_.verticalScrollBar()->setValue(memo_.verticalScrollBar()->maximum());
    memo_.viewport()->repaint();
    memo_.verticalScrollBar()->repaint();
}

// Turns grow the last line word by word: only the new end is inserted.
void LogView::ReplaceLastLine(const std::string& text) {
    QTextCursor cursor(memo_.document());
    cursor.movePosition(QTextCursor::End);
    if (text.compare(0, lastShown_.size(), lastShown_) == 0) {
        cursor.insertText(Text(text.substr(lastShown_.size())));
    } else {
        cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText(Text(text));
    }
    lastShown_ = text;
}

void LogView::RemoveLastLine() {
    QTextCursor cursor(memo_.document());
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    if (shown_ > 1) cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    --shown_;
    lastShown_ = shown_ > 0 ? memo_.document()->lastBlock().text().toStdString() : std::string();
}

void LogView::AppendLine(const std::string& text) {
    QTextCursor cursor(memo_.document());
    cursor.movePosition(QTextCursor::End);
    if (shown_ > 0) cursor.insertBlock();
    cursor.insertText(Text(text));
    ++shown_;
    lastShown_ = text;
}

}  // namespace velmo
