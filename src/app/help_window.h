#pragma once
// The program's own help window: the HTML help pages beside the executable, with links
// between them. A missing help file shows nothing and says nothing.

#include <QWidget>

class QTextBrowser;

namespace velmo {

class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* owner);

    // Opens the page if the file exists; returns whether it did.
    bool ShowPage(const QString& path);
    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

}  // namespace velmo
