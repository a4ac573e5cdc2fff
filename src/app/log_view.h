#pragma once
// Keeps the memo mm_Messages in step with the message log. Every write to the log shows at
// once (the memo is repainted, not merely scheduled), because the writers run inside long
// operations; the view follows the newest line.

#include <QObject>
#include <cstddef>
#include <string>

class QPlainTextEdit;

namespace velmo {

class TMessageLog;

class LogView {
public:
    // The view listens to the log from now on.
    LogView(QPlainTextEdit& memo, TMessageLog& log);
    ~LogView();
    LogView(const LogView&) = delete;
    LogView& operator=(const LogView&) = delete;

private:
    void Sync();
    void ReplaceLastLine(const std::string& text);
    void RemoveLastLine();
    void AppendLine(const std::string& text);

    QPlainTextEdit& memo_;
    TMessageLog& log_;
    std::size_t shown_ = 0;    // log lines the memo holds
    std::string lastShown_;    // the text of the memo's last line
};

}  // namespace velmo
