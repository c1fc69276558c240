// The modemsim program started through the test harness: the link, replies, control lines and quitting.
#include "SerialClient.h"
#include "support/ModemSim.h"

#include <QFileInfo>
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
