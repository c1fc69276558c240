// The contacts list; names come from files and the line, so every cell is plain text.
#include "contacts/gui/ContactsWindow.h"

#include "base/Prompter.h"
#include "contacts/ContactBook.h"
#include "contacts/ContactImport.h"
#include "contacts/gui/ContactEditDialog.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

ContactsWindow::ContactsWindow(ContactBook& book, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_book(book), m_prompter(prompter), m_table(new QTableWidget(this)) {
    setObjectName(QStringLiteral("ContactsWindow"));
    setWindowTitle(QStringLiteral("Contacts"));
    resize(560, 380);
    m_table->setObjectName(QStringLiteral("gridContacts"));
    m_table->setColumnCount(3);
    m_table->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Number"), QStringLiteral("Record")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &ContactsWindow::edit);

    auto* buttons = new QHBoxLayout;
    const std::pair<const char*, void (ContactsWindow::*)()> commands[] = {
        {"Add...", &ContactsWindow::add},
        {"Edit...", &ContactsWindow::edit},
        {"Delete", &ContactsWindow::remove},
        {"Import...", &ContactsWindow::import},
    };
    for (const auto& [caption, handler] : commands) {
        auto* button = new QPushButton(QString::fromLatin1(caption), this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, handler);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addLayout(buttons);
    refresh();
}

void ContactsWindow::refresh() {
    m_book.reloadIfChanged();
    m_table->setRowCount(0);
    int row = 0;
    const QList<Contact>& contacts = m_book.contacts();
    for (qsizetype c = 0; c < contacts.size(); ++c) {
        for (qsizetype n = 0; n < contacts[c].numbers.size(); ++n) {
            m_table->insertRow(row);
            // QTableWidgetItem text is never read as markup.
            auto* name = new QTableWidgetItem(contacts[c].name);
            name->setData(Qt::UserRole, QList<QVariant>{qlonglong(c), qlonglong(n)});
            m_table->setItem(row, 0, name);
            m_table->setItem(row, 1, new QTableWidgetItem(m_book.numbers().display(contacts[c].numbers[n].number)));
            m_table->setItem(row, 2,
                             new QTableWidgetItem(contacts[c].doNotRecord ? QStringLiteral("Do not record")
                                                                          : QStringLiteral("Automatic")));
            ++row;
        }
    }
    m_table->resizeColumnsToContents();
}

bool ContactsWindow::currentEntry(qsizetype& contact, qsizetype& number) const {
    const QTableWidgetItem* item = m_table->item(m_table->currentRow(), 0);
    if (item == nullptr)
        return false;
    const QList<QVariant> at = item->data(Qt::UserRole).toList();
    contact = at.value(0).toLongLong();
    number = at.value(1).toLongLong();
    return contact < m_book.contacts().size() && number < m_book.contacts()[contact].numbers.size();
}

bool ContactsWindow::save() {
    try {
        m_book.save();
    } catch (const ContactFileError& error) {
        m_prompter.message(QString::fromStdString(error.what()), Prompter::Icon::Error);
        m_book.load();
        refresh();
        return false;
    }
    refresh();
    return true;
}

bool ContactsWindow::editNumber(const QString& title, const QString& name, const QString& number, bool doNotRecord) {
    ContactEditDialog dialog(title, this);
    dialog.setValues(name, number, doNotRecord);
    if (dialog.exec() != QDialog::Accepted || cleanContactNumber(dialog.number()).isEmpty() ||
        cleanContactName(dialog.name()).isEmpty())
        return false;
    m_book.set(dialog.number(), dialog.name(), dialog.doNotRecord());
    return save();
}

void ContactsWindow::add() {
    editNumber(QStringLiteral("Add contact"), QString(), QString(), false);
}

void ContactsWindow::nameCaller(const QString& number) {
    const Contact* known = m_book.find(number);
    editNumber(QStringLiteral("Name this caller"), known ? known->name : QString(), number,
               known && known->doNotRecord);
}

void ContactsWindow::edit() {
    qsizetype c = 0;
    qsizetype n = 0;
    if (!currentEntry(c, n))
        return;
    const Contact before = m_book.contacts()[c];
    ContactEditDialog dialog(QStringLiteral("Edit contact"), this);
    dialog.setValues(before.name, before.numbers[n].number, before.doNotRecord);
    if (dialog.exec() != QDialog::Accepted || cleanContactNumber(dialog.number()).isEmpty() ||
        cleanContactName(dialog.name()).isEmpty())
        return;
    Contact after = before;
    after.name = cleanContactName(dialog.name());
    after.numbers[n].number = cleanContactNumber(dialog.number());
    after.doNotRecord = dialog.doNotRecord();
    m_book.replaceContact(c, after);
    save();
}

void ContactsWindow::remove() {
    qsizetype c = 0;
    qsizetype n = 0;
    if (!currentEntry(c, n))
        return;
    Contact contact = m_book.contacts()[c];
    contact.numbers.removeAt(n);
    if (contact.numbers.isEmpty())
        m_book.removeContact(c);
    else
        m_book.replaceContact(c, contact);
    save();
}

void ContactsWindow::import() {
    const std::optional<QString> file =
        m_prompter.chooseOpenFile(QStringLiteral("Import contacts"), QDir::homePath(),
                                  QStringLiteral("Contacts (*.vcf *.vcard *.csv);;All files (*)"));
    if (!file)
        return;
    QList<Contact> contacts;
    QString error;
    if (!ContactImport::readFile(*file, contacts, error)) {
        m_prompter.message(error, Prompter::Icon::Warning);
        return;
    }
    const ContactImportResult result = m_book.merge(contacts);
    if (save())
        m_prompter.message(QStringLiteral("Imported %1 contacts, %2 numbers (%3 already known).")
                               .arg(result.contactsAdded)
                               .arg(result.numbersAdded)
                               .arg(result.numbersKnown));
}
