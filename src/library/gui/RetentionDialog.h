// The list's "Retention..." dialog: how long its recordings are kept, protection, the size cap.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QSpinBox;
class RetentionRules;

/// Shows the list's own retention and, on OK, stores what the user chose.
class RetentionDialog : public QDialog {
    Q_OBJECT
public:
    RetentionDialog(RetentionRules& rules, QString list, QWidget* parent = nullptr);

    void accept() override;

private:
    RetentionRules& m_rules;
    QString m_list;
    QComboBox* m_keep;
    QSpinBox* m_days;
    QCheckBox* m_protected;
    QSpinBox* m_cap;
};
