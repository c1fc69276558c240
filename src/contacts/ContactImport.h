// Reading a contacts file the user chose: vCard or CSV, told apart by the content.
#pragma once

#include "contacts/Contact.h"

#include <QList>
#include <QString>

namespace ContactImport {

/// The contacts in the file at `path`. False with `error` set when it cannot be read or holds none.
bool readFile(const QString& path, QList<Contact>& contacts, QString& error);

} // namespace ContactImport
