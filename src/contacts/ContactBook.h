// The user's contacts: a vCard file in the working folder, and the look-up of a caller's number.
#pragma once

#include "contacts/Contact.h"
#include "contacts/PhoneNumbers.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <stdexcept>

/// Raised when the contacts file cannot be written; the text says which file.
class ContactFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// What an import did.
struct ContactImportResult {
    int contactsAdded = 0;
    int numbersAdded = 0;
    int numbersKnown = 0; ///< numbers already in the book, left as they were
};

/// Holds the contacts of `contacts.vcf` and finds the one a number belongs to in constant time: every
/// contact number's key and tail key are indexed when the book changes.
class ContactBook {
public:
    static constexpr const char* kFileName = "contacts.vcf";

    /// `path` is the vCard file; numbers are read against `homeCountry` (see PhoneNumbers).
    ContactBook(QString path, const QString& homeCountry);

    const QString& path() const { return m_path; }
    const PhoneNumbers& numbers() const { return m_numbers; }
    const QList<Contact>& contacts() const { return m_contacts; }

    /// Reads the file; a missing one is an empty book. What cannot be read in it is left out.
    void load();
    /// Reads the file again when another program (orlamo-cli) has changed it since.
    void reloadIfChanged();
    /// Writes the file atomically; raises ContactFileError.
    void save();

    /// The contact `number` belongs to, or null.
    const Contact* find(const QString& number) const;
    /// Gives `number` the name `name` and the do-not-record mark: the contact that has the number is
    /// renamed, else the number joins the contact of that name, else a new contact is made. Not saved.
    void set(const QString& number, const QString& name, bool doNotRecord);
    /// Removes `number` from its contact, and the contact when no number is left. False when no contact
    /// has it. Not saved.
    bool removeNumber(const QString& number);
    /// Removes the contact at `index` of contacts(). Not saved.
    void removeContact(qsizetype index);
    /// Replaces the contact at `index` of contacts(). Not saved.
    void replaceContact(qsizetype index, const Contact& contact);
    /// Adds the numbers of `imported` that the book does not know: to the contact of the same name,
    /// else as new contacts. Not saved.
    ContactImportResult merge(const QList<Contact>& imported);

private:
    struct Candidate {
        NumberKey key;
        qsizetype contact;
    };
    void rebuildIndex();
    qsizetype indexOf(const QString& number) const;
    qsizetype indexOfName(const QString& name) const;

    QString m_path;
    PhoneNumbers m_numbers;
    QList<Contact> m_contacts;
    QHash<QString, qsizetype> m_byKey;
    QHash<QString, QList<Candidate>> m_byTail;
    QDateTime m_loadedModified;
};
