#include "app/sequence_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "app/dialog_style.h"

namespace velmo {

Tfm_String::Tfm_String(QWidget* owner, const QString& name, const QString& moves)
    : QDialog(owner, kFixedDialogFlags) {
    setObjectName("Tfm_String");
    setWindowTitle("Последовательность вращений");

    ed_Name = new QLineEdit(name);
    ed_Name->setObjectName("ed_Name");
    ed_Name->setMinimumWidth(313);
    mm_String = new QPlainTextEdit(moves);
    mm_String->setObjectName("mm_String");
    // Three lines, as designed, in whatever font the desktop uses.
    mm_String->setMinimumWidth(313);
    mm_String->setFixedHeight(std::max(61, 3 * mm_String->fontMetrics().lineSpacing() + 12));
    mm_String->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mm_String->setTabChangesFocus(true);
    mm_String->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Buddy("&Название:", ed_Name));
    layout->addWidget(ed_Name);
    layout->addWidget(Buddy("&Последоваетльность:", mm_String));
    layout->addWidget(mm_String);
    layout->addLayout(OkCancelRow(this));
    FixSize(this, QSize(329, 185));
}

QString Tfm_String::Name() const { return ed_Name->text(); }
QString Tfm_String::Moves() const { return mm_String->toPlainText(); }

// Enter in the move string does not break the line: it presses the default button.
bool Tfm_String::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mm_String && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace velmo
