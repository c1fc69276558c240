// Table files (Recordings.d, Folders.d): any bytes either open or fail with a table error. A table
// that opens is saved (a backup beside it) and opens again with the same rows, and saving that gives
// the same file.
#include "FuzzSupport.h"
#include "library/TableError.h"
#include "library/TableFile.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QTime>
#include <cmath>

namespace {

// Values as comparable text: NaN equals NaN, and every type keeps its name.
QString valueText(const QVariant& v) {
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        return std::isnan(d) ? QStringLiteral("double:nan") : QStringLiteral("double:") + QString::number(d, 'g', 17);
    }
    if (v.typeId() == QMetaType::QByteArray)
        return QStringLiteral("bytes:") + QString::fromLatin1(v.toByteArray().toHex());
    return QString::fromLatin1(v.typeName() ? v.typeName() : "null") + u':' + (v.isNull() ? QString() : v.toString());
}

QStringList rows(TableFile& table) {
    QStringList out;
    for (table.first(); !table.eof(); table.next()) {
        QStringList row;
        for (const TableField& field : table.fields())
            row.append(valueText(table.fieldValue(field.name)));
        out.append(row.join(u'|'));
    }
    return out;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzApplication();
    const QString in = fuzzPath(QStringLiteral("in.d"));
    const QString out = fuzzPath(QStringLiteral("out.d"));
    fuzzWrite(in, QByteArrayView(data, static_cast<qsizetype>(size)));
    TableFile table;
    table.setTableName(in);
    table.setSaveOptions(savAutoBackup);
    try {
        table.open();
    } catch (const TableError&) {
        FUZZ_CHECK(!table.active());
        return 0;
    }
    const QStringList before = rows(table);
    FUZZ_CHECK(before.size() == table.recordCount());
    QFile::remove(out);
    table.saveToFile(out);
    // Saving over a file keeps the previous one as the backup.
    table.saveToFile(out);
    const QByteArray saved = readAll(out);
    FUZZ_CHECK(readAll(TableFile::backupPath(out)) == saved);

    TableFile again;
    again.setTableName(out);
    again.setSaveOptions(savAutoBackup);
    try {
        again.open();
    } catch (const TableError& e) {
        fuzzFail(qPrintable(QStringLiteral("a saved table does not open: ") + e.message()), __FILE__, __LINE__);
    }
    FUZZ_CHECK(rows(again) == before);
    again.saveToFile(out);
    FUZZ_CHECK(readAll(out) == saved);

    // Changes keep the file loadable: a row appended from the first row's values, the first deleted.
    if (!before.isEmpty() && !again.fields().isEmpty()) {
        again.first();
        std::vector<QVariant> values;
        for (const TableField& field : again.fields())
            values.push_back(again.fieldValue(field.name));
        again.append();
        for (int i = 0; i < again.fields().size(); ++i)
            again.setFieldValue(again.fields().at(i).name, values[size_t(i)]);
        again.post();
        again.first();
        again.deleteRecord();
        again.saveTable();
        TableFile third;
        third.setTableName(out);
        third.open();
        FUZZ_CHECK(third.recordCount() == before.size());
        FUZZ_CHECK(rows(third).last() == before.first());
    }
    return 0;
}
