// The "Volume level" window.
#include "postproc/gui/VolumeLevelDialog.h"

VolumeLevelDialog::VolumeLevelDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmVolLevel"));
    setWindowTitle(QStringLiteral("Volume level"));
}
