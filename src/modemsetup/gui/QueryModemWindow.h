// The "Query Modem" window: the developer's view of the modem's replies.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QueryModemBox;

/// One editable text box `Memo1`. It shows the probes' reply lines; what the developer types becomes
/// the lines the next developer-mode probe reads.
class QueryModemWindow : public QDialog {
    Q_OBJECT
public:
    explicit QueryModemWindow(QWidget* parent = nullptr);

    void follow(QueryModemBox& box);
    QPlainTextEdit* memo() const { return m_memo; }

private:
    QPlainTextEdit* m_memo;
    QueryModemBox* m_box = nullptr;
    bool m_updating = false;
};
