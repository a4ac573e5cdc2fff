#pragma once
// Tfm_Params, "Параметры": the two turn speeds in tenths of a second and the logging switch.

#include <QDialog>

class QCheckBox;
class QSlider;

namespace velmo {

class Tfm_Params : public QDialog {
    Q_OBJECT
public:
    explicit Tfm_Params(QWidget* owner);

    QSlider* trb_SpeedHand;
    QSlider* trb_SpeedAuto;
    QCheckBox* cb_DoLog;
};

}  // namespace velmo
