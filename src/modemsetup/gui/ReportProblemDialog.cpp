// The "Report a problem" window.
#include "modemsetup/gui/ReportProblemDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

ReportProblemDialog::ReportProblemDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmAskSupport"));
    setWindowTitle(QStringLiteral("Report a problem"));
    auto* image = new QLabel(this);
    image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    auto* text = new QLabel(
        QStringLiteral("An email will be sent with your modem parameters. Please describe the problem you have"), this);
    text->setWordWrap(true);
    text->setTextFormat(Qt::PlainText);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setAccessibleName(QStringLiteral("Description of the problem"));
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btnOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Q_EMIT sendRequested(m_memo->toPlainText()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* top = new QHBoxLayout;
    top->addWidget(image, 0, Qt::AlignTop);
    top->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_memo, 1);
    layout->addWidget(buttons);
    resize(420, 300);
}

void ReportProblemDialog::sendingFinished(bool sent) {
    if (!sent)
        return;
    m_memo->clear();
    accept();
}
