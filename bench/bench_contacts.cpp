// Contacts: finding the contact of a caller's number in 10 000 contacts, and loading their file.
#include "contacts/CallerIdText.h"
#include "contacts/ContactBook.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {

// Numbers of one area written the ways phones store them: full national, international, local only.
QString contactNumber(int i) {
    const int line = 1000000 + (i * 7919) % 9000000;
    switch (i % 3) {
    case 0:
        return QStringLiteral("(312) %1-%2").arg(line / 10000).arg(line % 10000, 4, 10, QLatin1Char('0'));
    case 1:
        return QStringLiteral("+1 312 %1").arg(line);
    default:
        return QString::number(line);
    }
}

ContactBook& bookOf(int contacts) {
    static QTemporaryDir dir;
    static std::map<int, std::unique_ptr<ContactBook>> books;
    auto& book = books[contacts];
    if (!book) {
        book =
            std::make_unique<ContactBook>(dir.filePath(QStringLiteral("c%1.vcf").arg(contacts)), QStringLiteral("US"));
        QList<Contact> list;
        for (int i = 0; i < contacts; ++i)
            list.append(Contact{QStringLiteral("Contact %1").arg(i), {{contactNumber(i), {}}}, false});
        book->merge(list);
        book->save();
    }
    return *book;
}

// The caller ID as the modem sends it: ten digits; one in four from another area code, which only the
// contacts kept without an area code match.
void BM_FindCaller(benchmark::State& state) {
    const int contacts = int(state.range(0));
    ContactBook& book = bookOf(contacts);
    int i = 0;
    int found = 0;
    for (auto _ : state) {
        const int line = 1000000 + ((i % contacts) * 7919) % 9000000;
        const QString callerId = QStringLiteral("%1%2").arg(i % 4 == 3 ? 415 : 312).arg(line);
        found += CallerIdText::withContactName(callerId, book).size() > callerId.size() ? 1 : 0;
        ++i;
    }
    state.counters["found"] = double(found) / double(std::max(i, 1));
}

void BM_LoadFile(benchmark::State& state) {
    ContactBook& made = bookOf(int(state.range(0)));
    for (auto _ : state) {
        ContactBook book(made.path(), QStringLiteral("US"));
        book.load();
        benchmark::DoNotOptimize(book.contacts().size());
    }
}

} // namespace

BENCHMARK(BM_FindCaller)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadFile)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
