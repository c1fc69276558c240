// "Report a problem": the description mailed with the files that exist, and a second hand-over with
// everything in the text when the mail program does not take the first.
#include "program/ProblemReport.h"

#include "base/Config.h"
#include "base/Logger.h"
#include "library/MailHandOver.h"
#include "modemsetup/DiagnosticsReport.h"
#include "program/Program.h"
#include "support/ScriptedPrompter.h"
#include "support/XdgEmailStandIn.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ProblemReportTest : ::testing::Test {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    XdgEmailStandIn standIn;
    std::unique_ptr<Program> program;
    std::unique_ptr<MailHandOver> mail;
    std::unique_ptr<ProblemReport> report;

    void SetUp() override {
        ASSERT_TRUE(standIn.valid());
        standIn.put();
        {
            // No modem can be reached: the report sends what exists.
            Config config(dir.filePath(QStringLiteral("tvk.ini")));
            config.writeString(QStringLiteral("Ports"), QStringLiteral("Com1"), dir.filePath(QStringLiteral("none")));
            config.writeInteger(QStringLiteral("Modem"), QStringLiteral("port"), 1);
        }
        program = std::make_unique<Program>(dir.path(), StartOptions{}, prompter);
        program->startModemSide();
        program->logger().add(QStringLiteral("a line of the event log"));
        mail = std::make_unique<MailHandOver>(dir.path());
        report = std::make_unique<ProblemReport>(program->config(), program->logger(), program->diagnostics(),
                                                 program->queryBox(), *mail, dir.path());
    }
    QString bodyOfLastRun() const {
        const QStringList args = standIn.arguments();
        const qsizetype at = args.indexOf(QStringLiteral("--body"));
        return at >= 0 ? args.value(at + 1) : QString();
    }
};

} // namespace

TEST_F(ProblemReportTest, TheDescriptionGoesWithTheFilesThatExist) {
    standIn.setExitCode(0);
    EXPECT_TRUE(report->send(QStringLiteral("Calls stay silent\nsince Monday")));
    const QStringList args = standIn.arguments();
    ASSERT_FALSE(args.isEmpty());
    EXPECT_EQ(args.value(args.indexOf(QStringLiteral("--subject")) + 1), QStringLiteral("TVK v1.7.5 support"));
    EXPECT_EQ(bodyOfLastRun(), QStringLiteral("Calls stay silent\nsince Monday\n"));
    // The port could not be opened: no report this time; the event log just written and tvk.ini go.
    QStringList attached;
    for (qsizetype i = 0; i < args.size(); ++i)
        if (args[i] == QStringLiteral("--attach"))
            attached << args.value(i + 1);
    EXPECT_EQ(attached,
              (QStringList{dir.filePath(QStringLiteral("Events.log")), dir.filePath(QStringLiteral("tvk.ini"))}));
    EXPECT_EQ(args.last(), QStringLiteral("support@orlamo.example.org"));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("Events.log"))));
}

TEST_F(ProblemReportTest, AMailProgramThatRefusesGetsEverythingInTheText) {
    program->config().writeString(QStringLiteral("Mail"), QStringLiteral("SupportAddress"),
                                  QStringLiteral("help@example.net"));
    // A long run's event log: far more than one argument to the mail program can carry.
    for (int i = 0; i < 20000; ++i)
        program->logger().add(QStringLiteral("event %1 of a long day at the line").arg(i));
    standIn.setExitCode(3);
    EXPECT_FALSE(report->send(QStringLiteral("It rings but nothing is recorded")));
    EXPECT_FALSE(report->failure().isEmpty());
    const QString body = bodyOfLastRun();
    EXPECT_LE(body.toUtf8().size(), ProblemReport::kInlineBodyLimit);
    const QStringList lines = body.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 8);
    EXPECT_EQ(lines[0], QStringLiteral("It rings but nothing is recorded"));
    EXPECT_EQ(lines[1], QString());
    EXPECT_EQ(lines[2], QStringLiteral("----------------- Diagnostics -------------------"));
    for (const char* marker :
         {"------------------- tvk.ini ---------------------", "[Modem]",
          "------------------- Events ---------------------", "event 19999 of a long day at the line"})
        EXPECT_TRUE(lines.contains(QString::fromLatin1(marker))) << marker;
    // tvk.ini's last line is followed by the banner, not by a blank line; the events cut say so.
    const qsizetype iniEnd = lines.indexOf(QStringLiteral("--------------------- End -----------------------"));
    ASSERT_GT(iniEnd, 0);
    EXPECT_FALSE(lines[iniEnd - 1].isEmpty());
    const qsizetype events = lines.indexOf(QStringLiteral("------------------- Events ---------------------"));
    EXPECT_TRUE(
        lines.value(events + 1).endsWith(QStringLiteral("earlier lines are left out: Events.log holds them all)")))
        << lines.value(events + 1).toStdString();
    EXPECT_TRUE(body.endsWith(QStringLiteral("--------------------- End -----------------------\n")));
    EXPECT_EQ(standIn.arguments().last(), QStringLiteral("help@example.net"));
}
