#pragma once
// Tfm_About, "О программе": name, version, maker and notice from the executable's version
// information, and the address of the help pages.

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace velmo {

class Tfm_About : public QDialog {
    Q_OBJECT
public:
    // `helpAddress` is the address shown in lb_URL (the installed help page).
    Tfm_About(QWidget* owner, const QString& helpAddress);

    QLabel* lb_Name;
    QLabel* lb_Version;
    QLabel* lb_FileVersion;
    QLabel* lb_InternalName;
    QLabel* lb_Company;
    QLabel* lb_CopyRight;
    QLabel* lb_URL;
    QPlainTextEdit* mm_Comments;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillFromVersionInfo();
};

}  // namespace velmo
