// What the fuzz targets share: the application object, a scratch folder, input helpers and a check
// that turns a broken promise into a crash libFuzzer keeps.
#pragma once

#include "base/Prompter.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

/// Aborts with the condition's text when it does not hold, so the input is kept as a finding.
#define FUZZ_CHECK(condition) ((condition) ? void(0) : fuzzFail(#condition, __FILE__, __LINE__))
[[noreturn]] void fuzzFail(const char* what, const char* file, int line);

/// Creates the one QCoreApplication of the run (timers, event loops and files need it) and silences
/// Qt's warnings, which hostile input provokes by the million.
void fuzzApplication();
/// `name` in a scratch folder of the run (in memory where the system offers one).
QString fuzzPath(const QString& name);
void fuzzWrite(const QString& path, QByteArrayView bytes);
inline QByteArray fuzzBytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}
/// Bytes as the modem controller turns them into text: each byte one character.
QString fuzzLatin1(QByteArrayView bytes);

/// Answers every question with its default and shows nothing.
class QuietPrompter : public Prompter {
public:
    void message(const QString&, Icon) override { ++messages; }
    Answer confirm(const QString&, Buttons, Answer defaultAnswer) override { return defaultAnswer; }
    std::optional<QString> inputBox(const QString&, const QString&, const QString& value) override { return value; }
    std::optional<QString> chooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> chooseFolder(const QString&, const QString&) override { return {}; }
    int messages = 0;
};
