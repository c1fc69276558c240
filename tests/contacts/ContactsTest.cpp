// Contacts as phones and mail programs export them, the contacts file, and numbers matched as people write them.
#include "contacts/CallerIdText.h"
#include "contacts/ContactBook.h"
#include "contacts/ContactImport.h"
#include "contacts/CsvContactReader.h"
#include "contacts/VCardReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString dataFile(const char* name) {
    return qEnvironmentVariable("ORLAMO_TEST_DATA") + QStringLiteral("/contacts/") + QLatin1String(name);
}

QString numbersOf(const Contact& contact) {
    QStringList out;
    for (const ContactNumber& number : contact.numbers)
        out.append(number.number + QLatin1Char('[') + number.types.join(QLatin1Char(',')) + QLatin1Char(']'));
    return out.join(QLatin1Char(' '));
}

} // namespace

TEST(ContactImportTest, ReadsAPhonesVCardExportOfEveryVersion) {
    QList<Contact> contacts;
    QString error;
    ASSERT_TRUE(ContactImport::readFile(dataFile("phone-export.vcf"), contacts, error)) << error.toStdString();
    // The card without a number is left out.
    ASSERT_EQ(contacts.size(), 4);
    // 2.1: quoted-printable UTF-8 over a soft line break, bare types, a folded base64 photo skipped.
    EXPECT_EQ(contacts[0].name, QStringLiteral("Jürgen Müller Großhandel GmbH"));
    EXPECT_EQ(numbersOf(contacts[0]), QStringLiteral("+49 151 23456789[cell,pref] 030 1234567[home]"));
    // 2.1 without FN: the name from N, in ISO-8859-1.
    EXPECT_EQ(contacts[1].name, QStringLiteral("René Lefèvre"));
    EXPECT_EQ(numbersOf(contacts[1]), QStringLiteral("(312) 555-0199[work,voice]"));
    // 3.0: escapes, grouped properties, repeated type parameters.
    EXPECT_EQ(contacts[2].name, QStringLiteral("Dr. Jane Q. Doe, PhD"));
    EXPECT_EQ(numbersOf(contacts[2]), QStringLiteral("+1 (312) 555-1234[cell,voice,pref] 5550100[home,voice]"));
    // 4.0: a tel: address with an extension, UTF-8 name.
    EXPECT_EQ(contacts[3].name, QStringLiteral("王小明"));
    EXPECT_EQ(numbersOf(contacts[3]), QStringLiteral("+1-650-253-0000[voice,work]"));
}

TEST(ContactImportTest, ReadsTheCsvOfGoogleOutlookAndASimpleList) {
    QList<Contact> contacts;
    QString error;
    ASSERT_TRUE(ContactImport::readFile(dataFile("google.csv"), contacts, error)) << error.toStdString();
    ASSERT_EQ(contacts.size(), 2);
    EXPECT_EQ(contacts[0].name, QStringLiteral("Anna Schmidt"));
    EXPECT_EQ(numbersOf(contacts[0]), QStringLiteral("+49 170 1234567[cell] +49 170 7654321[cell] 030 9876543[home]"));
    // No Name: given and family name.
    EXPECT_EQ(contacts[1].name, QStringLiteral("Bob Miller"));
    EXPECT_EQ(numbersOf(contacts[1]), QStringLiteral("(312) 555-0142[work]"));

    const QList<Contact> outlook = CsvContactReader::read(
        "\"First Name\",\"Middle Name\",\"Last Name\",\"Business Phone\",\"Home Phone\",\"Mobile Phone\"\r\n"
        "\"Carl\",\"\",\"Jones\",\"\",\"(312) 555-0111\",\"(312) 555-0112\"\r\n");
    ASSERT_EQ(outlook.size(), 1);
    EXPECT_EQ(outlook[0].name, QStringLiteral("Carl Jones"));
    EXPECT_EQ(numbersOf(outlook[0]), QStringLiteral("(312) 555-0111[home] (312) 555-0112[cell]"));

    // name;number without a header, in Latin-1; markup in a name stays text.
    const QList<Contact> simple = CsvContactReader::read("Mutter;0301234567\nJos\xe9 <b>Bold</b>;+1 312 555 0100\n");
    ASSERT_EQ(simple.size(), 2);
    EXPECT_EQ(simple[0].name, QStringLiteral("Mutter"));
    EXPECT_EQ(simple[1].name, QStringLiteral("José <b>Bold</b>"));
    EXPECT_EQ(simple[1].numbers.value(0).number, QStringLiteral("+1 312 555 0100"));

    // A long name is cut at the limit, blanks and all.
    const QList<Contact> longName = CsvContactReader::read(QByteArray(199, 'x') + " y z,5551234\n");
    ASSERT_EQ(longName.size(), 1);
    EXPECT_EQ(longName[0].name, QString(199, QLatin1Char('x')));
}

TEST(ContactBookTest, NumbersMatchAsPeopleWriteThemAndShowTheirPlace) {
    QTemporaryDir dir;
    ContactBook book(dir.filePath(QStringLiteral("contacts.vcf")), QStringLiteral("US"));
    book.set(QStringLiteral("+1 (312) 555 1234"), QStringLiteral("Jane"), false);
    book.set(QStringLiteral("5550100"), QStringLiteral("Local"), false);
    // The three spellings of one line.
    for (const char* spelling : {"5551234", "312-555-1234", "+1 (312) 555 1234", "13125551234"}) {
        const Contact* contact = book.find(QLatin1String(spelling));
        ASSERT_NE(contact, nullptr) << spelling;
        EXPECT_EQ(contact->name, QStringLiteral("Jane"));
    }
    // A number kept without its area code matches the caller's full one.
    ASSERT_NE(book.find(QStringLiteral("(415) 555-0100")), nullptr);
    // Another area code with both written in full is another line; "P" (private) is no number.
    ContactBook other(dir.filePath(QStringLiteral("other.vcf")), QStringLiteral("US"));
    other.set(QStringLiteral("312-555-7777"), QStringLiteral("Chicago"), false);
    EXPECT_EQ(other.find(QStringLiteral("415-555-7777")), nullptr);
    EXPECT_EQ(other.find(QStringLiteral("P")), nullptr);

    EXPECT_EQ(book.numbers().display(QStringLiteral("3125551234")), QStringLiteral("(312) 555-1234 (Chicago, IL)"));
    EXPECT_EQ(book.numbers().display(QStringLiteral("+49 151 23456789")), QStringLiteral("+49 1512 3456789 (mobile)"));
    const PhoneNumbers german(QStringLiteral("DE"));
    EXPECT_EQ(german.display(QStringLiteral("+49 30 1234567")), QStringLiteral("030 1234567 (Berlin)"));

    // The memo and the pop-up: the name is added only when the line sent none.
    EXPECT_EQ(CallerIdText::withContactName(QStringLiteral("3125551234"), book), QStringLiteral("3125551234 Jane"));
    const QString named = QStringLiteral("3125551234\r\nNAME = J SMITH");
    EXPECT_EQ(CallerIdText::withContactName(named, book), named);
    EXPECT_EQ(CallerIdText::withContactName(QStringLiteral("P"), book), QStringLiteral("P"));
}

TEST(ContactBookTest, TheFileKeepsNamesNumbersAndTheDoNotRecordMark) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("contacts.vcf"));
    ContactBook book(path, QStringLiteral("US"));
    book.load();
    EXPECT_TRUE(book.contacts().isEmpty());
    QList<Contact> imported;
    QString error;
    ASSERT_TRUE(ContactImport::readFile(dataFile("phone-export.vcf"), imported, error));
    const ContactImportResult first = book.merge(imported);
    EXPECT_EQ(first.contactsAdded, 4);
    EXPECT_EQ(first.numbersAdded, 6);
    // The same file again adds nothing; a known number under another spelling is known.
    imported.append(Contact{QStringLiteral("Jane again"), {{QStringLiteral("312.555.1234"), {}}}, false});
    const ContactImportResult second = book.merge(imported);
    EXPECT_EQ(second.contactsAdded, 0);
    EXPECT_EQ(second.numbersKnown, 7);

    book.set(QStringLiteral("5551234"), QStringLiteral("Jane; \"Boss\", <i>x</i>"), true);
    book.save();
    ContactBook reread(path, QStringLiteral("US"));
    reread.load();
    ASSERT_EQ(reread.contacts().size(), 4);
    const Contact* jane = reread.find(QStringLiteral("+13125551234"));
    ASSERT_NE(jane, nullptr);
    EXPECT_EQ(jane->name, QStringLiteral("Jane; \"Boss\", <i>x</i>"));
    EXPECT_TRUE(jane->doNotRecord);
    EXPECT_EQ(reread.contacts()[0].name, QStringLiteral("Jürgen Müller Großhandel GmbH"));
    EXPECT_FALSE(reread.contacts()[0].doNotRecord);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("VERSION:3.0\r\n"));
    EXPECT_TRUE(text.contains("X-ORLAMO-DO-NOT-RECORD:1\r\n"));

    // Deleting a number removes the contact with its last one.
    EXPECT_TRUE(reread.removeNumber(QStringLiteral("650-253-0000")));
    EXPECT_EQ(reread.contacts().size(), 3);
    EXPECT_FALSE(reread.removeNumber(QStringLiteral("650-253-0000")));
}
