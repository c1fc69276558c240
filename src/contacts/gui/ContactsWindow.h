// The contacts window: the list of names and numbers, add, edit, delete and import.
#pragma once

#include <QDialog>

class ContactBook;
class Prompter;
class QTableWidget;

/// Every change is saved to the contacts file at once; a failing save is reported through `prompter`.
class ContactsWindow : public QDialog {
    Q_OBJECT
public:
    ContactsWindow(ContactBook& book, Prompter& prompter, QWidget* parent = nullptr);

    /// Asks for the name of `number` (the caller of a recording) and stores it.
    void nameCaller(const QString& number);
    /// The list shown again from the book.
    void refresh();

private:
    void add();
    void edit();
    void remove();
    void import();
    bool save();
    /// The contact and number index of the current row, or false.
    bool currentEntry(qsizetype& contact, qsizetype& number) const;
    bool editNumber(const QString& title, const QString& name, const QString& number, bool doNotRecord);

    ContactBook& m_book;
    Prompter& m_prompter;
    QTableWidget* m_table;
};
