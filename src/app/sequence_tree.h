#pragma once
// The tree of moves tv_Moves beside the desk: the 24 basic turns, the frequent sequences and
// the user's own. Every node carries its text and its kind:
//   10 root of the basic turns, 1 a basic turn,
//   20 root of the frequent sequences, 2 a frequent sequence,
//   30 root of the user's sequences, 3 a user sequence.
// The fixed tree has exactly the three roots, in that order; the two sequence lists are loaded
// from the settings file into the last two.

#include <QTreeWidget>
#include <string>
#include <vector>

namespace velmo {

enum NodeKind : int {
    kBasicTurnNode = 1,
    kFrequentNode = 2,
    kUserNode = 3,
    kBasicRoot = 10,
    kFrequentRoot = 20,
    kUserRoot = 30,
};

class TSequenceTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit TSequenceTree(QWidget* parent = nullptr);

    static int Kind(const QTreeWidgetItem* node);
    // A node's whole text. The tree shows at most kShownLength characters of it: drawing and
    // measuring a pasted text of megabytes would stall every repaint.
    static QString Text(const QTreeWidgetItem* node);
    static void SetText(QTreeWidgetItem* node, const QString& text);
    static constexpr int kShownLength = 1000;
    // The selected node's kind, 0 when nothing is selected.
    int SelectedKind() const;
    QTreeWidgetItem* Selected() const;

    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& text, int kind);

    // A sequence root: the last node of that kind in display order, null if there is none.
    QTreeWidgetItem* FindRoot(int rootKind) const;
    // The texts of a root's children, in order (UTF-8).
    std::vector<std::string> ChildTexts(int rootKind) const;
    // Fills a root of the fixed tree with entries (UTF-8): the frequent one is the second-to-last
    // top-level node, the user one the last.
    void LoadList(int rootKind, const std::vector<std::string>& texts);

private:
    void AddFixedNodes();
};

}  // namespace velmo
