// A vCard file from any phone or program: every contact read is bounded and plain, and the contacts
// file written from them reads back as the same contacts.
#include "FuzzSupport.h"
#include "contacts/VCardReader.h"
#include "contacts/VCardWriter.h"

namespace {

void checkBounded(const QList<Contact>& contacts) {
    FUZZ_CHECK(contacts.size() <= ContactLimits::kMaxContacts);
    for (const Contact& contact : contacts) {
        FUZZ_CHECK(!contact.name.isEmpty() && contact.name.size() <= ContactLimits::kMaxNameChars);
        FUZZ_CHECK(!contact.name.contains(u'\n') && !contact.name.contains(u'\r'));
        FUZZ_CHECK(!contact.numbers.isEmpty() && contact.numbers.size() <= ContactLimits::kMaxNumbersPerContact);
        for (const ContactNumber& number : contact.numbers)
            FUZZ_CHECK(!number.number.isEmpty() && number.number.size() <= ContactLimits::kMaxNumberChars);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<Contact> contacts = VCardReader::read(fuzzBytes(data, size));
    checkBounded(contacts);
    const QList<Contact> again = VCardReader::read(VCardWriter::write(contacts));
    FUZZ_CHECK(again.size() == contacts.size());
    for (qsizetype i = 0; i < contacts.size(); ++i) {
        FUZZ_CHECK(again[i].name == contacts[i].name);
        FUZZ_CHECK(again[i].doNotRecord == contacts[i].doNotRecord);
        FUZZ_CHECK(again[i].numbers.size() == contacts[i].numbers.size());
        for (qsizetype n = 0; n < contacts[i].numbers.size(); ++n) {
            FUZZ_CHECK(again[i].numbers[n].number == contacts[i].numbers[n].number);
            FUZZ_CHECK(again[i].numbers[n].types == contacts[i].numbers[n].types);
        }
    }
    return 0;
}
