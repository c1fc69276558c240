// The contacts file and the number index.
#include "contacts/ContactBook.h"

#include "contacts/VCardReader.h"
#include "contacts/VCardWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

ContactBook::ContactBook(QString path, const QString& homeCountry) : m_path(std::move(path)), m_numbers(homeCountry) {}

void ContactBook::load() {
    QFile file(m_path);
    m_contacts.clear();
    m_loadedModified = QFileInfo(m_path).lastModified();
    if (file.open(QIODevice::ReadOnly))
        m_contacts = VCardReader::read(file.read(ContactLimits::kMaxFileBytes));
    rebuildIndex();
}

void ContactBook::reloadIfChanged() {
    if (QFileInfo(m_path).lastModified() != m_loadedModified)
        load();
}

void ContactBook::save() {
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(VCardWriter::write(m_contacts)) < 0 || !file.commit())
        throw ContactFileError("Unable to write to " + m_path.toStdString());
    m_loadedModified = QFileInfo(m_path).lastModified();
}

void ContactBook::rebuildIndex() {
    m_byKey.clear();
    m_byTail.clear();
    for (qsizetype i = 0; i < m_contacts.size(); ++i) {
        for (const ContactNumber& number : m_contacts[i].numbers) {
            const NumberKey key = m_numbers.keyOf(number.number);
            if (key.empty())
                continue;
            // The first contact that has a number keeps it.
            if (!m_byKey.contains(key.key))
                m_byKey.insert(key.key, i);
            if (key.parsed)
                m_byTail[key.tailKey].append({key, i});
        }
    }
}

qsizetype ContactBook::indexOf(const QString& number) const {
    const NumberKey key = m_numbers.keyOf(number);
    if (key.empty())
        return -1;
    if (const auto exact = m_byKey.constFind(key.key); exact != m_byKey.cend())
        return exact.value();
    if (!key.parsed)
        return -1;
    const auto tail = m_byTail.constFind(key.tailKey);
    if (tail == m_byTail.cend())
        return -1;
    for (const Candidate& candidate : tail.value())
        if (candidate.key.sameLine(key))
            return candidate.contact;
    return -1;
}

qsizetype ContactBook::indexOfName(const QString& name) const {
    for (qsizetype i = 0; i < m_contacts.size(); ++i)
        if (m_contacts[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const Contact* ContactBook::find(const QString& number) const {
    const qsizetype index = indexOf(number);
    return index >= 0 ? &m_contacts[index] : nullptr;
}

void ContactBook::set(const QString& number, const QString& name, bool doNotRecord) {
    const QString cleanName = cleanContactName(name);
    const QString cleanNumber = cleanContactNumber(number);
    qsizetype index = indexOf(cleanNumber);
    if (index < 0) {
        index = indexOfName(cleanName);
        if (index < 0) {
            m_contacts.append(Contact{cleanName, {}, false});
            index = m_contacts.size() - 1;
        }
        m_contacts[index].numbers.append({cleanNumber, {}});
    }
    m_contacts[index].name = cleanName;
    m_contacts[index].doNotRecord = doNotRecord;
    rebuildIndex();
}

bool ContactBook::removeNumber(const QString& number) {
    const qsizetype index = indexOf(number);
    if (index < 0)
        return false;
    const NumberKey key = m_numbers.keyOf(number);
    Contact& contact = m_contacts[index];
    contact.numbers.removeIf([&](const ContactNumber& n) { return m_numbers.keyOf(n.number).sameLine(key); });
    if (contact.numbers.isEmpty())
        m_contacts.removeAt(index);
    rebuildIndex();
    return true;
}

void ContactBook::removeContact(qsizetype index) {
    if (index < 0 || index >= m_contacts.size())
        return;
    m_contacts.removeAt(index);
    rebuildIndex();
}

void ContactBook::replaceContact(qsizetype index, const Contact& contact) {
    if (index < 0 || index >= m_contacts.size())
        return;
    m_contacts[index] = contact;
    rebuildIndex();
}

ContactImportResult ContactBook::merge(const QList<Contact>& imported) {
    ContactImportResult result;
    QHash<QString, qsizetype> byName;
    for (qsizetype i = m_contacts.size() - 1; i >= 0; --i)
        byName.insert(m_contacts[i].name.toCaseFolded(), i);
    QSet<QString> taken; // the keys this import has added
    for (const Contact& incoming : imported) {
        if (m_contacts.size() >= ContactLimits::kMaxContacts)
            break;
        Contact fresh{incoming.name, {}, incoming.doNotRecord};
        for (const ContactNumber& number : incoming.numbers) {
            const NumberKey key = m_numbers.keyOf(number.number);
            if (key.empty())
                continue;
            if (taken.contains(key.key) || indexOf(number.number) >= 0) {
                ++result.numbersKnown;
                continue;
            }
            taken.insert(key.key);
            fresh.numbers.append(number);
            ++result.numbersAdded;
        }
        if (fresh.numbers.isEmpty())
            continue;
        const QString folded = fresh.name.toCaseFolded();
        if (const auto known = byName.constFind(folded); known != byName.cend()) {
            Contact& contact = m_contacts[known.value()];
            contact.numbers.append(fresh.numbers);
            contact.numbers = contact.numbers.mid(0, ContactLimits::kMaxNumbersPerContact);
            contact.doNotRecord = contact.doNotRecord || fresh.doNotRecord;
        } else {
            byName.insert(folded, m_contacts.size());
            m_contacts.append(fresh);
            ++result.contactsAdded;
        }
    }
    rebuildIndex();
    return result;
}
