#pragma once
// Tfm_String, "Последовательность вращений": a sequence's name and its move string.

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

namespace velmo {

class Tfm_String : public QDialog {
    Q_OBJECT
public:
    Tfm_String(QWidget* owner, const QString& name, const QString& moves);

    QString Name() const;
    QString Moves() const;

    QLineEdit* ed_Name;
    QPlainTextEdit* mm_String;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace velmo
