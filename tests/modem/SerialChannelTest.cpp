// The serial channel on a real pseudo-terminal: opening, sending, the notification contract, loss.
#include "modem/SerialChannel.h"
#include "PtyPair.h"
#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

/// Waits, without handling events, until the reader thread holds `count` bytes.
bool heldWithoutEvents(const SerialChannel& port, qsizetype count, int timeoutMs = 5000) {
    QDeadlineTimer deadline(timeoutMs);
    while (port.bytesHeld() < count) {
        if (deadline.hasExpired())
            return false;
        QThread::yieldCurrentThread();
    }
    return true;
}

struct SerialChannelTest : ::testing::Test {
    PtyPair pty;
    SerialChannel port;
    QByteArray received;
    QList<int> counts;

    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        port.setComNumber(1);
        port.setDevice(pty.slavePath());
        port.setBaud(115200);
    }
    /// Reads exactly the announced bytes, as every handler must.
    void collectAll() {
        QObject::connect(&port, &SerialChannel::bytesAvailable, [this](int count) {
            counts.append(count);
            for (int i = 0; i < count; ++i)
                received.append(port.readByte());
        });
    }
};

} // namespace

TEST_F(SerialChannelTest, OpenAndCloseNotifyBeforeReturning) {
    QSignalSpy opened(&port, &SerialChannel::opened);
    QSignalSpy closed(&port, &SerialChannel::closed);
    ASSERT_TRUE(port.openChannel()) << port.errorString().toStdString();
    EXPECT_EQ(opened.count(), 1);
    EXPECT_TRUE(port.isOpen());
    EXPECT_TRUE(port.closeChannel());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.outputRoom(), 4096);
}

TEST_F(SerialChannelTest, EverySpeedAndFlowControlOpensAPseudoTerminal) {
    // The pseudo-terminal refuses the modem-control ioctls; that is no failure to open.
    for (int baud : SerialLine::kSpeeds) {
        for (auto flow : {SerialChannel::FlowControl::Hardware, SerialChannel::FlowControl::Software,
                          SerialChannel::FlowControl::None}) {
            port.setBaud(baud);
            port.setFlowControl(flow);
            ASSERT_TRUE(port.openChannel()) << baud << ' ' << port.errorString().toStdString();
            port.sendText("AT\r");
            EXPECT_EQ(pty.read(3), QByteArray("AT\r")) << baud;
            ASSERT_TRUE(port.closeChannel());
        }
    }
}

TEST_F(SerialChannelTest, MissingDeviceFailsWithoutNotification) {
    QSignalSpy opened(&port, &SerialChannel::opened);
    port.setDevice(QStringLiteral("/dev/orlamo-no-such-port"));
    EXPECT_FALSE(port.openChannel());
    EXPECT_FALSE(port.errorString().isEmpty());
    port.setDevice(QString());
    EXPECT_FALSE(port.openChannel());
    EXPECT_EQ(opened.count(), 0);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.outputRoom(), 4096);
    port.sendText("ignored"); // a closed channel sends nothing and does not fail
}

TEST_F(SerialChannelTest, SentBytesArriveInOrder) {
    ASSERT_TRUE(port.openChannel());
    port.sendText("at+vsm=?\r");
    port.sendByte('\x10');
    port.sendByte('!');
    EXPECT_EQ(pty.read(11), QByteArray("at+vsm=?\r\x10!"));
    EXPECT_TRUE(waitUntil([&] { return port.outputRoom() == 4096; }));
}

TEST_F(SerialChannelTest, EveryByteDeliveredOnceInOrder) {
    collectAll();
    ASSERT_TRUE(port.openChannel());
    QByteArray all;
    for (int i = 0; i < 20000; ++i)
        all.append(static_cast<char>(i * 7));
    ASSERT_TRUE(pty.write(all));
    ASSERT_TRUE(waitUntil([&] { return received.size() >= all.size(); }));
    EXPECT_EQ(received, all);
    for (int count : counts)
        EXPECT_TRUE(count >= 1 && count <= SerialChannel::kMaxNotification);
}

TEST_F(SerialChannelTest, BurstDuringNotificationComesInTheNextOne) {
    int depth = 0;
    bool overlapped = false;
    QObject::connect(&port, &SerialChannel::bytesAvailable, [&](int count) {
        overlapped = overlapped || depth > 0;
        ++depth;
        counts.append(count);
        for (int i = 0; i < count; ++i)
            received.append(port.readByte());
        if (counts.size() == 1) {
            // The burst reaches the channel while this handler still runs.
            pty.write("BURST");
            heldWithoutEvents(port, 5);
        }
        --depth;
    });
    ASSERT_TRUE(port.openChannel());
    ASSERT_TRUE(pty.write("RING\r\n"));
    ASSERT_TRUE(waitUntil([&] { return received.size() >= 11; }));
    EXPECT_EQ(received, QByteArray("RING\r\nBURST"));
    ASSERT_GE(counts.size(), 2);
    EXPECT_EQ(counts.last(), 5);
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(port.bytesHeld(), 0);
}

TEST_F(SerialChannelTest, HandlerThatReadItsBytesMayWaitForMore) {
    // A handler that runs an exchange (stop, reopen, initialise) waits inside the notification;
    // the reply must reach it there.
    QByteArray nested;
    QObject::connect(&port, &SerialChannel::bytesAvailable, [&](int count) {
        QByteArray mine;
        for (int i = 0; i < count; ++i)
            mine.append(port.readByte());
        if (mine.startsWith("first")) {
            received = mine;
            pty.write("OK\r\n");
            QEventLoop loop;
            QTimer::singleShot(10000, &loop, &QEventLoop::quit);
            QMetaObject::Connection c = QObject::connect(&port, &SerialChannel::bytesAvailable, &loop,
                                                         [&] { QTimer::singleShot(0, &loop, &QEventLoop::quit); });
            loop.exec();
            QObject::disconnect(c);
        } else {
            nested += mine;
        }
    });
    ASSERT_TRUE(port.openChannel());
    ASSERT_TRUE(pty.write("first"));
    ASSERT_TRUE(waitUntil([&] { return nested.size() >= 4; }));
    EXPECT_EQ(received, QByteArray("first"));
    EXPECT_EQ(nested, QByteArray("OK\r\n"));
}

TEST_F(SerialChannelTest, ReadingBeyondTheCountYieldsNothing) {
    QByteArray extra;
    QObject::connect(&port, &SerialChannel::bytesAvailable, [&](int count) {
        for (int i = 0; i < count; ++i)
            received.append(port.readByte());
        extra.append(port.readByte());
    });
    ASSERT_TRUE(port.openChannel());
    ASSERT_TRUE(pty.write("abc"));
    ASSERT_TRUE(heldWithoutEvents(port, 3));
    ASSERT_TRUE(waitUntil([&] { return received.size() >= 3; }));
    EXPECT_EQ(received, QByteArray("abc"));
    EXPECT_EQ(extra, QByteArray(1, '\0'));
}

TEST_F(SerialChannelTest, DiscardInputDropsBytesNotYetRead) {
    collectAll();
    ASSERT_TRUE(port.openChannel());
    ASSERT_TRUE(pty.write("stale reply"));
    ASSERT_TRUE(heldWithoutEvents(port, 11));
    port.discardInput();
    EXPECT_EQ(port.bytesHeld(), 0);
    ASSERT_TRUE(pty.write("X"));
    ASSERT_TRUE(waitUntil([&] { return !received.isEmpty(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(received, QByteArray("X"));
}

TEST_F(SerialChannelTest, BusyUserInterfaceLosesNothing) {
    collectAll();
    ASSERT_TRUE(port.openChannel());
    // Two seconds of 16-bit audio arrive while this thread handles no events at all.
    QByteArray audio;
    for (int i = 0; i < 32000; ++i)
        audio.append(static_cast<char>((i * 31) ^ (i >> 8)));
    ASSERT_TRUE(pty.write(audio));
    ASSERT_TRUE(heldWithoutEvents(port, audio.size()));
    EXPECT_TRUE(received.isEmpty());
    ASSERT_TRUE(waitUntil([&] { return received.size() >= audio.size(); }));
    EXPECT_EQ(received, audio);
    EXPECT_EQ(port.overrunBytes(), 0);
}

TEST_F(SerialChannelTest, VanishedDeviceClosesTheChannel) {
    collectAll();
    QSignalSpy closed(&port, &SerialChannel::closed);
    ASSERT_TRUE(port.openChannel());
    pty.closeMaster();
    ASSERT_TRUE(closed.wait(10000));
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.outputRoom(), 4096);
    port.sendText("AT\r");
    EXPECT_TRUE(port.closeChannel()); // already closed: no second notification
    EXPECT_EQ(closed.count(), 1);
}
