// The configuration object on tvk.ini: one INI file, read fresh on every call, written at once.
#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>

/// Raised when a write cannot reach the file. The text is "Unable to write to <path>".
class ConfigWriteError : public std::runtime_error {
public:
    explicit ConfigWriteError(const QString& path);
    QString text() const { return QString::fromUtf8(what()); }
};

/// A key of tvk.ini: its section and its name as the file spells them. base/ConfigKeys.h holds them all.
struct ConfigKey {
    QLatin1StringView section;
    QLatin1StringView name;
};

/// A key with the value a read gives when the file does not hold it.
template <typename T> struct ConfigSetting : ConfigKey { T defaultValue; };
using IntegerSetting = ConfigSetting<int>;
using FlagSetting = ConfigSetting<bool>;
using TextSetting = ConfigSetting<QLatin1StringView>;

/// Sections and keys match without regard to letter case ("Params" and "params" are one section).
/// Nothing is cached: each read parses the file, each write replaces it atomically before returning.
class Config {
public:
    /// A read returns at most this many characters of a string value.
    static constexpr qsizetype kMaxStringRead = 2047;

    explicit Config(QString path);

    const QString& path() const { return m_path; }

    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    /// Decimal, or hexadecimal for a text longer than two characters starting with "0x"; anything
    /// else (empty, "1F", missing) yields the default.
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    /// An integer read with default 1 or 0; any non-zero integer is true.
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;

    /// Line breaks in a value are removed: a value may come from a modem and must stay one line.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

    bool valueExists(const QString& section, const QString& key) const;
    /// True when the section holds at least one key.
    bool sectionExists(const QString& section) const;
    void eraseSection(const QString& section);
    /// Every write is already on disk; kept for the callers that flush after rewriting a section.
    void flush() {}

    // The same on a key of the table; read() gives the setting's own default.
    QString readString(const ConfigKey& key, const QString& defaultValue) const {
        return readString(key.section, key.name, defaultValue);
    }
    int readInteger(const ConfigKey& key, int defaultValue) const {
        return readInteger(key.section, key.name, defaultValue);
    }
    bool readBool(const ConfigKey& key, bool defaultValue) const {
        return readBool(key.section, key.name, defaultValue);
    }
    QString read(const TextSetting& setting) const { return readString(setting, setting.defaultValue); }
    int read(const IntegerSetting& setting) const { return readInteger(setting, setting.defaultValue); }
    bool read(const FlagSetting& setting) const { return readBool(setting, setting.defaultValue); }
    void writeString(const ConfigKey& key, const QString& value) { writeString(key.section, key.name, value); }
    void writeInteger(const ConfigKey& key, int value) { writeInteger(key.section, key.name, value); }
    void writeBool(const ConfigKey& key, bool value) { writeBool(key.section, key.name, value); }
    bool valueExists(const ConfigKey& key) const { return valueExists(key.section, key.name); }

    /// Decoding shared with other readers of integer texts.
    static int decodeInteger(const QString& text, int defaultValue);

private:
    QStringList load() const;
    void save(const QStringList& lines);

    QString m_path;
};
