// orlamo-cli contacts: import, list, set and delete the contacts of the working folder.
#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "cli/CliContext.h"
#include "contacts/ContactBook.h"
#include "contacts/ContactImport.h"

namespace {

constexpr const char* kUsage =
    "usage: orlamo-cli contacts import FILE | list | set NUMBER NAME [--do-not-record] | delete NUMBER\n";

int usage(CliContext& context) {
    context.err << kUsage;
    return 2;
}

int save(CliContext& context, ContactBook& book) {
    try {
        book.save();
    } catch (const ContactFileError& error) {
        context.err << "orlamo-cli contacts: " << error.what() << '\n';
        return 1;
    }
    return 0;
}

int importFile(CliContext& context, ContactBook& book, const QString& file) {
    QList<Contact> contacts;
    QString error;
    if (!ContactImport::readFile(context.userPath(file), contacts, error)) {
        context.err << "orlamo-cli contacts: " << error << '\n';
        return 1;
    }
    const ContactImportResult result = book.merge(contacts);
    if (const int code = save(context, book); code != 0)
        return code;
    context.out << "imported " << result.contactsAdded << " contacts, " << result.numbersAdded << " numbers ("
                << result.numbersKnown << " already known)\n";
    return 0;
}

void list(CliContext& context, const ContactBook& book) {
    for (const Contact& contact : book.contacts())
        for (const ContactNumber& number : contact.numbers)
            context.out << contact.name << '\t' << book.numbers().display(number.number) << '\t'
                        << number.types.join(QLatin1Char(',')) << (contact.doNotRecord ? "\tdo not record" : "")
                        << '\n';
}

} // namespace

int cmdContacts(CliContext& context) {
    QStringList args = context.args;
    const bool doNotRecord = args.removeAll(QStringLiteral("--do-not-record")) > 0;
    if (args.isEmpty())
        return usage(context);
    const QString action = args.takeFirst();
    for (const QString& arg : args)
        if (arg.startsWith(QLatin1String("--")))
            return usage(context);
    if (doNotRecord && action != QLatin1String("set"))
        return usage(context);

    const Config config(context.workDir + QStringLiteral("/tvk.ini"));
    ContactBook book(context.workDir + QLatin1Char('/') + QLatin1String(ContactBook::kFileName),
                     config.read(ConfigKeys::kHomeCountry));
    book.load();
    if (action == QLatin1String("import") && args.size() == 1)
        return importFile(context, book, args[0]);
    if (action == QLatin1String("list") && args.isEmpty()) {
        list(context, book);
        return 0;
    }
    if (action == QLatin1String("set") && args.size() == 2) {
        if (cleanContactNumber(args[0]).isEmpty() || cleanContactName(args[1]).isEmpty()) {
            context.err << "orlamo-cli contacts: a contact needs a number with digits and a name\n";
            return 1;
        }
        book.set(args[0], args[1], doNotRecord);
        return save(context, book);
    }
    if (action == QLatin1String("delete") && args.size() == 1) {
        if (!book.removeNumber(args[0])) {
            context.err << "orlamo-cli contacts: no contact has the number " << args[0] << '\n';
            return 1;
        }
        return save(context, book);
    }
    return usage(context);
}
