// Reading contacts from vCard files of versions 2.1, 3.0 and 4.0 as phones and mail programs export them.
#pragma once

#include "contacts/Contact.h"

#include <QByteArray>
#include <QList>

/// Takes FN (else N, else ORG), every TEL with its types, and the program's own do-not-record mark;
/// unfolds continued lines, decodes quoted-printable and base64 values and the CHARSET parameter, and
/// takes everything else as UTF-8. Any bytes give a list (perhaps empty); nothing is trusted.
class VCardReader {
public:
    /// The property that marks a contact whose calls are not recorded automatically.
    static constexpr const char* kDoNotRecordProperty = "X-ORLAMO-DO-NOT-RECORD";

    static QList<Contact> read(const QByteArray& bytes);
    /// True when `bytes` look like a vCard file (a BEGIN:VCARD line near the start).
    static bool looksLikeVCard(const QByteArray& bytes);
};
