// orlamo-cli at against a modem on a pseudo-terminal.
#include "FakeModem.h"
#include "base/Config.h"
#include "support/ModemSim.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString cliPath() {
    return qEnvironmentVariable("ORLAMO_BIN_DIR") + QStringLiteral("/orlamo-cli");
}

struct CliAtTest : ::testing::Test {
    QTemporaryDir dir;
    FakeModem fake;
    QProcess cli;

    int run(const QStringList& args) {
        cli.start(cliPath(), QStringList{QStringLiteral("--workdir"), dir.path(), QStringLiteral("at")} + args);
        if (!cli.waitForStarted())
            return -1;
        QSignalSpy finished(&cli, &QProcess::finished);
        // The fake modem answers on this thread's event loop while the program runs.
        if (!finished.wait(30000))
            return -1;
        return cli.exitCode();
    }
};

} // namespace

TEST_F(CliAtTest, PrintsEachReplyAndResult) {
    ASSERT_TRUE(fake.pty().ok());
    Config config(dir.filePath(QStringLiteral("tvk.ini")));
    config.writeString(QStringLiteral("Ports"), QStringLiteral("Com2"), fake.pty().slavePath());
    config.writeInteger(QStringLiteral("Modem"), QStringLiteral("port"), 2);
    config.writeInteger(QStringLiteral("Params"), QStringLiteral("Timeout"), 1);
    fake.answer("AT+GMM?", "\r\nSIMMODEM 56K Voice\r\n\r\nOK\r\n");
    fake.answer("AT+VRX", "\r\nERROR\r\n");
    EXPECT_EQ(run({QStringLiteral("AT+GMM?"), QStringLiteral("AT+VRX")}), 1);
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    EXPECT_EQ(out, QStringLiteral("> AT+GMM?\nSIMMODEM 56K Voice\n= 0 ok\n> AT+VRX\n= 3 error\n"));
    EXPECT_EQ(fake.commands(), (QList<QByteArray>{"AT+GMM?", "AT+VRX"}));
}

TEST_F(CliAtTest, PortWithoutDeviceFails) {
    EXPECT_EQ(run({QStringLiteral("--port"), QStringLiteral("9"), QStringLiteral("ATI")}), 1);
    EXPECT_TRUE(cli.readAllStandardError().startsWith("Error during opening com port 9"));
    EXPECT_EQ(run({QStringLiteral("--port")}), 2);
}

TEST_F(CliAtTest, AsksTheSimulatedModemForItsModel) {
    ModemSim sim;
    ASSERT_TRUE(sim.start());
    Config config(dir.filePath(QStringLiteral("tvk.ini")));
    config.writeString(QStringLiteral("Ports"), QStringLiteral("Com1"), sim.linkPath());
    EXPECT_EQ(run({QStringLiteral("AT+GMM?")}), 0);
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QLatin1String("CX93001-EIS_V0.2013-V92"))) << out.toStdString();
    EXPECT_TRUE(out.endsWith(QLatin1String("= 0 ok\n")));
    sim.stop();
}
