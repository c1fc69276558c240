// The "Move" window.
#include "library/gui/TMoveToForm.h"

TMoveToForm::TMoveToForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("MoveToForm"));
    setWindowTitle(QStringLiteral("Move"));
}
