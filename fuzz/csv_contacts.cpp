// A CSV contacts export from any program: every contact read is bounded and plain.
#include "FuzzSupport.h"
#include "contacts/CsvContactReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<Contact> contacts = CsvContactReader::read(fuzzBytes(data, size));
    FUZZ_CHECK(contacts.size() <= ContactLimits::kMaxContacts);
    for (const Contact& contact : contacts) {
        FUZZ_CHECK(!contact.name.isEmpty() && contact.name.size() <= ContactLimits::kMaxNameChars);
        FUZZ_CHECK(!contact.name.contains(u'\n') && !contact.name.contains(u'\r'));
        FUZZ_CHECK(!contact.numbers.isEmpty() && contact.numbers.size() <= ContactLimits::kMaxNumbersPerContact);
        for (const ContactNumber& number : contact.numbers)
            FUZZ_CHECK(!number.number.isEmpty() && number.number.size() <= ContactLimits::kMaxNumberChars);
    }
    return 0;
}
