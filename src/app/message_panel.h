#pragma once
// The collapsible "Сообщения" panel below the desk: a navy title button with lime highlights
// that folds the panel to its title (22 px) and unfolds it again (128 px), and the read-only
// memo mm_Messages filling the rest.

#include <QWidget>

class QPlainTextEdit;
class QToolButton;

namespace velmo {

class TMessagePanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kExpandedHeight = 128;
    static constexpr int kCollapsedHeight = 22;

    explicit TMessagePanel(QWidget* parent = nullptr);

    QPlainTextEdit* Memo() const { return memo_; }
    QToolButton* TitleButton() const { return title_; }
    bool Collapsed() const { return collapsed_; }
    void SetCollapsed(bool collapsed);

signals:
    void collapsedChanged(bool collapsed);

private:
    QToolButton* title_;
    QPlainTextEdit* memo_;
    bool collapsed_ = false;
};

}  // namespace velmo
