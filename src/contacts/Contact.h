// A person or place the user knows by name, with the telephone numbers they call from.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct ContactNumber {
    QString number;    ///< as the user or the file wrote it
    QStringList types; ///< lower-case vCard types: cell, home, work, voice, fax, pref, ...
};

struct Contact {
    QString name;
    QList<ContactNumber> numbers;
    /// Calls from this contact are not recorded automatically.
    bool doNotRecord = false;
};

/// Bounds for reading contact files from anywhere: a file beyond them is read in part, never grown
/// without bound.
namespace ContactLimits {
inline constexpr qsizetype kMaxFileBytes = 64 * 1024 * 1024;
inline constexpr qsizetype kMaxLineBytes = 16 * 1024;
inline constexpr qsizetype kMaxContacts = 100000;
inline constexpr qsizetype kMaxNumbersPerContact = 32;
inline constexpr qsizetype kMaxNameChars = 200;
inline constexpr qsizetype kMaxNumberChars = 64;
inline constexpr qsizetype kMaxCsvFields = 256;
} // namespace ContactLimits

/// `text` as one line of at most kMaxNameChars without control characters: names are shown as text.
QString cleanContactName(const QString& text);
/// `text` reduced to what belongs in a telephone number (digits, + * # and the usual separators), at
/// most kMaxNumberChars; empty when it holds no digit.
QString cleanContactNumber(const QString& text);
