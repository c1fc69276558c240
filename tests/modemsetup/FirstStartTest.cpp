// A first start in an empty working folder with a simulated modem as the only port, in-process and through
// orlamo-cli.
#include "base/Config.h"
#include "modem/ModemController.h"
#include "modemsetup/ModemProfile.h"
#include "program/Program.h"
#include "support/ModemSim.h"
#include "support/ScriptedPrompter.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kModem = QStringLiteral("Modem");
const QString kParams = QStringLiteral("Params");

/// tvk.ini holding only the port map: the simulator on port `simPort`, nothing behind the others.
void mapPorts(const QTemporaryDir& dir, int simPort, const QString& link) {
    Config config(dir.filePath(QStringLiteral("tvk.ini")));
    for (int port = 1; port <= 8; ++port)
        config.writeString(QStringLiteral("Ports"), QStringLiteral("Com%1").arg(port),
                           port == simPort ? link : dir.filePath(QStringLiteral("absent%1").arg(port)));
}

QString cli() {
    return qEnvironmentVariable("ORLAMO_BIN_DIR") + QStringLiteral("/orlamo-cli");
}

} // namespace

TEST(FirstStart, UnattendedStartConfirmsTheFirstModemAndStoresItsProfile) {
    QTemporaryDir dir;
    ModemSim sim({QStringLiteral("--profile"), QStringLiteral("usr5637")});
    ASSERT_TRUE(sim.start());
    mapPorts(dir, 6, sim.linkPath());

    StartOptions options;
    options.unattended = true;
    ScriptedPrompter prompter;
    QStringList lines;
    {
        Program core(dir.path(), options, prompter);
        core.start();
        const Config& config = core.config();
        EXPECT_EQ(config.readInteger(kModem, QStringLiteral("port"), 0), 6);
        EXPECT_EQ(config.readString(kModem, QStringLiteral("Model"), QString()),
                  QStringLiteral("U.S. Robotics 56K FAX USB V1.2.23"));
        EXPECT_EQ(config.readString(kModem, QStringLiteral("VoiceMode"), QString()), QStringLiteral("at+fclass=8"));
        EXPECT_EQ(config.readString(kModem, QStringLiteral("VoiceCompression"), QString()),
                  QStringLiteral("at+vsm=128,8000"));
        EXPECT_EQ(config.readString(kModem, QStringLiteral("RecGain"), QString()), QStringLiteral("at+vgr=128"));
        EXPECT_EQ(config.readString(kParams, QStringLiteral("UseLine"), QString()), QStringLiteral("at+vls=1"));
        EXPECT_TRUE(config.readBool(kParams, QStringLiteral("Voicefeatures"), false));
        EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("Compressions.d"))));
        EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("ModemCompression.cpn"))));
        // The profile was loaded and the port opened for recording.
        EXPECT_EQ(core.profile().params().port, 6);
        EXPECT_EQ(core.profile().params().ForCallerId, QStringLiteral("at+vcid=1"));
        EXPECT_TRUE(core.profile().voiceFeatures());
        EXPECT_TRUE(core.modem().portOpen());
        EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('\n').toStdString();
        core.shutdown();
        lines = core.logger().lines();
    }
    EXPECT_TRUE(lines.contains(QStringLiteral("----- finding modems finished -----")));
    EXPECT_TRUE(lines.contains(QStringLiteral("now vsm")));
}

TEST(FirstStart, CliListsTheModemsAndWritesTheChosenProfile) {
    QTemporaryDir dir;
    ModemSim sim({QStringLiteral("--profile"), QStringLiteral("cx93001")});
    ASSERT_TRUE(sim.start());
    mapPorts(dir, 2, sim.linkPath());
    {
        // The listing keeps a stored profile.
        Config config(dir.filePath(QStringLiteral("tvk.ini")));
        config.writeInteger(kModem, QStringLiteral("FlowControl"), 2);
        config.writeString(kModem, QStringLiteral("Model"), QStringLiteral("before"));
    }
    QProcess process;
    process.start(cli(), {QStringLiteral("--workdir"), dir.path(), QStringLiteral("modems")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QString listing = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_TRUE(listing.contains(
        QStringLiteral("1\tcom2\t%1\tCX93001-EIS_V0.2013-V92\tCONEXANT\tV0.2013-V92\n").arg(sim.linkPath())))
        << listing.toStdString();
    EXPECT_EQ(Config(dir.filePath(QStringLiteral("tvk.ini"))).readString(kModem, QStringLiteral("Model"), QString()),
              QStringLiteral("before"));

    process.start(cli(), {QStringLiteral("--workdir"), dir.path(), QStringLiteral("modems"), QStringLiteral("--write"),
                          QStringLiteral("1")});
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QString written = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_TRUE(written.contains(QStringLiteral("\nport=2\n"))) << written.toStdString();
    EXPECT_TRUE(written.contains(QStringLiteral("Modem/VoiceCompression=at+vsm=1,8000,0,0\n")))
        << written.toStdString();
    EXPECT_TRUE(written.contains(QStringLiteral("Params/UseLineRes=ok\n"))) << written.toStdString();
    const Config config(dir.filePath(QStringLiteral("tvk.ini")));
    EXPECT_EQ(config.readString(kModem, QStringLiteral("Model"), QString()), QStringLiteral("CX93001-EIS_V0.2013-V92"));
    EXPECT_EQ(config.readInteger(kParams, QStringLiteral("Timeout"), 0), 4);

    process.start(cli(), {QStringLiteral("--workdir"), dir.path(), QStringLiteral("modems"), QStringLiteral("--write"),
                          QStringLiteral("2")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 2);
}
