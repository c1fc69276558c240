// Modem initialisation, Modem On and Off, and rings and caller ID reaching call detection through the exchange.
#include "FakeModem.h"
#include "ModemTestBase.h"

#include <QSignalSpy>
#include <QThread>

namespace {

struct CallDetectionTest : ModemTestBase {
    FakeModem fake;

    void SetUp() override { ASSERT_TRUE(fake.pty().ok()); }
    /// Creates the controller, opens port 1 without initialisation and arms automatic recording.
    void armed() {
        createModem(fake.pty().slavePath());
        ASSERT_TRUE(modem->openModemPort(1, false));
        modem->calls().enableAutoRecord();
    }
    /// Lets `text` reach the channel whole, so one notification carries all of it.
    void arriveAtOnce(const QByteArray& text) {
        fake.send(text);
        QDeadlineTimer deadline(5000);
        while (modem->channel().bytesHeld() < text.size() && !deadline.hasExpired())
            QThread::yieldCurrentThread();
        ASSERT_EQ(modem->channel().bytesHeld(), text.size());
        QCoreApplication::processEvents();
    }
    int logged(const QString& line) const { return static_cast<int>(logger.lines().count(line)); }
};

} // namespace

TEST_F(CallDetectionTest, InitialisationSequence) {
    settings.forCallerId = QStringLiteral("at+vcid=1");
    settings.disCallerId = QStringLiteral("at+vcid=0");
    createModem(fake.pty().slavePath());
    QSignalSpy status(modem.get(), &ModemController::statusText);
    ASSERT_TRUE(modem->openModemPort(1, true));
    // The fixed line stays exactly as support reads it; the device gets a line of its own before it.
    const QString device = QStringLiteral("Com port 1 is %1").arg(fake.pty().slavePath());
    EXPECT_EQ(logger.lines(),
              (QStringList{device, QStringLiteral("Com port 1 opened..."), QStringLiteral("echo off.."),
                           QStringLiteral("ok"), QStringLiteral("Setting autoanswer off.."), QStringLiteral("ok"),
                           QStringLiteral("Enable caller ID.."), QStringLiteral("ok")}));
    EXPECT_EQ(fake.commands(), (QList<QByteArray>{"atE0", "ats0=0", "at+vcid=1"}));
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.at(0).at(0).toString(), QStringLiteral(" Modem on"));
    EXPECT_TRUE(modem->portOpen());

    // A rejected formatted command falls back to the off command; no caller ID sends neither.
    ASSERT_TRUE(modem->closeModemPort());
    EXPECT_EQ(status.at(1).at(0).toString(), QStringLiteral(" Modem off"));
    settings.forCallerId = QStringLiteral("None");
    modem->setSettings(settings);
    ASSERT_TRUE(modem->openModemPort(1, true));
    EXPECT_EQ(fake.commands().mid(3), (QList<QByteArray>{"atE0", "ats0=0", "at+vcid=0"}));
    ASSERT_TRUE(modem->closeModemPort());
    settings.callerId = false;
    modem->setSettings(settings);
    ASSERT_TRUE(modem->openModemPort(1, true));
    EXPECT_EQ(fake.commands().mid(6), (QList<QByteArray>{"atE0", "ats0=0"}));
}

TEST_F(CallDetectionTest, ModemOnAndOff) {
    createModem(fake.pty().slavePath());
    settings.autoRecord = true;
    modem->setSettings(settings);
    ASSERT_TRUE(modem->switchOn());
    EXPECT_EQ(logger.lines().first(), QStringLiteral("-- Modem on clicked"));
    EXPECT_EQ(logger.lines().last(), QStringLiteral("Enabling autoRecord mode"));
    EXPECT_TRUE(modem->calls().autoRecordMode());
    const qsizetype from = logger.lines().size();
    ASSERT_TRUE(modem->switchOn());
    EXPECT_EQ(linesSince(from), QStringList{QStringLiteral("-- Modem on clicked")});
    ASSERT_TRUE(modem->switchOff());
    EXPECT_EQ(linesSince(from + 1),
              (QStringList{QStringLiteral("-- Modem off clicked"), QStringLiteral("Com port 1 closed...")}));
    EXPECT_FALSE(modem->portOpen());

    // A port without a device: Modem On fails and says so to its caller.
    settings.port = 9;
    modem->setSettings(settings);
    EXPECT_FALSE(modem->switchOn());
    EXPECT_FALSE(modem->portOpen());
    EXPECT_EQ(modem->portText(), QStringLiteral("9"));
}

TEST_F(CallDetectionTest, CallerIdentification) {
    armed();
    QSignalSpy shown(&modem->calls(), &CallDetector::callerIdShown);
    arriveAtOnce("\r\nDATE=1209\r\nTIME=1405\r\nNMBR=5551234\r\n");
    EXPECT_EQ(modem->calls().callerId(), QStringLiteral("5551234"));
    ASSERT_EQ(shown.count(), 1);
    EXPECT_EQ(shown.at(0).at(0).toString(), QStringLiteral("5551234"));
    EXPECT_EQ(logger.lines().last(), QStringLiteral("5551234"));
    EXPECT_TRUE(modem->exchange().replyBuffer().isEmpty());

    // Lines after the number belong to the text; ERRM wins over NMBR; control codes are dropped.
    arriveAtOnce("NMBR = 0301<b>x</b>\r\nNAME=\x01\x7f"
                 "ACME\r\n");
    EXPECT_EQ(modem->calls().callerId(), QStringLiteral("0301<b>x</b>\r\nNAME=ACME"));
    arriveAtOnce("\r\nNMBR=123\r\nERRM=P\r\n");
    EXPECT_EQ(modem->calls().callerId(), QStringLiteral("P"));

    // A ring in the same burst as the report is still counted.
    arriveAtOnce("\r\nRING\r\n\r\nnmbr=777\r\n");
    EXPECT_EQ(modem->calls().callerId(), QStringLiteral("777"));
    EXPECT_EQ(modem->calls().ringCount(), 1);
}

TEST_F(CallDetectionTest, CallerIdOffOrAutoRecordOff) {
    settings.callerId = false;
    armed();
    arriveAtOnce("\r\nNMBR=5551234\r\n\r\nRING\r\n");
    EXPECT_TRUE(modem->calls().callerId().isEmpty());
    EXPECT_EQ(modem->calls().ringCount(), 1);

    modem->calls().disableAutoRecord();
    EXPECT_EQ(logger.lines().last(), QStringLiteral("Disabling autoRecord mode"));
    arriveAtOnce("\r\nRING\r\n");
    EXPECT_EQ(modem->calls().ringCount(), 1);
    EXPECT_EQ(modem->exchange().replyBuffer(), QStringLiteral("\r\nRING\r\n")); // kept until somebody empties it
}

TEST_F(CallDetectionTest, LineNoiseThatSpellsAReplyDoesNotStopRingsAndCallerIdentification) {
    // No command waits for it: an "OK", "ERROR" or "CONNECT" in noise answers nothing, and calls are
    // still detected after it (the buffer would keep it until it had grown to 64 KiB).
    armed();
    arriveAtOnce(QByteArray("\x8f\x02ok\xfe\x11") + "ERROR" + QByteArray("\x10\x99") + "CONNECT");
    arriveAtOnce("\r\nRING\r\n");
    EXPECT_EQ(modem->calls().ringCount(), 1);
    arriveAtOnce("\x01OK\x02");
    arriveAtOnce("\r\nNMBR=5550404\r\n");
    EXPECT_EQ(modem->calls().callerId(), QStringLiteral("5550404"));
    arriveAtOnce("\r\nRING\r\n");
    EXPECT_EQ(modem->calls().ringCount(), 2);

    // An exchange still takes its reply as before.
    fake.answer("AT+GMM?", "\r\nMODEL 7\r\n\r\nOK\r\n");
    QString reply;
    EXPECT_EQ(modem->exchange().sendQuery(QStringLiteral("AT+GMM?"), reply), AtResult::Ok);
    EXPECT_EQ(reply, QStringLiteral("MODEL 7"));
}
