// The retention dialog's widgets on RetentionRules.
#include "library/gui/RetentionDialog.h"

#include "library/RetentionRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

namespace {

enum Keep { AsParent, ForEver, Days };

} // namespace

RetentionDialog::RetentionDialog(RetentionRules& rules, QString list, QWidget* parent)
    : QDialog(parent), m_rules(rules), m_list(std::move(list)), m_keep(new QComboBox(this)), m_days(new QSpinBox(this)),
      m_protected(new QCheckBox(QStringLiteral("Protected: never deleted automatically"), this)),
      m_cap(new QSpinBox(this)) {
    setObjectName(QStringLiteral("RetentionDialog"));
    setWindowTitle(QStringLiteral("Retention of ") + m_list);
    m_keep->addItems(
        {QStringLiteral("As the parent list"), QStringLiteral("For ever"), QStringLiteral("For some days")});
    m_days->setRange(1, 36500);
    m_days->setSuffix(QStringLiteral(" days"));
    m_cap->setRange(0, 100000000);
    m_cap->setSuffix(QStringLiteral(" MB"));
    m_cap->setSpecialValueText(QStringLiteral("No cap"));

    const std::optional<int> days = m_rules.ownDays(m_list);
    m_keep->setCurrentIndex(!days ? AsParent : *days == 0 ? ForEver : Days);
    m_days->setValue(days && *days > 0 ? *days : 30);
    m_days->setEnabled(m_keep->currentIndex() == Days);
    m_protected->setChecked(m_rules.ownProtected(m_list));
    m_cap->setValue(m_rules.capMegabytes());
    connect(m_keep, &QComboBox::currentIndexChanged, this, [this](int index) { m_days->setEnabled(index == Days); });

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Keep recordings"), m_keep);
    form->addRow(QStringLiteral("Days"), m_days);
    form->addRow(m_protected);
    form->addRow(QStringLiteral("Size cap of all recordings"), m_cap);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &RetentionDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &RetentionDialog::reject);
    form->addRow(buttons);
}

void RetentionDialog::accept() {
    const int keep = m_keep->currentIndex();
    m_rules.setDays(m_list,
                    keep == AsParent ? std::nullopt : std::optional<int>(keep == ForEver ? 0 : m_days->value()));
    m_rules.setProtected(m_list, m_protected->isChecked());
    m_rules.setCapMegabytes(m_cap->value());
    QDialog::accept();
}
