// Name, number and mark of one contact number.
#include "contacts/gui/ContactEditDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

ContactEditDialog::ContactEditDialog(const QString& title, QWidget* parent)
    : QDialog(parent), m_name(new QLineEdit(this)), m_number(new QLineEdit(this)),
      m_doNotRecord(new QCheckBox(QStringLiteral("Do not record"), this)) {
    setObjectName(QStringLiteral("ContactEditDialog"));
    setWindowTitle(title);
    m_name->setObjectName(QStringLiteral("edName"));
    m_number->setObjectName(QStringLiteral("edNumber"));
    m_doNotRecord->setObjectName(QStringLiteral("cbDoNotRecord"));
    m_doNotRecord->setToolTip(QStringLiteral("Calls from this number are not recorded automatically"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Name:"), m_name);
    layout->addRow(QStringLiteral("Number:"), m_number);
    layout->addRow(QString(), m_doNotRecord);
    layout->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto update = [this, buttons] {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!name().isEmpty() && !number().isEmpty());
    };
    connect(m_name, &QLineEdit::textChanged, this, update);
    connect(m_number, &QLineEdit::textChanged, this, update);
    update();
}

void ContactEditDialog::setValues(const QString& name, const QString& number, bool doNotRecord) {
    m_name->setText(name);
    m_number->setText(number);
    m_doNotRecord->setChecked(doNotRecord);
}

QString ContactEditDialog::name() const {
    return m_name->text().trimmed();
}

QString ContactEditDialog::number() const {
    return m_number->text().trimmed();
}

bool ContactEditDialog::doNotRecord() const {
    return m_doNotRecord->isChecked();
}
