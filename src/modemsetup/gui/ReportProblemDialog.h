// The "Report a problem" window: the user describes the problem; OK sends it with the modem's answers.
#pragma once

#include <QDialog>

class QPlainTextEdit;

class ReportProblemDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReportProblemDialog(QWidget* parent = nullptr);

    QPlainTextEdit* memo() const { return m_memo; }

Q_SIGNALS:
    /// OK: send this description (the window closes afterwards).
    void sendRequested(const QString& description);

private:
    QPlainTextEdit* m_memo;
};
