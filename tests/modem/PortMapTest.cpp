// Port numbers to devices: the configured key wins, else the default table.
#include "modem/PortMap.h"
#include "base/Config.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(PortMapTest, ConfiguredDeviceOverridesTheTable) {
    QTemporaryDir dir;
    Config config(dir.filePath(QStringLiteral("tvk.ini")));
    EXPECT_EQ(PortMap::devicePath(&config, 1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(PortMap::devicePath(&config, 3), QStringLiteral("/dev/ttyACM0"));
    EXPECT_EQ(PortMap::devicePath(nullptr, 5), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(PortMap::devicePath(nullptr, 8), QStringLiteral("/dev/ttyS3"));
    EXPECT_TRUE(PortMap::devicePath(nullptr, 0).isEmpty());
    EXPECT_TRUE(PortMap::devicePath(nullptr, 9).isEmpty());
    config.writeString(QStringLiteral("ports"), QStringLiteral("COM3"), QStringLiteral("/tmp/modem-link"));
    config.writeString(QStringLiteral("Ports"), QStringLiteral("Com12"), QStringLiteral("/dev/pts/7"));
    EXPECT_EQ(PortMap::devicePath(&config, 3), QStringLiteral("/tmp/modem-link"));
    EXPECT_EQ(PortMap::devicePath(&config, 12), QStringLiteral("/dev/pts/7"));
    EXPECT_EQ(PortMap::describe(3, QStringLiteral("/tmp/modem-link")), QStringLiteral("3 (/tmp/modem-link)"));
    EXPECT_EQ(PortMap::describe(9, QString()), QStringLiteral("9"));
}
