// The "Query Modem" window.
#include "modemsetup/gui/QueryModemWindow.h"

#include "modemsetup/QueryModemBox.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

QueryModemWindow::QueryModemWindow(QWidget* parent) : QDialog(parent), m_memo(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("fmQueryModem"));
    setWindowTitle(QStringLiteral("Query Modem"));
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setAccessibleName(QStringLiteral("Modem replies"));
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_memo);
    resize(480, 320);
}

void QueryModemWindow::follow(QueryModemBox& box) {
    m_box = &box;
    auto show = [this] {
        if (m_updating)
            return;
        m_updating = true;
        m_memo->setPlainText(m_box->text());
        m_updating = false;
    };
    connect(&box, &QueryModemBox::changed, this, show);
    connect(m_memo, &QPlainTextEdit::textChanged, this, [this] {
        if (m_updating || m_box == nullptr)
            return;
        m_updating = true;
        m_box->setText(m_memo->toPlainText());
        m_updating = false;
    });
    show();
}
