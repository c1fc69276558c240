// The diagnostics report against the simulated modem: its exact lines, the progress, automatic-record
// mode around the questions, the file, and a port that cannot be opened; and orlamo-cli diagnostics.
#include "modemsetup/DiagnosticsReport.h"

#include "support/ModemSetupFixture.h"
#include "support/ModemSim.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct DiagnosticsReportTest : ModemSetupFixture {
    DiagnosticsReport report{modem, box, profile, settings, logger, prompter, dir.path()};

    /// The profile's port 1 is `device`; automatic recording as `automatic`.
    void configure(const QString& device, bool automatic) {
        configurePort(1, device);
        config.writeBool(QStringLiteral("Params"), QStringLiteral("AutoRecord"), automatic);
        settings.load();
        profile.load(config);
        ModemSettings line;
        line.port = 1;
        modem.setSettings(ModemSettings::fromSettings(settings, line));
    }
    QByteArray reportFile() {
        QFile file(report.reportPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
};

} // namespace

TEST(DiagnosticsProgress, RoundsHalvesToEven) {
    EXPECT_EQ(DiagnosticsReport::progressAfter(1, 40), 2);   // 2.5
    EXPECT_EQ(DiagnosticsReport::progressAfter(3, 40), 8);   // 7.5
    EXPECT_EQ(DiagnosticsReport::progressAfter(39, 40), 98); // 97.5
    EXPECT_EQ(DiagnosticsReport::progressAfter(40, 40), 100);
    EXPECT_EQ(DiagnosticsReport::commands().size(), 40);
}

TEST_F(DiagnosticsReportTest, EachQuestionWithItsAnswerOrErrorAndABlankLine) {
    ModemSim sim;
    ASSERT_TRUE(sim.start());
    configure(sim.linkPath(), true);
    QList<bool> autoRecordAtQuestion;
    QSignalSpy shown(&report, &DiagnosticsReport::progressShown);
    QSignalSpy progress(&report, &DiagnosticsReport::progressChanged);
    QSignalSpy hidden(&report, &DiagnosticsReport::progressHidden);
    QObject::connect(&report, &DiagnosticsReport::progressChanged,
                     [&](int) { autoRecordAtQuestion.append(modem.calls().autoRecordMode()); });

    ASSERT_TRUE(report.runDiagnostics()) << prompter.shown.join('|').toStdString();
    EXPECT_TRUE(prompter.shown.isEmpty());
    const QStringList lines = box.lines();
    ASSERT_GE(lines.size(), 3 + 40 * 3);
    EXPECT_FALSE(lines[0].isEmpty());
    EXPECT_FALSE(lines[1].isEmpty());
    EXPECT_EQ(lines[2], QStringLiteral(" "));
    // "ate0" is answered with a bare OK: three lines.
    EXPECT_EQ(lines.mid(3, 3), (QStringList{"ate0", "OK", " "}));
    // A question the modem knows gives its answer before OK.
    const qsizetype gmm = lines.indexOf(QStringLiteral("at+GMM?"));
    ASSERT_GT(gmm, 0);
    EXPECT_FALSE(lines[gmm + 1].isEmpty());
    EXPECT_NE(lines[gmm + 1], QStringLiteral("OK"));
    // Every question appears once, in order, each entry ending with OK or ERROR and a blank line.
    qsizetype at = 3;
    for (const QString& question : DiagnosticsReport::commands()) {
        ASSERT_EQ(lines.value(at), question);
        const qsizetype blank = lines.indexOf(QStringLiteral(" "), at + 1);
        ASSERT_GT(blank, at + 1) << question.toStdString();
        EXPECT_TRUE(lines[blank - 1] == QStringLiteral("OK") || lines[blank - 1] == QStringLiteral("ERROR"))
            << question.toStdString();
        at = blank + 1;
    }
    EXPECT_EQ(at, lines.size());
    EXPECT_TRUE(lines.contains(QStringLiteral("ERROR"))) << "the simulated modem knows not every question";

    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.at(0).at(0).toString(), QStringLiteral("Progress..."));
    ASSERT_EQ(progress.size(), 40);
    EXPECT_EQ(progress.first().at(0).toInt(), 2);
    EXPECT_EQ(progress.last().at(0).toInt(), 100);
    EXPECT_EQ(hidden.size(), 1);
    // Automatic recording is off during the questions and back on afterwards; the port stays open.
    EXPECT_EQ(autoRecordAtQuestion, QList<bool>(40, false));
    EXPECT_TRUE(modem.calls().autoRecordMode());
    EXPECT_TRUE(modem.portOpen());
    EXPECT_EQ(reportFile(), lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
    EXPECT_EQ(logger.lines().count(QStringLiteral("Diagnostics")), 1);
}

TEST_F(DiagnosticsReportTest, APortThatCannotOpenWritesNothing) {
    configure(dir.filePath(QStringLiteral("no-modem")), false);
    {
        QFile earlier(report.reportPath());
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier report\r\n");
    }
    EXPECT_FALSE(report.runDiagnostics());
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("Error during opening com port 1")});
    EXPECT_EQ(reportFile(), QByteArray("an earlier report\r\n"));
}

TEST(CliDiagnostics, PrintsAndWritesTheReportOrSaysWhyNot) {
    QTemporaryDir dir;
    ModemSim sim;
    ASSERT_TRUE(sim.start());
    ASSERT_TRUE(
        sim.writeFirstStartConfig(dir.filePath(QStringLiteral("tvk.ini")), "[Modem]\r\nport=1\r\nFlowControl=2\r\n"));
    const QString cli = qEnvironmentVariable("ORLAMO_BIN_DIR") + QStringLiteral("/orlamo-cli");
    QProcess run;
    run.start(cli, {QStringLiteral("--workdir"), dir.path(), QStringLiteral("diagnostics")});
    ASSERT_TRUE(run.waitForFinished(120000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().constData();
    const QByteArray out = run.readAllStandardOutput();
    EXPECT_TRUE(out.contains("\nate0\nOK\n \n")) << out.constData();
    EXPECT_TRUE(out.endsWith("at+VPR=?\nOK\n \n") || out.endsWith("at+VPR=?\nERROR\n \n")) << out.constData();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("Diagnostics.log"))));

    run.start(cli, {QStringLiteral("--workdir"), dir.path(), QStringLiteral("diagnostics"), QStringLiteral("--port"),
                    QStringLiteral("2")});
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 1);
    // One line, with the reason the system gave.
    const QByteArray err = run.readAllStandardError();
    EXPECT_TRUE(err.startsWith("orlamo-cli diagnostics: Error during opening com port 2: ")) << err.constData();
    EXPECT_EQ(err.count('\n'), 1) << err.constData();
}
