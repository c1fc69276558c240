// The small dialog that names a number: name, number and the do-not-record mark.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

class ContactEditDialog : public QDialog {
    Q_OBJECT
public:
    explicit ContactEditDialog(const QString& title, QWidget* parent = nullptr);

    void setValues(const QString& name, const QString& number, bool doNotRecord);
    QString name() const;
    QString number() const;
    bool doNotRecord() const;

private:
    QLineEdit* m_name;
    QLineEdit* m_number;
    QCheckBox* m_doNotRecord;
};
