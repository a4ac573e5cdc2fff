#include "app/message_panel.h"

#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace velmo {

TMessagePanel::TMessagePanel(QWidget* parent) : QWidget(parent) {
    setObjectName("pn_Messages");
    title_ = new QToolButton(this);
    title_->setObjectName("bt_MessagesTitle");
    title_->setText("Сообщения");
    title_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    title_->setArrowType(Qt::DownArrow);
    title_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    title_->setFixedHeight(kCollapsedHeight);
    title_->setCursor(Qt::PointingHandCursor);
    title_->setStyleSheet(
        "QToolButton { background: #000080; color: white; font-weight: bold; border: none;"
        " border-top: 1px solid #00ff00; border-bottom: 1px solid #00ff00; padding-left: 4px;"
        " text-align: left; }"
        "QToolButton:hover { color: #00ff00; }");

    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName("mm_Messages");
    memo_->setReadOnly(true);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(title_);
    layout->addWidget(memo_);

    connect(title_, &QToolButton::clicked, this, [this] { SetCollapsed(!collapsed_); });
    setMinimumHeight(kCollapsedHeight);
    resize(width(), kExpandedHeight);
}

void TMessagePanel::SetCollapsed(bool collapsed) {
    if (collapsed == collapsed_) return;
    collapsed_ = collapsed;
    memo_->setVisible(!collapsed);
    title_->setArrowType(collapsed ? Qt::UpArrow : Qt::DownArrow);
    emit collapsedChanged(collapsed);
}

}  // namespace velmo
