// A catalogue made for a test, and orlamo-cli run on it as the user would.
#pragma once

#include "library/Catalogue.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

struct CliResult {
    int code = -1;
    QString out;
    QString err;
};

/// Lists General and Work; in General "call from ABC Ltd" (a), "abc at home" (b, without its file)
/// and "other" (c); in Work "work call" (d). The working folder's path has blanks and quotes.
struct CliCatalogueTest : ::testing::Test {
    QTemporaryDir root;
    QString work = root.filePath(QStringLiteral("calls of \"Ann\" & 'Bob'"));
    QString a, b, c, d;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();

    static CatalogueDateFormat usFormat() { return CatalogueDateFormat(QLocale(QStringLiteral("en_US"))); }

    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(work + QStringLiteral("/wav")));
        // The dates are written and read in the American formats.
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_US.UTF-8"));
        ScriptedPrompter prompter;
        Catalogue catalogue(work, prompter, usFormat());
        catalogue.openCatalogue();
        a = record(catalogue, 1, QStringLiteral("call from ABC Ltd"));
        b = record(catalogue, 2, QStringLiteral("abc at home"), false);
        c = record(catalogue, 3, QStringLiteral("other"));
        TableFile& folders = catalogue.folders();
        folders.append();
        folders.setFieldValue(QStringLiteral("FolderId"), QStringLiteral("WorkList"));
        folders.setFieldValue(QStringLiteral("FolderName"), QStringLiteral("Work"));
        folders.post();
        folders.saveTable();
        catalogue.folderTree().addTopLevel(QStringLiteral("Work"));
        ASSERT_TRUE(folders.locate(QStringLiteral("FolderName"), QStringLiteral("Work")));
        d = record(catalogue, 4, QStringLiteral("work call"));
        ASSERT_TRUE(catalogue.saveTree());
    }

    static QString record(Catalogue& catalogue, int second, const QString& memo, bool withFile = true) {
        RecordingEntry entry;
        entry.endTime = QDateTime(QDate(2026, 12, 8), QTime(10, 0, 0).addSecs(second));
        entry.callerIdEnabled = true;
        entry.callerId = memo;
        const QString name = catalogue.addRecordingEntry(entry);
        if (withFile)
            writeFile(catalogue.wavPath(name), "RIFF" + name.toUtf8());
        return catalogue.recordings().fieldText(QStringLiteral("id"));
    }

    /// The file of a recording of the fixture: 1_20261208_10000<second>.wav.
    QString wavFile(int second) const {
        return QDir(work).filePath(QStringLiteral("wav/1_20261208_10000%1.wav").arg(second));
    }
    QString table() const { return QDir(work).filePath(QStringLiteral("Recordings.d")); }

    /// orlamo-cli --workdir <work> ARGS, started in `launchDir` (the root by default).
    CliResult cli(const QStringList& args, const QString& launchDir = QString()) const {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(launchDir.isEmpty() ? root.path() : launchDir);
        process.start(qEnvironmentVariable("ORLAMO_BIN_DIR") + QStringLiteral("/orlamo-cli"),
                      QStringList{QStringLiteral("--workdir"), work} + args);
        CliResult result;
        if (!process.waitForFinished(60000))
            return result;
        result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    /// The ids of the catalogue on disk, with their lists: "id list memo".
    QStringList rows() const {
        ScriptedPrompter prompter;
        Catalogue catalogue(work, prompter, usFormat());
        catalogue.openCatalogue();
        QStringList out;
        for (const QVariant& id : catalogue.recordings().allValues(QStringLiteral("id"))) {
            if (!catalogue.locateRecording(id.toString(), true)) {
                out.append(id.toString() + QStringLiteral(" ?"));
                continue;
            }
            out.append(id.toString() + QLatin1Char(' ') + catalogue.folders().fieldText(QStringLiteral("FolderName")) +
                       QLatin1Char(' ') + catalogue.recordings().fieldText(QStringLiteral("Comment")));
        }
        return out;
    }
};
