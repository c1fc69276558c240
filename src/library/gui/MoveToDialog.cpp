// The "Move" window.
#include "library/gui/MoveToDialog.h"

MoveToDialog::MoveToDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("MoveToForm"));
    setWindowTitle(QStringLiteral("Move"));
}
