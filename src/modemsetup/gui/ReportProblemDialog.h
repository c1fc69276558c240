// The "Report a problem" window: the user describes the problem; OK sends it with the modem's answers.
#pragma once

#include <QDialog>

class QPlainTextEdit;

class ReportProblemDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReportProblemDialog(QWidget* parent = nullptr);

    QPlainTextEdit* memo() const { return m_memo; }
    /// The answer to `sendRequested`: a report handed over empties and closes the window; one that was
    /// not keeps the description, so the user can try again or copy it.
    void sendingFinished(bool sent);

Q_SIGNALS:
    /// OK: send this description; `sendingFinished` follows.
    void sendRequested(const QString& description);

private:
    QPlainTextEdit* m_memo;
};
