// The "Volume level" window.
#include "postproc/gui/TfmVolLevel.h"

TfmVolLevel::TfmVolLevel(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmVolLevel"));
    setWindowTitle(QStringLiteral("Volume level"));
}
