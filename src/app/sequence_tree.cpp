#include "app/sequence_tree.h"

#include <QHeaderView>
#include <QTreeWidgetItemIterator>
#include <array>

namespace velmo {

namespace {

constexpr std::array<const char*, 24> kBasicTurns = {
    "Л - левый",          "Л' - левый обратный",
    "П - правый",         "П' - правый обратный",
    "Ф - фронт",          "Ф' - фронт обратный",
    "Т - тыл",            "Т' - тыл обратный",
    "В - верх",           "В' - верх обратный",
    "Н - низ",            "Н' - низ обратный",
    "Сп - средний правый", "Сп' - средний правый обратный",
    "Сф - средний фронт",  "Сф' - средний фронт обратный",
    "Св - средний верх",   "Св' - средний верх обратный",
    "Оп - ось право",      "Оп' - ось право обратный",
    "Оф - ось фронт",      "Оф' - ось фронт обратный",
    "Ов - ось верх",       "Ов' - ось верх обратный",
};

constexpr int kKindRole = Qt::UserRole;
constexpr int kTextRole = Qt::UserRole + 1;

}  // namespace

TSequenceTree::TSequenceTree(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("tv_Moves");
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setIndentation(19);
    setAutoExpandDelay(-1);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setExpandsOnDoubleClick(true);
    // Texts are shown whole (up to kShownLength characters): the column is as wide as its
    // widest text, and the tree scrolls sideways instead of cutting a text with "…".
    setTextElideMode(Qt::ElideNone);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A node opens when it is selected; the keyboard focus arriving (which makes the first
    // node current, but not selected) opens nothing.
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (QTreeWidgetItem* selected = Selected()) selected->setExpanded(true);
    });
    AddFixedNodes();
}

void TSequenceTree::AddFixedNodes() {
    QTreeWidgetItem* basic = AddNode(nullptr, "Базовые вращения", kBasicRoot);
    for (const char* text : kBasicTurns) AddNode(basic, text, kBasicTurnNode);
    AddNode(nullptr, "Частые вращения", kFrequentRoot);
    AddNode(nullptr, "Пользовательские", kUserRoot);
}

int TSequenceTree::Kind(const QTreeWidgetItem* node) {
    return node ? node->data(0, kKindRole).toInt() : 0;
}

QString TSequenceTree::Text(const QTreeWidgetItem* node) {
    return node ? node->data(0, kTextRole).toString() : QString();
}

void TSequenceTree::SetText(QTreeWidgetItem* node, const QString& text) {
    node->setData(0, kTextRole, text);
    node->setText(0, text.size() <= kShownLength ? text : text.left(kShownLength) + "…");
}

QTreeWidgetItem* TSequenceTree::Selected() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

int TSequenceTree::SelectedKind() const { return Kind(Selected()); }

QTreeWidgetItem* TSequenceTree::AddNode(QTreeWidgetItem* parent, const QString& text, int kind) {
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    SetText(node, text);
    node->setData(0, kKindRole, kind);
    return node;
}

QTreeWidgetItem* TSequenceTree::FindRoot(int rootKind) const {
    QTreeWidgetItem* found = nullptr;
    for (QTreeWidgetItemIterator it(const_cast<TSequenceTree*>(this)); *it; ++it)
        if (Kind(*it) == rootKind) found = *it;
    return found;
}

std::vector<std::string> TSequenceTree::ChildTexts(int rootKind) const {
    std::vector<std::string> texts;
    if (QTreeWidgetItem* root = FindRoot(rootKind))
        for (int i = 0; i < root->childCount(); ++i)
            texts.push_back(Text(root->child(i)).toStdString());
    return texts;
}

void TSequenceTree::LoadList(int rootKind, const std::vector<std::string>& texts) {
    const int count = topLevelItemCount();
    QTreeWidgetItem* root = topLevelItem(rootKind == kFrequentRoot ? count - 2 : count - 1);
    if (!root) return;
    const int kind = rootKind / 10;
    QList<QTreeWidgetItem*> nodes;
    nodes.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string& text : texts) {
        auto* node = new QTreeWidgetItem;
        SetText(node, QString::fromStdString(text));
        node->setData(0, kKindRole, kind);
        nodes.append(node);
    }
    root->addChildren(nodes);
}

}  // namespace velmo
