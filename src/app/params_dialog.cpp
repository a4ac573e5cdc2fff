#include "app/params_dialog.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include "app/dialog_style.h"

namespace velmo {

namespace {

QSlider* SpeedTrackBar(const char* name, int position) {
    auto* bar = new QSlider(Qt::Horizontal);
    bar->setObjectName(name);
    bar->setRange(1, 20);
    bar->setPageStep(5);
    bar->setSingleStep(1);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setTickInterval(1);
    bar->setValue(position);
    return bar;
}

// "0.1с" under the left end, "1с" under the centre, "2с" right-aligned under the right end.
QWidget* SpeedScale() {
    auto* scale = new QWidget;
    auto* row = new QGridLayout(scale);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel("0.1с"), 0, 0, Qt::AlignLeft);
    row->addWidget(new QLabel("1с"), 0, 1, Qt::AlignHCenter);
    row->addWidget(new QLabel("2с"), 0, 2, Qt::AlignRight);
    return scale;
}

}  // namespace

Tfm_Params::Tfm_Params(QWidget* owner) : QDialog(owner, kFixedDialogFlags) {
    setObjectName("Tfm_Params");
    setWindowTitle("Параметры");

    trb_SpeedHand = SpeedTrackBar("trb_SpeedHand", 10);
    trb_SpeedAuto = SpeedTrackBar("trb_SpeedAuto", 7);
    auto* bevel = new QFrame;
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);

    auto* speeds = new QGroupBox("Скорость вращений");
    auto* column = new QVBoxLayout(speeds);
    column->addWidget(Buddy("&Ручных, секунд:", trb_SpeedHand));
    column->addWidget(trb_SpeedHand);
    column->addWidget(SpeedScale());
    column->addWidget(bevel);
    column->addWidget(Buddy("&Автоматических, секунд:", trb_SpeedAuto));
    column->addWidget(trb_SpeedAuto);
    column->addWidget(SpeedScale());

    cb_DoLog = new QCheckBox("&Вести журнал всех операций (вращений)");
    cb_DoLog->setObjectName("cb_DoLog");
    cb_DoLog->setChecked(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(speeds);
    layout->addWidget(cb_DoLog);
    layout->addLayout(OkCancelRow(this));
    FixSize(this, QSize(321, 221));
}

}  // namespace velmo
