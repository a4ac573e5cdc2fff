#include "app/about_box.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/dialog_style.h"
#include "app/images/images.h"
#include "platform/version.h"

namespace velmo {

namespace {

constexpr std::string_view kPath = "StringFileInfo\\041904E3\\";
constexpr int kMaxVersionText = 255;

QLabel* Label(const char* name, const char* css) {
    auto* label = new QLabel(name);
    label->setObjectName(name);
    label->setStyleSheet(css);
    return label;
}

std::optional<QString> Query(const char* key) {
    const std::optional<std::string> value = QueryVersionValue(std::string(kPath) + key);
    if (!value) return std::nullopt;
    return QString::fromStdString(*value);
}

}  // namespace

Tfm_About::Tfm_About(QWidget* owner, const QString& helpAddress)
    : QDialog(owner, kFixedDialogFlags) {
    setObjectName("Tfm_About");
    setWindowTitle("О программе");

    auto* picture = new QLabel;
    picture->setPixmap(AboutPicture());
    picture->setFixedSize(48, 48);
    lb_Name = Label("lb_Name", "font-family: Arial; font-weight: bold; font-size: 27px;");
    lb_Version = Label("lb_Version",
                       "font-family: Arial; font-weight: bold; font-style: italic; "
                       "font-size: 24px; color: blue;");
    lb_Version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lb_FileVersion = Label("lb_FileVersion", "");
    lb_InternalName = Label("lb_InternalName", "");
    lb_Company = Label("lb_Company",
                       "font-family: Arial; font-weight: bold; font-size: 21px; color: purple;");
    lb_CopyRight = Label("lb_CopyRight", "font-family: Arial; font-size: 13px;");
    lb_CopyRight->setWordWrap(true);

    lb_URL = new QLabel(helpAddress);
    lb_URL->setObjectName("lb_URL");
    lb_URL->setStyleSheet("color: blue; text-decoration: underline;");
    lb_URL->setAlignment(Qt::AlignRight);
    lb_URL->setCursor(Qt::PointingHandCursor);
    lb_URL->setWordWrap(true);
    // A click opens the address with the desktop's default program; what it answers is its own.
    lb_URL->installEventFilter(this);
    lb_URL->setTextInteractionFlags(Qt::NoTextInteraction);

    mm_Comments = new QPlainTextEdit("mm_Comments");
    mm_Comments->setObjectName("mm_Comments");
    mm_Comments->setReadOnly(true);
    mm_Comments->setFixedHeight(53);
    mm_Comments->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* bevel = new QFrame;
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);

    auto* ok = new QPushButton("OK");
    ok->setObjectName("bb_OK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* head = new QGridLayout;
    head->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    head->addWidget(lb_Name, 0, 1, 1, 2);
    head->addWidget(lb_Version, 1, 1);
    head->addWidget(lb_FileVersion, 1, 2, Qt::AlignBottom);
    head->addWidget(lb_InternalName, 2, 0, 1, 3);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(bevel);
    layout->addWidget(lb_Company);
    layout->addWidget(lb_CopyRight);
    layout->addWidget(lb_URL);
    layout->addWidget(mm_Comments);
    layout->addWidget(ok, 0, Qt::AlignHCenter);

    FillFromVersionInfo();
    FixSize(this, QSize(269, 265));
}

bool Tfm_About::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lb_URL && event->type() == QEvent::MouseButtonRelease) {
        QDesktopServices::openUrl(QUrl::fromUserInput(lb_URL->text()));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Tfm_About::FillFromVersionInfo() {
    if (VersionInfoSize() == 0) return;
    if (auto v = Query("ProductName")) lb_Name->setText(*v);
    if (auto v = Query("ProductVersion")) lb_Version->setText("версия " + *v);
    if (auto v = Query("FileVersion")) lb_FileVersion->setText("(" + v->left(kMaxVersionText) + ")");
    if (auto v = Query("CompanyName")) lb_Company->setText(*v);
    if (auto v = Query("LegalTradeMarks")) lb_CopyRight->setText(*v);
    if (auto v = Query("LegalCopyright")) lb_CopyRight->setText(lb_CopyRight->text() + ", " + *v);
    if (auto v = Query("InternalName"))
        lb_InternalName->setText("(" + v->left(kMaxVersionText) + ")");
    if (auto v = Query("Comments")) mm_Comments->setPlainText(*v);
}

}  // namespace velmo
