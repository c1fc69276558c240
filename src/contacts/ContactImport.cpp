// Import of a vCard or CSV file.
#include "contacts/ContactImport.h"

#include "contacts/CsvContactReader.h"
#include "contacts/VCardReader.h"

#include <QFile>

namespace ContactImport {

bool readFile(const QString& path, QList<Contact>& contacts, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read ") + path;
        return false;
    }
    const QByteArray bytes = file.read(ContactLimits::kMaxFileBytes);
    contacts = VCardReader::looksLikeVCard(bytes) ? VCardReader::read(bytes) : CsvContactReader::read(bytes);
    if (contacts.isEmpty()) {
        error = path + QStringLiteral(" holds no contact with a name and a telephone number");
        return false;
    }
    return true;
}

} // namespace ContactImport
