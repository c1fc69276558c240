// The "Report a problem" window.
#include "modemsetup/gui/TfmAskSupport.h"

TfmAskSupport::TfmAskSupport(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmAskSupport"));
    setWindowTitle(QStringLiteral("Report a problem"));
}
