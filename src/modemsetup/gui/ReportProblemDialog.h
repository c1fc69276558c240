// The "Report a problem" window: the diagnostics report.
#pragma once

#include <QDialog>

/// Created once at start; its commands arrive with the work they do and are not reachable before.
class ReportProblemDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReportProblemDialog(QWidget* parent = nullptr);
};
