// The "Report a problem" window.
#include "modemsetup/gui/ReportProblemDialog.h"

ReportProblemDialog::ReportProblemDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmAskSupport"));
    setWindowTitle(QStringLiteral("Report a problem"));
}
