// Finds the codec format of the modem's current voice compression and saves it as ModemCompression.cpn.
#pragma once

#include <QString>

class Prompter;

/// The three fields of the current modem compression record the matcher compares.
struct ModemCompressionFields {
    QString description;   ///< "UNSIGNED PCM", "SIGNED PCM", "ULAW" or "ALAW"; compared exactly
    QString bitsPerSample; ///< decimal text, e.g. "8"
    QString sampleRate;    ///< decimal text, e.g. "8000"
};

inline const QString kModemCompressionFile = QStringLiteral("ModemCompression.cpn");
inline const QString kFileCompressionFile = QStringLiteral("FileCompression.cpn");

/// Searches the codec list in enumeration order; on a match saves the format (extra bytes zero) to
/// `fileName` and returns true. Otherwise shows "None Codec Format found to match modem compression\r
/// Choose a different modem compression", leaves the file alone and returns false.
bool matchModemCompression(const ModemCompressionFields& compression, Prompter& prompter,
                           const QString& fileName = kModemCompressionFile);
