// The serial channel on a real pseudo-terminal: opening, sending, the notification contract, loss.
#include "modem/ComPort.h"
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
bool heldWithoutEvents(const ComPort& port, qsizetype count, int timeoutMs = 5000) {
    QDeadlineTimer deadline(timeoutMs);
    while (port.bytesHeld() < count) {
        if (deadline.hasExpired())
            return false;
        QThread::yieldCurrentThread();
    }
    return true;
}

struct ComPortTest : ::testing::Test {
    PtyPair pty;
    ComPort port;
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
        QObject::connect(&port, &ComPort::OnTriggerAvail, [this](int count) {
            counts.append(count);
            for (int i = 0; i < count; ++i)
                received.append(port.ReadByte());
        });
    }
};

} // namespace

TEST_F(ComPortTest, OpenAndCloseNotifyBeforeReturning) {
    QSignalSpy opened(&port, &ComPort::OnPortOpen);
    QSignalSpy closed(&port, &ComPort::OnPortClose);
    ASSERT_TRUE(port.OpenChannel()) << port.errorString().toStdString();
    EXPECT_EQ(opened.count(), 1);
    EXPECT_TRUE(port.isOpen());
    EXPECT_TRUE(port.CloseChannel());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.OutputRoom(), 4096);
}

TEST_F(ComPortTest, EverySpeedAndFlowControlOpensAPseudoTerminal) {
    // The pseudo-terminal refuses the modem-control ioctls; that is no failure to open.
    for (int baud : SerialLine::kSpeeds) {
        for (auto flow : {ComPort::FlowControl::Hardware, ComPort::FlowControl::Software, ComPort::FlowControl::None}) {
            port.setBaud(baud);
            port.setFlowControl(flow);
            ASSERT_TRUE(port.OpenChannel()) << baud << ' ' << port.errorString().toStdString();
            port.SendText("AT\r");
            EXPECT_EQ(pty.read(3), QByteArray("AT\r")) << baud;
            ASSERT_TRUE(port.CloseChannel());
        }
    }
}

TEST_F(ComPortTest, MissingDeviceFailsWithoutNotification) {
    QSignalSpy opened(&port, &ComPort::OnPortOpen);
    port.setDevice(QStringLiteral("/dev/orlamo-no-such-port"));
    EXPECT_FALSE(port.OpenChannel());
    EXPECT_FALSE(port.errorString().isEmpty());
    port.setDevice(QString());
    EXPECT_FALSE(port.OpenChannel());
    EXPECT_EQ(opened.count(), 0);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.OutputRoom(), 4096);
    port.SendText("ignored"); // a closed channel sends nothing and does not fail
}

TEST_F(ComPortTest, SentBytesArriveInOrder) {
    ASSERT_TRUE(port.OpenChannel());
    port.SendText("at+vsm=?\r");
    port.SendByte('\x10');
    port.SendByte('!');
    EXPECT_EQ(pty.read(11), QByteArray("at+vsm=?\r\x10!"));
    EXPECT_TRUE(waitUntil([&] { return port.OutputRoom() == 4096; }));
}

TEST_F(ComPortTest, EveryByteDeliveredOnceInOrder) {
    collectAll();
    ASSERT_TRUE(port.OpenChannel());
    QByteArray all;
    for (int i = 0; i < 20000; ++i)
        all.append(static_cast<char>(i * 7));
    ASSERT_TRUE(pty.write(all));
    ASSERT_TRUE(waitUntil([&] { return received.size() >= all.size(); }));
    EXPECT_EQ(received, all);
    for (int count : counts)
        EXPECT_TRUE(count >= 1 && count <= ComPort::kMaxNotification);
}

TEST_F(ComPortTest, BurstDuringNotificationComesInTheNextOne) {
    int depth = 0;
    bool overlapped = false;
    QObject::connect(&port, &ComPort::OnTriggerAvail, [&](int count) {
        overlapped = overlapped || depth > 0;
        ++depth;
        counts.append(count);
        for (int i = 0; i < count; ++i)
            received.append(port.ReadByte());
        if (counts.size() == 1) {
            // The burst reaches the channel while this handler still runs.
            pty.write("BURST");
            heldWithoutEvents(port, 5);
        }
        --depth;
    });
    ASSERT_TRUE(port.OpenChannel());
    ASSERT_TRUE(pty.write("RING\r\n"));
    ASSERT_TRUE(waitUntil([&] { return received.size() >= 11; }));
    EXPECT_EQ(received, QByteArray("RING\r\nBURST"));
    ASSERT_GE(counts.size(), 2);
    EXPECT_EQ(counts.last(), 5);
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(port.bytesHeld(), 0);
}

TEST_F(ComPortTest, HandlerThatReadItsBytesMayWaitForMore) {
    // A handler that runs an exchange (stop, reopen, initialise) waits inside the notification;
    // the reply must reach it there.
    QByteArray nested;
    QObject::connect(&port, &ComPort::OnTriggerAvail, [&](int count) {
        QByteArray mine;
        for (int i = 0; i < count; ++i)
            mine.append(port.ReadByte());
        if (mine.startsWith("first")) {
            received = mine;
            pty.write("OK\r\n");
            QEventLoop loop;
            QTimer::singleShot(10000, &loop, &QEventLoop::quit);
            QMetaObject::Connection c = QObject::connect(&port, &ComPort::OnTriggerAvail, &loop,
                                                         [&] { QTimer::singleShot(0, &loop, &QEventLoop::quit); });
            loop.exec();
            QObject::disconnect(c);
        } else {
            nested += mine;
        }
    });
    ASSERT_TRUE(port.OpenChannel());
    ASSERT_TRUE(pty.write("first"));
    ASSERT_TRUE(waitUntil([&] { return nested.size() >= 4; }));
    EXPECT_EQ(received, QByteArray("first"));
    EXPECT_EQ(nested, QByteArray("OK\r\n"));
}

TEST_F(ComPortTest, ReadingBeyondTheCountYieldsNothing) {
    QByteArray extra;
    QObject::connect(&port, &ComPort::OnTriggerAvail, [&](int count) {
        for (int i = 0; i < count; ++i)
            received.append(port.ReadByte());
        extra.append(port.ReadByte());
    });
    ASSERT_TRUE(port.OpenChannel());
    ASSERT_TRUE(pty.write("abc"));
    ASSERT_TRUE(heldWithoutEvents(port, 3));
    ASSERT_TRUE(waitUntil([&] { return received.size() >= 3; }));
    EXPECT_EQ(received, QByteArray("abc"));
    EXPECT_EQ(extra, QByteArray(1, '\0'));
}

TEST_F(ComPortTest, DiscardInputDropsBytesNotYetRead) {
    collectAll();
    ASSERT_TRUE(port.OpenChannel());
    ASSERT_TRUE(pty.write("stale reply"));
    ASSERT_TRUE(heldWithoutEvents(port, 11));
    port.DiscardInput();
    EXPECT_EQ(port.bytesHeld(), 0);
    ASSERT_TRUE(pty.write("X"));
    ASSERT_TRUE(waitUntil([&] { return !received.isEmpty(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(received, QByteArray("X"));
}

TEST_F(ComPortTest, BusyUserInterfaceLosesNothing) {
    collectAll();
    ASSERT_TRUE(port.OpenChannel());
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

TEST_F(ComPortTest, VanishedDeviceClosesTheChannel) {
    collectAll();
    QSignalSpy closed(&port, &ComPort::OnPortClose);
    ASSERT_TRUE(port.OpenChannel());
    pty.closeMaster();
    ASSERT_TRUE(closed.wait(10000));
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.OutputRoom(), 4096);
    port.SendText("AT\r");
    EXPECT_TRUE(port.CloseChannel()); // already closed: no second notification
    EXPECT_EQ(closed.count(), 1);
}
