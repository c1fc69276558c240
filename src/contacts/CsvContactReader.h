// Reading contacts from the CSV files phones and mail programs export.
#pragma once

#include "contacts/Contact.h"

#include <QByteArray>
#include <QList>

/// Knows the columns of Google Contacts (Name or First/Middle/Last Name, "Phone N - Label/Type" and
/// "Phone N - Value" with several numbers joined by " ::: "), Outlook and Thunderbird (Home Phone,
/// Mobile Phone, Business Phone, ...), and a simple name,number file with or without a header. Fields
/// may be quoted; the separator is a comma, semicolon or tab; a byte order mark is skipped; text is
/// UTF-8 or UTF-16 with its mark, else Latin-1.
class CsvContactReader {
public:
    static QList<Contact> read(const QByteArray& bytes);
};
