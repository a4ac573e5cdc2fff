#include "reassembly/hand_window.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QToolButton>

#include "reassembly/reassembly.h"
#include "reassembly/tool_pictures.h"

namespace velmo {

namespace {
constexpr int kBorder = 4;
constexpr int kButtonSize = 36;
constexpr int kCornerColumn = 44, kEdgeColumn = 88;
constexpr int kAnewRow = 360, kCloseRow = 396;
}  // namespace

Tfm_Hand::Tfm_Hand(QWidget* owner, TVelmo& cube, CloseHandler onClose, RunGuard run)
    : QWidget(owner, Qt::Tool), cube_(cube), tools_(cube), onClose_(std::move(onClose)),
      run_(std::move(run)) {
    setObjectName("fm_Hand");
    setWindowTitle("Пересборка");
    setAttribute(Qt::WA_DeleteOnClose);
    FormCreate();
}

void Tfm_Hand::FormCreate() {
    group_ = new QButtonGroup(this);
    group_->setExclusive(true);
    sb_Arrow = AddButton("sb_Arrow", 0, 0, ToolIcon(ToolPicture::Arrow), {}, true);
    sb_Rotate = AddButton("sb_Rotate", 0, 36, ToolIcon(ToolPicture::Rotate), "Повернуть", true);
    sb_Delete = AddButton("sb_Delete", 0, 72, ToolIcon(ToolPicture::Remove), "Выковырять", true);
    sb_VelmoHand = AddButton("sb_VelmoHand", 0, kAnewRow, ToolIcon(ToolPicture::Anew), "Заново",
                             false);
    sb_Cancel = AddButton("sb_Cancel", 0, kCloseRow, ToolIcon(ToolPicture::Cancel), "Отмена",
                          false);
    sb_Ok = AddButton("sb_Ok", 0, kCloseRow, ToolIcon(ToolPicture::Done), "Готово", false);
    for (std::size_t i = 0; i < kCornerCells.size(); ++i) {
        const int block = kCornerCells[i];
        const QByteArray name = "sb_Block" + QByteArray::number(block);
        blockButtons_[block] = AddButton(name.constData(), kCornerColumn,
                                         kButtonSize * static_cast<int>(i), BlockIcon(block), {},
                                         true);
    }
    for (std::size_t i = 0; i < kEdgeCells.size(); ++i) {
        const int block = kEdgeCells[i];
        const QByteArray name = "sb_Block" + QByteArray::number(block);
        blockButtons_[block] = AddButton(name.constData(), kEdgeColumn,
                                         kButtonSize * static_cast<int>(i), BlockIcon(block), {},
                                         true);
    }

    connect(sb_Arrow, &QToolButton::clicked, this, [this] { sb_ArrowClick(); });
    connect(sb_Rotate, &QToolButton::clicked, this, [this] { sb_RotateClick(); });
    connect(sb_Delete, &QToolButton::clicked, this, [this] { sb_DeleteClick(); });
    connect(sb_VelmoHand, &QToolButton::clicked, this, [this] { sb_VelmoHandClick(); });
    connect(sb_Cancel, &QToolButton::clicked, this, [this] { sb_CancelClick(); });
    connect(sb_Ok, &QToolButton::clicked, this, [this] { sb_CancelClick(); });
    for (int block = 1; block <= kCellCount; ++block) {
        if (!blockButtons_[block]) continue;
        const int tag = BlockButtonTag(block);
        connect(blockButtons_[block], &QToolButton::clicked, this,
                [this, tag] { sb_BlockClick(tag); });
    }

    setFixedSize(2 * kBorder + kEdgeColumn + kButtonSize, 2 * kBorder + kCloseRow + kButtonSize);
    ShowState();
}

QToolButton* Tfm_Hand::AddButton(const char* name, int x, int y, const QIcon& icon,
                                 const QString& hint, bool inGroup) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setGeometry(kBorder + x, kBorder + y, kButtonSize, kButtonSize);
    button->setAutoRaise(true);
    button->setIcon(icon);
    button->setIconSize(QSize(kButtonPictureSize, kButtonPictureSize));
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    if (inGroup) {
        button->setCheckable(true);
        group_->addButton(button);
    }
    return button;
}

void Tfm_Hand::ShowState() {
    for (int block = 1; block <= kCellCount; ++block)
        if (blockButtons_[block]) blockButtons_[block]->setEnabled(tools_.BlockButtonEnabled(block));
    QToolButton* down = sb_Arrow;
    switch (tools_.DownTool()) {
        case Tool::Arrow: down = sb_Arrow; break;
        case Tool::Rotate: down = sb_Rotate; break;
        case Tool::Delete: down = sb_Delete; break;
        case Tool::Block: down = blockButtons_[tools_.ActiveBlockButton()]; break;
    }
    down->setChecked(true);
    sb_Cancel->setVisible(!tools_.ShowsOk());
    sb_Ok->setVisible(tools_.ShowsOk());
}

void Tfm_Hand::Run(const std::function<void()>& operation) {
    if (run_) {
        run_(operation);
        return;
    }
    try {
        operation();
    } catch (const RunStopped&) {
        cube_.EndStoppedRun();
    }
}

void Tfm_Hand::sb_ArrowClick() {
    tools_.ArrowClick();
    ShowState();
}

void Tfm_Hand::sb_RotateClick() {
    tools_.RotateClick();
    ShowState();
}

void Tfm_Hand::sb_DeleteClick() {
    tools_.DeleteClick();
    ShowState();
}

void Tfm_Hand::sb_BlockClick(int tag) {
    tools_.BlockClick(tag);
    ShowState();
}

void Tfm_Hand::sb_VelmoHandClick() {
    Run([this] { tools_.VelmoHandClick(); });
    ShowState();
}

void Tfm_Hand::sb_CancelClick() { close(); }

void Tfm_Hand::HandleReassemblyClick() {
    Run([this] { tools_.HandleReassemblyClick(); });
    ShowState();
}

void Tfm_Hand::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void Tfm_Hand::FormClose() {
    if (formClosed_) return;
    formClosed_ = true;
    if (onClose_) onClose_();
    Run([this] { tools_.FormClose(); });
}

}  // namespace velmo
