// The "Query Modem" window.
#include "modemsetup/gui/TfmQueryModem.h"

TfmQueryModem::TfmQueryModem(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmQueryModem"));
    setWindowTitle(QStringLiteral("Query Modem"));
}
