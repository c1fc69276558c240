// The modemsim program started through the test harness: the link, replies, control lines and quitting.
#include "SerialClient.h"
#include "support/ModemSim.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ModemSimHarness, StartsLinksAnswersAndQuits) {
    ModemSim sim({QStringLiteral("--profile"), QStringLiteral("usr5637")});
    ASSERT_TRUE(sim.start());
    EXPECT_TRUE(sim.device().startsWith(QStringLiteral("/dev/pts/")));
    EXPECT_EQ(QFileInfo(sim.linkPath()).symLinkTarget(), sim.device());

    SerialClient port;
    ASSERT_TRUE(port.open(sim.linkPath().toStdString()));
    EXPECT_EQ(port.command("ATI3"), "ATI3\r\r\nU.S. Robotics 56K FAX USB V1.2.23\r\n\r\nOK\r\n");

    // Once command() returns the line has run: the modem's reply is already on its way.
    ASSERT_TRUE(sim.command(QStringLiteral("fault noise=3")));
    EXPECT_EQ(port.command("AT").size(), 3u + 9u);
    ASSERT_TRUE(sim.command(QStringLiteral("fault none")));
    ASSERT_TRUE(sim.command(QStringLiteral("send \\r\\nRING\\r\\n")));
    EXPECT_EQ(port.readUntil("RING\r\n"), "\r\nRING\r\n");

    sim.command(QStringLiteral("unplug"));
    EXPECT_TRUE(port.waitForHangup());
    port.close();
    sim.command(QStringLiteral("plug"));
    ASSERT_TRUE(sim.waitForDevice());
    ASSERT_TRUE(port.open(sim.linkPath().toStdString()));
    EXPECT_EQ(port.command("AT"), "AT\r\r\nOK\r\n");
    sim.stop();
}

TEST(ModemSimHarness, BadOptionsFailToStart) {
    ModemSim sim({QStringLiteral("--profile"), QStringLiteral("nosuchmodem")});
    EXPECT_FALSE(sim.start(5000));
}

TEST(ModemSimHarness, LogsTheDialogue) {
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("sim.log"));
    ModemSim sim({QStringLiteral("--log"), log, QStringLiteral("--speed"), QStringLiteral("5")});
    ASSERT_TRUE(sim.start());
    SerialClient port;
    ASSERT_TRUE(port.open(sim.linkPath().toStdString()));
    EXPECT_EQ(port.command("ATI0"), "ATI0\r\r\n56000\r\n\r\nOK\r\n");
    ASSERT_TRUE(sim.command(QStringLiteral("ring")));
    sim.stop();
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("host: ATI0\\r")) << text.constData();
    EXPECT_TRUE(text.contains("modem: \\r\\n56000\\r\\n")) << text.constData();
    EXPECT_TRUE(text.contains("control: ring")) << text.constData();
}

TEST(ModemSimHarness, RefusesBadSpeed) {
    ModemSim sim({QStringLiteral("--speed"), QStringLiteral("0")});
    EXPECT_FALSE(sim.start(5000));
}
