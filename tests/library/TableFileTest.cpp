// Table store: the file format byte by byte, every load check, field round trips and the cursor.
#include "library/TableFile.h"
#include "library/TableError.h"
#include "library/TableImage.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

#include "support/TestFiles.h"

namespace {

QByteArray le32(qint32 v) {
    QByteArray b(4, '\0');
    qToLittleEndian<qint32>(v, b.data());
    return b;
}

QList<FieldDef> recordingsSchema() {
    return {{QStringLiteral("id"), FieldKind::Text, 10},       {QStringLiteral("Channel"), FieldKind::Integer, 0},
            {QStringLiteral("FolderId"), FieldKind::Text, 20}, {QStringLiteral("DateS"), FieldKind::Text, 12},
            {QStringLiteral("TimeS"), FieldKind::Text, 12},    {QStringLiteral("Duration"), FieldKind::Text, 10},
            {QStringLiteral("Comment"), FieldKind::Text, 255}};
}

// A file image made by hand from the format: header, description, records.
QByteArray image(qint32 declared, const QByteArray& description, qint32 fields, const QByteArray& records) {
    return le32(0) + "S" + le32(declared) + le32(fields) + le32(qint32(description.size())) + description + records;
}

const QByteArray kTwoFields = QByteArray("XXX.Name A\x12XXX.Number i\x12\x14");

struct TableFileTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("T.d"));
    TableFile table;

    void create(const QList<FieldDef>& defs) {
        table.setLoadMode(TableLoadMode::lmClear);
        table.fieldDefinitions() = defs;
        table.open();
    }
    void openFile() {
        table.close();
        table.setLoadMode(TableLoadMode::lmFile);
        table.setTableName(path);
        table.open();
    }
    QString openError(const QByteArray& bytes) {
        writeFile(path, bytes);
        try {
            openFile();
        } catch (const TableError& e) {
            EXPECT_FALSE(table.active());
            return e.message();
        }
        return QStringLiteral("(opened)");
    }
};

} // namespace

TEST_F(TableFileTest, EmptyRecordingsSchemaIsThe112ByteFile) {
    create(recordingsSchema());
    table.saveToFile(path);
    const QByteArray bytes = readAll(path);
    const QByteArray description("XXX.id A\x12XXX.Channel i\x12XXX.FolderId K\x12XXX.DateS C\x12XXX.TimeS C\x12"
                                 "XXX.Duration A\x12XXX.Comment s255\x12\x14");
    ASSERT_EQ(description.size(), 95);
    EXPECT_EQ(bytes, le32(112) + "S" + le32(0) + le32(7) + le32(95) + description);
    openFile();
    EXPECT_EQ(table.recordCount(), 0);
    EXPECT_EQ(table.fields().size(), 7);
    EXPECT_EQ(table.fields().at(6).type, TableFieldType::String);
    EXPECT_EQ(table.fields().at(6).size, 255);
}

TEST_F(TableFileTest, LengthBytesZeroIntegersAndBlankTexts) {
    create({{QStringLiteral("Name"), FieldKind::Text, 10}, {QStringLiteral("Number"), FieldKind::Integer, 0}});
    table.append();
    table.setFieldValue(QStringLiteral("name"), QStringLiteral("0123456789xyz")); // cut to the size
    table.setFieldValue(QStringLiteral("NUMBER"), 0);
    table.post();
    table.append();
    table.setFieldValue(QStringLiteral("Name"), QStringLiteral("   "));
    table.setFieldValue(QStringLiteral("Number"), -2);
    table.post();
    table.saveToFile(path);
    const QByteArray records = QByteArray("\x0a\x00", 2) + "0123456789" + QByteArray("\x03\x04", 2) + "   " + le32(-2);
    EXPECT_EQ(readAll(path).mid(17 + kTwoFields.size()), records);
    openFile();
    EXPECT_EQ(table.fieldText(QStringLiteral("Name")), QStringLiteral("0123456789"));
    EXPECT_EQ(table.fieldValue(QStringLiteral("Number")), QVariant(0));
    table.next();
    EXPECT_EQ(table.fieldText(QStringLiteral("Name")), QStringLiteral("   "));
    EXPECT_EQ(table.fieldValue(QStringLiteral("Number")).toInt(), -2);
}

TEST_F(TableFileTest, EveryFieldTypeRoundTrips) {
    create({{QStringLiteral("s"), FieldKind::SmallInt},
            {QStringLiteral("i"), FieldKind::Integer},
            {QStringLiteral("b"), FieldKind::Boolean},
            {QStringLiteral("f"), FieldKind::Float},
            {QStringLiteral("c"), FieldKind::Currency},
            {QStringLiteral("d"), FieldKind::Date},
            {QStringLiteral("v"), FieldKind::Time},
            {QStringLiteral("t"), FieldKind::DateTime},
            {QStringLiteral("a"), FieldKind::AutoInc},
            {QStringLiteral("z"), FieldKind::Text, 35},
            {QStringLiteral("str"), FieldKind::Text, 36},
            {QStringLiteral("o"), FieldKind::Blob},
            {QStringLiteral("m"), FieldKind::Memo},
            {QStringLiteral("r"), FieldKind::FmtMemo},
            {QStringLiteral("g"), FieldKind::Graphic}});
    const QDateTime stamp(QDate(2026, 12, 8), QTime(13, 14, 53, 120), Qt::UTC);
    const std::vector<std::pair<const char*, QVariant>> values = {{"s", -300},
                                                                  {"i", 123456789},
                                                                  {"b", true},
                                                                  {"f", 2.5},
                                                                  {"c", -0.01},
                                                                  {"d", QDate(1, 1, 1)},
                                                                  {"v", QTime(23, 59, 59, 999)},
                                                                  {"t", stamp},
                                                                  {"a", 7},
                                                                  {"z", QString(35, QLatin1Char('z'))},
                                                                  {"str", QStringLiteral("Grüße, 東京")},
                                                                  {"o", QByteArray("\x00\x01\xff", 3)},
                                                                  {"m", QStringLiteral("line1\r\nline2")},
                                                                  {"r", QStringLiteral("{\\rtf}")},
                                                                  {"g", QByteArray("GIF89a")}};
    table.append();
    for (const auto& [name, value] : values)
        table.setFieldValue(QString::fromLatin1(name), value);
    table.post();
    table.append(); // a record with every field empty
    table.post();
    table.saveToFile(path);
    const QByteArray bytes = readAll(path);
    EXPECT_EQ(bytes.mid(17, 17), QByteArray("XXX.s l\x12XXX.i i\x12X"));
    EXPECT_TRUE(bytes.contains("XXX.z Z\x12XXX.str s36\x12"));
    openFile();
    ASSERT_EQ(table.recordCount(), 2);
    EXPECT_EQ(table.fields().at(9).type, TableFieldType::SmallStr);
    EXPECT_EQ(table.fields().at(10).type, TableFieldType::String);
    for (const auto& [name, value] : values)
        EXPECT_EQ(table.fieldValue(QString::fromLatin1(name)), value) << name;
    table.next();
    EXPECT_EQ(table.fieldValue(QStringLiteral("i")), QVariant(0));
    EXPECT_EQ(table.fieldValue(QStringLiteral("b")), QVariant(false));
    EXPECT_TRUE(table.fieldValue(QStringLiteral("z")).isNull());
    EXPECT_EQ(table.fieldText(QStringLiteral("str")), QString());
    EXPECT_TRUE(table.fieldValue(QStringLiteral("o")).isNull());
    // The empty record is F zero length bytes and nothing else.
    EXPECT_TRUE(bytes.endsWith(QByteArray(15, '\0')));
}

TEST_F(TableFileTest, DatesAndTimesOutOfRangeReadAsTheyAreWrittenBack) {
    // One record from another program: a day before year 1, a time past the end of the day and a NaN
    // date-time. A row copied from its values must read as the row itself.
    const QByteArray description("XXX.d d\x12XXX.v v\x12XXX.t t\x12\x14");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QByteArray nanBytes(8, '\0');
    std::memcpy(nanBytes.data(), &nan, 8);
    writeFile(path, image(1, description, 3, QByteArray("\x04\x04\x08", 3) + le32(-5) + le32(90000000) + nanBytes));
    openFile();
    ASSERT_EQ(table.recordCount(), 1);
    std::vector<QVariant> first;
    for (const QString& name : {QStringLiteral("d"), QStringLiteral("v"), QStringLiteral("t")})
        first.push_back(table.fieldValue(name));
    table.append();
    table.setFieldValue(QStringLiteral("d"), first[0]);
    table.setFieldValue(QStringLiteral("v"), first[1]);
    table.setFieldValue(QStringLiteral("t"), first[2]);
    table.post();
    table.saveToFile(path);
    openFile();
    ASSERT_EQ(table.recordCount(), 2);
    for (int row = 0; row < 2; ++row) {
        table.setRecNo(row + 1);
        EXPECT_EQ(table.fieldValue(QStringLiteral("d")), first[0]) << row;
        EXPECT_EQ(table.fieldValue(QStringLiteral("v")), first[1]) << row;
        EXPECT_EQ(table.fieldValue(QStringLiteral("t")), first[2]) << row;
    }
}

TEST_F(TableFileTest, LoadErrorsCarryTheirMessages) {
    const QString missing = dir.filePath(QStringLiteral("none.d"));
    table.setTableName(missing);
    try {
        table.open();
        FAIL();
    } catch (const TableError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Error opening file ") + missing);
    }
    const QString p = QStringLiteral("Error opening table: ");
    EXPECT_EQ(openError(le32(0) + "E" + "Disk on fire"), p + "Disk on fire");
    EXPECT_EQ(openError(le32(0) + "S" + le32(0)), p + "Buffer structure corruption!");
    EXPECT_EQ(openError(image(0, kTwoFields, 2, {}).left(30)), p + "Buffer structure corruption!");
    EXPECT_EQ(openError(image(0, "XXX.Name A\x12\x12\x14", 2, {})),
              p + "Error in buffer structure (field description section)");
    EXPECT_EQ(openError(image(0, "XXX.Name A", 1, {})), p + "Error in buffer structure (field description section)");
    // SmallStr of size 10 takes at most 11 bytes; an Integer at most 4.
    EXPECT_EQ(openError(image(1, kTwoFields, 2, QByteArray("\x0c\x00", 2) + QByteArray(12, 'x'))),
              p + "Field 'Name' has wrong length 12 in record 1");
    EXPECT_EQ(openError(image(2, kTwoFields, 2, QByteArray("\x00\x04", 2) + le32(1) + QByteArray("\x00\x05", 2))),
              p + "Field 'Number' has wrong length 5 in record 2");
    const QByteArray strField("XXX.Memo s\x12\x14");
    EXPECT_EQ(openError(image(1, strField, 1, "\x04" + le32(8192))),
              p + "String field 'Memo' has wrong length 8192 in record 1");
    EXPECT_EQ(openError(image(1, strField, 1, "\x03" + le32(1))), p + "Field 'Memo' has wrong length 3 in record 1");
    EXPECT_EQ(openError(image(1, "XXX.Pic g\x12\x14", 1, "\x04" + le32(-1))),
              p + "BLOB field 'Pic' has wrong length -1 in record 1");
    EXPECT_EQ(openError(image(1, strField, 1, "\x04" + le32(10) + "abc")), p + "Unexpected end of buffer");
    EXPECT_EQ(openError(image(1, kTwoFields, 2, QByteArray("\x05\x00", 2) + "ab")), p + "Unexpected end of buffer");
    EXPECT_EQ(openError(image(3, kTwoFields, 2, QByteArray("\x01\x00", 2) + "a")),
              p + "Number of records read (1) does not match declared record count (3)");
    EXPECT_EQ(openError(image(-1, kTwoFields, 2, {})),
              p + "Number of records read (0) does not match declared record count (-1)");
    EXPECT_EQ(openError(image(0, kTwoFields, -1, {})), p + "Buffer structure corruption!");
    table.setLoadMode(TableLoadMode::lmClear);
    table.fieldDefinitions().clear();
    EXPECT_THROW(table.open(), TableError);
}

TEST_F(TableFileTest, FewerDeclaredRecordsThanPresentOpensWithTheDeclaredNumber) {
    writeFile(path, image(1, kTwoFields, 2, QByteArray("\x01\x00", 2) + "a" + QByteArray("\x01\x00", 2) + "b"));
    openFile();
    EXPECT_EQ(table.recordCount(), 1);
    EXPECT_EQ(table.fieldText(QStringLiteral("Name")), QStringLiteral("a"));
}

TEST_F(TableFileTest, ForeignEncodingsAreReadAndWrittenCanonically) {
    // Notes block, a String without size digits, a zero integer written with data, a short integer,
    // a SmallStr cut by a NUL, an empty String with length 0, and a Windows-1252 text.
    const QByteArray description("ALIAS.First_Name A\x12XXX.Number i\x12XXX.Note s\x12\x14");
    QByteArray records = QByteArray("\x05\x04\x04", 3) + QByteArray("ab\0cd", 5) + le32(0) + le32(0);
    records += QByteArray("\x05\x02\x04", 3) +
               "G\xfc"
               "n\x96\x93" +
               QByteArray("\x2c\x01", 2) + le32(1) + "x";
    QByteArray bytes = le32(0) + "S" + le32(2) + le32(3) + le32(qint32(description.size())) + description + "*" +
                       QByteArray("\x04\x00", 2) + "note" + records;
    writeFile(path, bytes);
    openFile();
    EXPECT_EQ(table.fields().at(0).alias, QStringLiteral("ALIAS"));
    EXPECT_EQ(table.fields().at(0).name, QStringLiteral("First_Name"));
    EXPECT_EQ(table.fields().at(2).size, 100);
    EXPECT_EQ(table.fieldText(QStringLiteral("first_name")), QStringLiteral("ab"));
    EXPECT_EQ(table.fieldValue(QStringLiteral("Number")), QVariant(0));
    EXPECT_TRUE(table.fieldValue(QStringLiteral("Note")).isNull());
    table.next();
    EXPECT_EQ(table.fieldText(QStringLiteral("First_Name")), QStringLiteral("G\u00fcn\u2013\u201c"));
    EXPECT_EQ(table.fieldValue(QStringLiteral("Number")).toInt(), 300);
    table.edit(); // mark the table changed
    table.post();
    table.saveTable();
    const QByteArray saved = readAll(path);
    const QByteArray expected = QByteArray("\x02\x00\x00", 3) + "ab" + QByteArray("\x0a\x04\x04", 3) +
                                "G\xc3\xbc"
                                "n\xe2\x80\x93\xe2\x80\x9c" +
                                le32(300) + le32(1) + "x";
    EXPECT_EQ(saved.mid(17 + description.size()), "*" + QByteArray("\x04\x00", 2) + "note" + expected);
    EXPECT_EQ(qFromLittleEndian<qint32>(saved.constData()), saved.size());
}

TEST_F(TableFileTest, LegacyTextThatFillsASmallFieldSurvivesTheRowBeingWrittenAgain) {
    // Ten Windows-1252 characters fill a 10-character field; in UTF-8 they would not fit, so writing
    // the row again (another field was edited) keeps them in the code page they came in.
    const QByteArray description("XXX.Name A\x12XXX.Number i\x12\x14");
    const QByteArray legacy("M\xfcller \xe9t\xe9", 10);
    writeFile(path, image(1, description, 2, QByteArray("\x0a\x04", 2) + legacy + le32(7)));
    openFile();
    const QString name = QStringLiteral("M\u00fcller \u00e9t\u00e9");
    ASSERT_EQ(table.fieldText(QStringLiteral("Name")), name);
    table.edit();
    table.setFieldValue(QStringLiteral("Number"), 8);
    table.post();
    table.saveTable();
    openFile();
    EXPECT_EQ(table.fieldText(QStringLiteral("Name")), name);
    EXPECT_EQ(table.fieldValue(QStringLiteral("Number")).toInt(), 8);
    // A text the code page cannot hold is still cut whole characters at a time.
    table.edit();
    table.setFieldValue(QStringLiteral("Name"), QStringLiteral("\u65e5\u672c\u8a9e\u65e5\u672c"));
    table.post();
    table.saveTable();
    openFile();
    EXPECT_EQ(table.fieldText(QStringLiteral("Name")), QStringLiteral("\u65e5\u672c\u8a9e"));
}

TEST_F(TableFileTest, SaveKeepsBackupAndOnlyWritesWhenChanged) {
    create({{QStringLiteral("Name"), FieldKind::Text, 10}});
    table.saveToFile(path);
    const QByteArray first = readAll(path);
    openFile();
    table.setSaveOptions(savAutoBackup);
    table.saveTable(); // unchanged: no write, no backup
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("T.~d"))));
    table.append();
    table.setFieldValue(QStringLiteral("Name"), QStringLiteral("one"));
    table.saveTable(); // posts first
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("T.~d"))), first);
    const QByteArray second = readAll(path);
    table.first();
    table.deleteRecord();
    table.saveTable();
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("T.~d"))), second);
    EXPECT_EQ(readAll(path), first);
    EXPECT_EQ(TableFile::backupPath(QStringLiteral("a/Recordings.d")), QStringLiteral("a/Recordings.~d"));
    // No temporary file is left beside the table.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(TableFileTest, SaveToAnUnwritablePlaceFailsAndLeavesTheOldFile) {
    create({{QStringLiteral("Name"), FieldKind::Text, 10}});
    EXPECT_THROW(table.saveToFile(dir.filePath(QStringLiteral("no/such/folder/T.d"))), TableError);
}

TEST_F(TableFileTest, CursorDeleteLocateAndLookup) {
    create({{QStringLiteral("Name"), FieldKind::Text, 10}, {QStringLiteral("Number"), FieldKind::Integer, 0}});
    EXPECT_TRUE(table.eof());
    EXPECT_EQ(table.recNo(), 0);
    try {
        table.deleteRecord();
        FAIL();
    } catch (const TableError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Error deleting record: Record is not found"));
    }
    for (int i = 0; i < 5; ++i) {
        table.append();
        table.setFieldValue(QStringLiteral("Name"),
                            i == 3 ? QStringLiteral("b") : QStringLiteral("abc").left(i % 3 + 1));
        table.setFieldValue(QStringLiteral("Number"), i);
        table.post();
        EXPECT_EQ(table.recNo(), i + 1);
    }
    // names: a ab abc b ab
    EXPECT_TRUE(table.locate(QStringLiteral("NAME"), QStringLiteral("ab")));
    EXPECT_EQ(table.fieldValue(QStringLiteral("Number")).toInt(), 1);
    EXPECT_FALSE(table.locate(QStringLiteral("Name"), QStringLiteral("AB")));
    EXPECT_EQ(table.recNo(), 2);
    EXPECT_EQ(table.lookup(QStringLiteral("Name"), QStringLiteral("b"), QStringLiteral("Number")), QVariant(3));
    EXPECT_TRUE(table.lookup(QStringLiteral("Name"), QStringLiteral("zz"), QStringLiteral("Number")).isNull());
    EXPECT_EQ(table.recNo(), 2);

    int before = 0, after = 0;
    table.setBeforeDelete([&] {
        ++before;
        EXPECT_EQ(table.fieldValue(QStringLiteral("Number")).toInt(), 1);
    });
    table.setAfterDelete([&] { ++after; });
    table.deleteRecord();
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_EQ(table.recordCount(), 4);
    EXPECT_EQ(table.fieldValue(QStringLiteral("Number")).toInt(), 2); // the next one
    table.setBeforeDelete([] { throw TableError(QStringLiteral("no")); });
    EXPECT_THROW(table.deleteRecord(), TableError);
    EXPECT_EQ(table.recordCount(), 4);
    table.setBeforeDelete(nullptr);
    table.setRecNo(99);
    EXPECT_EQ(table.recNo(), 4);
    table.deleteRecord();
    EXPECT_EQ(table.fieldValue(QStringLiteral("Number")).toInt(), 3); // the previous at the end
    table.setRecNo(-5);
    EXPECT_EQ(table.recNo(), 1);
    table.next();
    table.next();
    EXPECT_FALSE(table.eof());
    table.next();
    EXPECT_TRUE(table.eof());
    table.close();
    try {
        table.first();
        FAIL();
    } catch (const TableError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot do this operation on closed dataset"));
    }
}

TEST_F(TableFileTest, DetailFollowsTheMasterRange) {
    TableFile master;
    master.setLoadMode(TableLoadMode::lmClear);
    master.fieldDefinitions() = {{QStringLiteral("FolderId"), FieldKind::Text, 20}};
    master.open();
    for (const char* id : {"A", "B"}) {
        master.append();
        master.setFieldValue(QStringLiteral("FolderId"), QString::fromLatin1(id));
        master.post();
    }
    create({{QStringLiteral("FolderId"), FieldKind::Text, 20}, {QStringLiteral("Number"), FieldKind::Integer, 0}});
    table.setMasterSource(&master);
    table.setMasterFields(QStringLiteral("FolderID"));
    table.setRangeFieldNames(QStringLiteral("FolderId"));
    // Master is on B: new detail records get B before anything is set.
    for (int i = 0; i < 3; ++i) {
        table.append();
        EXPECT_EQ(table.fieldText(QStringLiteral("folderid")), QStringLiteral("B"));
        if (i == 1)
            table.setFieldValue(QStringLiteral("FolderId"), QStringLiteral("a"));
        table.setFieldValue(QStringLiteral("Number"), i);
        table.post();
    }
    master.first(); // A
    EXPECT_EQ(table.recordCount(), 0);
    master.next(); // B
    EXPECT_EQ(table.recordCount(), 2);
    EXPECT_EQ(table.fieldValue(QStringLiteral("Number")).toInt(), 0);
    table.next();
    EXPECT_EQ(table.fieldValue(QStringLiteral("Number")).toInt(), 2);
    ASSERT_TRUE(master.locate(QStringLiteral("FolderId"), QStringLiteral("A")));
    EXPECT_EQ(table.recordCount(), 0);
}

TEST_F(TableFileTest, NotesOfATableWithoutRecordsSurviveASave) {
    // Seven fields and no records: the notes block ("*", its length, "ab") is shorter than a record's
    // seven length bytes would be.
    const QByteArray description = TableImageFormat::description(recordingsSchema());
    const QByteArray notes = QByteArray("*\x02\x00"
                                        "ab",
                                        5);
    writeFile(path, image(0, description, 7, notes));
    openFile();
    EXPECT_EQ(table.recordCount(), 0);
    table.saveToFile(path);
    const QByteArray saved = readAll(path);
    EXPECT_TRUE(saved.endsWith(notes));
    openFile();
    table.saveToFile(path);
    EXPECT_EQ(readAll(path), saved);
    // A stray "*" with a length beyond the end is still no reason to refuse the file.
    EXPECT_EQ(openError(image(0, description, 7,
                              QByteArray("*\x09\x00"
                                         "ab",
                                         5))),
              QStringLiteral("(opened)"));
}

TEST_F(TableFileTest, TableWithoutFieldsThatDeclaresRecordsIsDamaged) {
    // Its records would take no bytes: a count of two billion would be two billion empty rows.
    const QByteArray noFields = image(8236, QByteArray("\x14"), 0, QByteArray("Work, \"old\""));
    EXPECT_EQ(openError(noFields),
              QStringLiteral("Error opening table: Number of records read (0) does not match declared record count "
                             "(8236)"));
    EXPECT_EQ(openError(image(INT32_MAX, QByteArray("\x14"), 0, QByteArray(64, 'x'))),
              QStringLiteral("Error opening table: Number of records read (0) does not match declared record count "
                             "(2147483647)"));
    EXPECT_EQ(openError(image(0, QByteArray("\x14"), 0, QByteArray("x"))), QStringLiteral("(opened)"));
    EXPECT_EQ(table.recordCount(), 0);
}

TEST_F(TableFileTest, DamagedFilesFailCleanlyAndNeverCrash) {
    create({{QStringLiteral("id"), FieldKind::Text, 10},
            {QStringLiteral("n"), FieldKind::Integer, 0},
            {QStringLiteral("memo"), FieldKind::Text, 255},
            {QStringLiteral("blob"), FieldKind::Blob, 0},
            {QStringLiteral("when"), FieldKind::DateTime, 0}});
    for (int i = 0; i < 4; ++i) {
        table.append();
        table.setFieldValue(QStringLiteral("id"), QStringLiteral("row%1").arg(i));
        table.setFieldValue(QStringLiteral("n"), i * 1000);
        table.setFieldValue(QStringLiteral("memo"), QStringLiteral("memo text %1").arg(i));
        table.setFieldValue(QStringLiteral("blob"), QByteArray(i * 3, 'b'));
        table.setFieldValue(QStringLiteral("when"), QDateTime(QDate(2026, 1, i + 1), QTime(1, 2), Qt::UTC));
        table.post();
    }
    table.saveToFile(path);
    const QByteArray good = readAll(path);
    quint32 seed = 12345;
    auto random = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    int opened = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bad = good;
        if (round % 3 == 0)
            bad.truncate(qsizetype(random() % quint32(good.size())));
        for (int k = 0; k < 1 + int(random() % 4) && !bad.isEmpty(); ++k)
            bad[qsizetype(random() % quint32(bad.size()))] = char(random() >> 24);
        writeFile(path, bad);
        try {
            openFile();
            ++opened;
            for (table.first(); !table.eof(); table.next())
                for (const TableField& field : table.fields())
                    table.fieldValue(field.name);
        } catch (const TableError&) {
            EXPECT_FALSE(table.active());
        }
    }
    EXPECT_GT(opened, 0);
}

TEST_F(TableFileTest, TableCreatedInMemoryHasNoFileOfItsOwn) {
    create({{QStringLiteral("Name"), FieldKind::Text, 10}});
    table.setTableName(path);
    table.setLoadMode(TableLoadMode::lmClear);
    table.fieldDefinitions() = {{QStringLiteral("Name"), FieldKind::Text, 10}};
    table.open();
    table.append();
    table.setFieldValue(QStringLiteral("Name"), QStringLiteral("x"));
    table.saveTable();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(table.recordCount(), 1);
}
