// INI parsing and writing with the profile rules of tvk.ini.
#include "base/Config.h"

#include "base/LegacyText.h"

#include <QFile>
#include <QSaveFile>

namespace {

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isSectionLine(const QString& line, QString* name) {
    const QString t = line.trimmed();
    if (t.size() < 2 || !t.startsWith(QLatin1Char('[')) || !t.endsWith(QLatin1Char(']')))
        return false;
    if (name)
        *name = t.mid(1, t.size() - 2).trimmed();
    return true;
}

bool isKeyLine(const QString& line, QString* key, QString* value) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    const QString k = line.left(eq).trimmed();
    if (k.isEmpty() || k.startsWith(QLatin1Char(';')))
        return false;
    if (key)
        *key = k;
    if (value)
        *value = line.mid(eq + 1);
    return true;
}

// The range [begin, end) of the lines of a section, its header at begin - 1; begin = -1 when absent.
struct SectionRange {
    qsizetype begin = -1;
    qsizetype end = -1;
};

SectionRange findSection(const QStringList& lines, const QString& section) {
    SectionRange range;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString name;
        if (!isSectionLine(lines[i], &name))
            continue;
        if (range.begin >= 0) {
            range.end = i;
            return range;
        }
        if (sameName(name, section))
            range.begin = i + 1;
    }
    if (range.begin >= 0)
        range.end = lines.size();
    return range;
}

qsizetype findKey(const QStringList& lines, const SectionRange& range, const QString& key, QString* value) {
    if (range.begin < 0)
        return -1;
    for (qsizetype i = range.begin; i < range.end; ++i) {
        QString k;
        if (isKeyLine(lines[i], &k, value) && sameName(k, key))
            return i;
    }
    return -1;
}

QString oneLine(QString text) {
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

} // namespace

ConfigWriteError::ConfigWriteError(const QString& path)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString()) {}

Config::Config(QString path) : m_path(std::move(path)) {}

QStringList Config::load() const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Line by line: a file from the original platform (Windows-1252) keeps its old lines after the
    // program has written new ones in UTF-8.
    QByteArray bytes = file.readAll();
    bytes.replace('\r', QByteArray());
    QList<QByteArray> raw = bytes.split('\n');
    if (!raw.isEmpty() && raw.last().isEmpty())
        raw.removeLast();
    QStringList lines;
    lines.reserve(raw.size());
    for (const QByteArray& line : raw)
        lines.append(LegacyText::decode(line));
    return lines;
}

void Config::save(const QStringList& lines) {
    QByteArray text;
    for (const QString& line : lines) {
        text += line.toUtf8();
        text += "\r\n";
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw ConfigWriteError(m_path);
}

QString Config::readString(const QString& section, const QString& key, const QString& defaultValue) const {
    const QStringList lines = load();
    QString value;
    if (findKey(lines, findSection(lines, section), key, &value) < 0)
        return defaultValue.left(kMaxStringRead);
    return value.left(kMaxStringRead);
}

int Config::decodeInteger(const QString& text, int defaultValue) {
    const QString t = text.trimmed();
    bool ok = false;
    int value = 0;
    if (t.size() > 2 && (t.startsWith(QLatin1String("0x")) || t.startsWith(QLatin1String("0X"))))
        value = static_cast<int>(t.mid(2).toUInt(&ok, 16));
    else
        value = t.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

int Config::readInteger(const QString& section, const QString& key, int defaultValue) const {
    const QStringList lines = load();
    QString value;
    if (findKey(lines, findSection(lines, section), key, &value) < 0)
        return defaultValue;
    return decodeInteger(value, defaultValue);
}

bool Config::readBool(const QString& section, const QString& key, bool defaultValue) const {
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void Config::writeString(const QString& section, const QString& key, const QString& value) {
    QStringList lines = load();
    const QString sectionName = oneLine(section);
    const QString keyName = oneLine(key);
    const QString entry = keyName + QLatin1Char('=') + oneLine(value);
    const SectionRange range = findSection(lines, sectionName);
    if (range.begin < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + sectionName + QLatin1Char(']'));
        lines.append(entry);
    } else if (const qsizetype at = findKey(lines, range, keyName, nullptr); at >= 0) {
        // The key keeps the spelling of its first write.
        QString stored;
        isKeyLine(lines[at], &stored, nullptr);
        lines[at] = stored + QLatin1Char('=') + oneLine(value);
    } else {
        // After the section's last non-blank line, so the blank separator stays between sections.
        qsizetype insertAt = range.end;
        while (insertAt > range.begin && lines[insertAt - 1].trimmed().isEmpty())
            --insertAt;
        lines.insert(insertAt, entry);
    }
    save(lines);
}

void Config::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void Config::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool Config::valueExists(const QString& section, const QString& key) const {
    const QStringList lines = load();
    return findKey(lines, findSection(lines, section), key, nullptr) >= 0;
}

bool Config::sectionExists(const QString& section) const {
    const QStringList lines = load();
    const SectionRange range = findSection(lines, section);
    for (qsizetype i = range.begin; range.begin >= 0 && i < range.end; ++i) {
        if (isKeyLine(lines[i], nullptr, nullptr))
            return true;
    }
    return false;
}

void Config::eraseSection(const QString& section) {
    QStringList lines = load();
    bool changed = false;
    // A hand-edited file may hold the section twice; every copy goes.
    for (SectionRange range = findSection(lines, section); range.begin >= 0; range = findSection(lines, section)) {
        lines.remove(range.begin - 1, range.end - range.begin + 1);
        changed = true;
    }
    if (changed)
        save(lines);
}
