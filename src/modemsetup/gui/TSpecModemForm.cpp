// The "Modem initialization" window.
#include "modemsetup/gui/TSpecModemForm.h"

TSpecModemForm::TSpecModemForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SpecModemForm"));
    setWindowTitle(QStringLiteral("Modem initialization"));
}
