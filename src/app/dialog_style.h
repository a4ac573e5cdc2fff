#pragma once
// What the program's small dialogs share: a fixed border with only the system-menu (close)
// button, OK and "Отмена" buttons at the bottom right, and a size fixed at what was designed
// or at what the current font needs, whichever is larger.

#include <QSize>
#include <Qt>

class QDialog;
class QHBoxLayout;
class QLabel;
class QString;
class QWidget;

namespace velmo {

inline constexpr Qt::WindowFlags kFixedDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

// bb_OK (the default button, accepts) and bb_Cancel ("Отмена", rejects).
QHBoxLayout* OkCancelRow(QDialog* dialog);
void FixSize(QDialog* dialog, QSize designed);
// A label whose access letter (after '&') gives `field` the keyboard.
QLabel* Buddy(const QString& text, QWidget* field);

}  // namespace velmo
