// Writing contacts as a vCard 3.0 file other programs open.
#pragma once

#include "contacts/Contact.h"

#include <QByteArray>
#include <QList>

class VCardWriter {
public:
    /// UTF-8, CRLF line ends, lines folded at 75 bytes between characters; the do-not-record mark is
    /// VCardReader::kDoNotRecordProperty.
    static QByteArray write(const QList<Contact>& contacts);
};
