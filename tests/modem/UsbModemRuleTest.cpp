// The udev rule for a USB modem: its ids found through sysfs's links, never taken when malformed.
#include "modem/UsbModemRule.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct UsbModemRuleTest : ::testing::Test {
    QTemporaryDir root;
    QString sys() const { return root.filePath(QStringLiteral("sys")); }

    /// A tty `name` under a device folder `deviceFolder` (relative to sys/devices) with its /dev file.
    QString addTty(const QString& name, const QString& deviceFolder) {
        const QString devices = sys() + QStringLiteral("/devices/") + deviceFolder;
        QDir().mkpath(devices + QLatin1Char('/') + name);
        QDir().mkpath(sys() + QStringLiteral("/class/tty/") + name);
        QFile::link(devices, sys() + QStringLiteral("/class/tty/") + name + QStringLiteral("/device"));
        QDir().mkpath(root.filePath(QStringLiteral("dev")));
        const QString node = root.filePath(QStringLiteral("dev/") + name);
        QFile file(node);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return node;
    }
    void write(const QString& path, const QByteArray& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
};

} // namespace

TEST_F(UsbModemRuleTest, TheIdsOfTheUsbDeviceAboveTheTtyMakeTheRule) {
    const QString usb = QStringLiteral("pci0000:00/0000:00:14.0/usb1/1-2");
    const QString node = addTty(QStringLiteral("ttyACM0"), usb + QStringLiteral("/1-2:1.0"));
    write(sys() + QStringLiteral("/devices/") + usb + QStringLiteral("/idVendor"), "0B1C\n");
    write(sys() + QStringLiteral("/devices/") + usb + QStringLiteral("/idProduct"), "2a4f\n");
    // A stable name in /dev/serial/by-id leads to the same device.
    QDir().mkpath(root.filePath(QStringLiteral("dev/serial/by-id")));
    const QString stable = root.filePath(QStringLiteral("dev/serial/by-id/usb-Voice_Modem-if00"));
    ASSERT_TRUE(QFile::link(node, stable));

    for (const QString& device : {node, stable}) {
        const auto ids = UsbModemRule::idsOf(device, sys());
        ASSERT_TRUE(ids.has_value()) << device.toStdString();
        EXPECT_EQ(ids->vendor, QStringLiteral("0b1c"));
        EXPECT_EQ(ids->product, QStringLiteral("2a4f"));
        EXPECT_EQ(UsbModemRule::ruleFor(*ids),
                  QStringLiteral("SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"0b1c\", ATTRS{idProduct}==\"2a4f\", "
                                 "ENV{ORLAMO_MODEM}=\"1\", SYMLINK+=\"orlamo-modem\""));
    }
}

TEST_F(UsbModemRuleTest, NoRuleForABuiltInPortAMissingDeviceOrIdsThatAreNotIds) {
    EXPECT_FALSE(UsbModemRule::idsOf(addTty(QStringLiteral("ttyS0"), QStringLiteral("platform/serial8250")), sys()));
    EXPECT_FALSE(UsbModemRule::idsOf(root.filePath(QStringLiteral("dev/ttyUSB7")), sys()));
    // Whatever a device claims goes into a rule file only when it is an id.
    const QString usb = QStringLiteral("pci0000:00/usb2/2-1");
    const QString node = addTty(QStringLiteral("ttyUSB0"), usb + QStringLiteral("/2-1:1.0"));
    write(sys() + QStringLiteral("/devices/") + usb + QStringLiteral("/idVendor"), "0572\", RUN+=\"/bin/sh\n");
    write(sys() + QStringLiteral("/devices/") + usb + QStringLiteral("/idProduct"), "1329\n");
    EXPECT_FALSE(UsbModemRule::idsOf(node, sys()));
}
