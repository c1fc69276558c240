// The "Finding Modems..." window.
#include "modemsetup/gui/TProgressForm.h"

TProgressForm::TProgressForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ProgressForm"));
    setWindowTitle(QStringLiteral("Finding Modems..."));
}
