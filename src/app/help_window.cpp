#include "app/help_window.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace velmo {

THelpWindow::THelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName("HelpWindow");
    setWindowTitle("Справка — Кубик Вельмо");
    browser_ = new QTextBrowser(this);
    browser_->setOpenLinks(true);
    // Addresses outside the help pages go to the desktop's browser.
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(720, 600);
}

bool THelpWindow::ShowPage(const QString& path) {
    if (!QFileInfo(path).isFile()) return false;
    browser_->setSource(QUrl::fromLocalFile(path));
    show();
    raise();
    activateWindow();
    return true;
}

}  // namespace velmo
