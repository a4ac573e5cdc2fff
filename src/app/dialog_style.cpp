#include "app/dialog_style.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>

namespace velmo {

QHBoxLayout* OkCancelRow(QDialog* dialog) {
    auto* ok = new QPushButton("OK", dialog);
    ok->setObjectName("bb_OK");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Отмена", dialog);
    cancel->setObjectName("bb_Cancel");
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

void FixSize(QDialog* dialog, QSize designed) {
    dialog->setFixedSize(designed.expandedTo(dialog->layout()->sizeHint()));
}

QLabel* Buddy(const QString& text, QWidget* field) {
    auto* label = new QLabel(text);
    label->setBuddy(field);
    return label;
}

}  // namespace velmo
