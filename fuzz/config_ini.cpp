// tvk.ini as any program or editor may have left it: every key found reads without harm; writing a
// value (a modem's text, line breaks and all) reads back as that value on one line, and every other
// key keeps its value.
#include "FuzzSupport.h"
#include "base/Config.h"

#include <QFile>
#include <utility>

namespace {

// The section and key names of the file, by a scan of its own (at most 16 pairs).
QList<std::pair<QString, QString>> namesIn(const QByteArray& bytes) {
    QList<std::pair<QString, QString>> names;
    QString section;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']') && line.size() >= 2) {
            section = line.mid(1, line.size() - 2).trimmed();
        } else if (const qsizetype eq = line.indexOf(u'='); eq > 0 && names.size() < 16) {
            names.append({section, line.left(eq).trimmed()});
        }
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzApplication();
    // The first byte chooses which part is the file and which the value written.
    const QByteArray bytes = fuzzBytes(data, size);
    const qsizetype split = bytes.isEmpty() ? 0 : std::min<qsizetype>(bytes.size() - 1, uchar(bytes[0]));
    const QByteArray file = bytes.mid(1, split);
    const QString value = fuzzLatin1(QByteArrayView(bytes).sliced(std::min<qsizetype>(bytes.size(), 1 + split)));
    const QString path = fuzzPath(QStringLiteral("tvk.ini"));
    fuzzWrite(path, file);
    Config config(path);

    const auto names = namesIn(file);
    QStringList before;
    for (const auto& [section, key] : names) {
        before.append(config.readString(section, key, QStringLiteral("\x01missing")));
        (void)config.readInteger(section, key, 7);
        FUZZ_CHECK(config.valueExists(section, key) == (before.last() != QStringLiteral("\x01missing")));
    }
    (void)config.sectionExists(QStringLiteral("Params"));

    config.writeString(QStringLiteral("Modem"), QStringLiteral("Model"), value);
    QString expected = value;
    expected.remove(u'\r');
    expected.remove(u'\n');
    FUZZ_CHECK(config.readString(QStringLiteral("Modem"), QStringLiteral("Model"), QString()) ==
               expected.left(Config::kMaxStringRead));
    for (qsizetype i = 0; i < names.size(); ++i) {
        const auto& [section, key] = names[i];
        if (section.compare(QStringLiteral("Modem"), Qt::CaseInsensitive) == 0 &&
            key.compare(QStringLiteral("Model"), Qt::CaseInsensitive) == 0)
            continue;
        FUZZ_CHECK(config.readString(section, key, QStringLiteral("\x01missing")) == before[i]);
    }
    config.eraseSection(QStringLiteral("Modem"));
    FUZZ_CHECK(!config.valueExists(QStringLiteral("Modem"), QStringLiteral("Model")));
    return 0;
}
