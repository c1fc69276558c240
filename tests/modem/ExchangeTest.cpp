// The AT command exchange: replies, result codes, logger lines, the time-out and nested exchanges.
#include "FakeModem.h"
#include "ModemTestBase.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>

namespace {

struct ExchangeTest : ModemTestBase {
    FakeModem fake;
    void SetUp() override {
        ASSERT_TRUE(fake.pty().ok());
        createModem(fake.pty().slavePath());
        ASSERT_TRUE(modem->openModemPort(1, false)) << modem->channel().errorString().toStdString();
    }
};

} // namespace

TEST_F(ExchangeTest, RepliesAndTheirLoggerLines) {
    fake.answer("atE0", "\r\nok\r\n");
    fake.answer("at+vip", "\r\nERROR\r\n");
    fake.answer("ata", "\r\nCONNECT\r\n");
    qsizetype from = logger.lines().size();
    EXPECT_EQ(modem->exchange().sendCommand(QStringLiteral("atE0"), QStringLiteral("echo off.."), QStringLiteral("OK")),
              AtResult::Ok);
    EXPECT_EQ(linesSince(from), (QStringList{QStringLiteral("echo off.."), QStringLiteral("OK")}));

    // Recognised but not expected: a failure with no reply line.
    from = logger.lines().size();
    EXPECT_NE(modem->exchange().sendCommand(QStringLiteral("ata"), QStringLiteral("answer.."), QStringLiteral("OK")),
              AtResult::Ok);
    EXPECT_EQ(linesSince(from), QStringList{QStringLiteral("answer..")});
    EXPECT_EQ(
        modem->exchange().sendCommand(QStringLiteral("ata"), QStringLiteral("answer.."), QStringLiteral("connect")),
        AtResult::Ok);
    EXPECT_NE(modem->exchange().sendCommand(QStringLiteral("atE0"), QStringLiteral("x"), QStringLiteral("CONNECT")),
              AtResult::Ok);

    EXPECT_EQ(fake.commands().first(), QByteArray("atE0"));
}

TEST_F(ExchangeTest, QueryReturnsTheAnswerWithoutOkAndOuterBreaks) {
    fake.answer("at+vsm=?",
                "\r\n128,\"UNSIGNED PCM\",8,0,(8000),(0),(0)\r\n129,\"ALAW\",8,0,(8000),(0),(0)\r\n\r\nOK\r\n");
    fake.answer("at+vls=?", "\r\nERROR\r\n");
    const qsizetype from = logger.lines().size();
    QString reply;
    EXPECT_EQ(modem->exchange().sendQuery(QStringLiteral("at+vsm=?"), reply), AtResult::Ok);
    EXPECT_EQ(reply, QStringLiteral("128,\"UNSIGNED PCM\",8,0,(8000),(0),(0)\r\n129,\"ALAW\",8,0,(8000),(0),(0)"));
    EXPECT_EQ(modem->exchange().sendQuery(QStringLiteral("at+vls=?"), reply), AtResult::Error);
    EXPECT_EQ(reply, QStringLiteral("error"));
    EXPECT_EQ(linesSince(from), QStringList()); // queries are not logged
}

TEST_F(ExchangeTest, OkInsideAWordEndsTheWait) {
    fake.answer("ati3", "\r\nBROKEN");
    QObject::connect(&fake, &FakeModem::commandReceived, &fake, [&](const QByteArray& command) {
        if (command == "ati3")
            QTimer::singleShot(300, &fake, [&] { fake.send(" MORE TEXT\r\n\r\nOK\r\n"); });
    });
    QString reply;
    EXPECT_EQ(modem->exchange().sendQuery(QStringLiteral("ati3"), reply), AtResult::Ok);
    EXPECT_EQ(reply, QStringLiteral("BREN"));
}

TEST_F(ExchangeTest, ClosedPortQueuesNothing) {
    ASSERT_TRUE(modem->closeModemPort());
    const qsizetype from = logger.lines().size();
    EXPECT_EQ(modem->exchange().sendCommand(QStringLiteral("atE0"), QStringLiteral("echo off.."), QStringLiteral("OK")),
              AtResult::NotQueued);
    QString reply;
    EXPECT_EQ(modem->exchange().sendQuery(QStringLiteral("atE0"), reply), AtResult::NotQueued);
    EXPECT_FALSE(modem->exchange().sendNoWait(QStringLiteral("at+vrx"), QStringLiteral("Receiving data...")));
    EXPECT_EQ(linesSince(from), QStringList());
}

TEST_F(ExchangeTest, SendNoWaitQueuesWithoutWaiting) {
    fake.answer("at+vrx", "\r\nCONNECT\r\n");
    const qsizetype from = logger.lines().size();
    EXPECT_TRUE(modem->exchange().sendNoWait(QStringLiteral("at+vrx"), QStringLiteral("Receiving data...")));
    EXPECT_EQ(linesSince(from), QStringList{QStringLiteral("Receiving data...")});
    ASSERT_TRUE(waitUntil([&] { return modem->exchange().replyBuffer().contains(QLatin1String("CONNECT")); }));
}

TEST_F(ExchangeTest, SecondExchangeFromInsideTheWaitIsRefused) {
    fake.answer("at+gmm", QByteArray());
    std::optional<AtResult> nested;
    QObject::connect(&fake, &FakeModem::commandReceived, &fake, [&](const QByteArray& command) {
        if (command != "at+gmm")
            return;
        QTimer::singleShot(50, &fake, [&] {
            nested = modem->exchange().sendCommand(QStringLiteral("atE0"), QStringLiteral("echo off.."),
                                                   QStringLiteral("OK"));
            fake.send("\r\nMODEL X\r\nOK\r\n");
        });
    });
    QString reply;
    EXPECT_EQ(modem->exchange().sendQuery(QStringLiteral("at+gmm"), reply), AtResult::Ok);
    EXPECT_EQ(reply, QStringLiteral("MODEL X"));
    EXPECT_EQ(nested, AtResult::Busy);
    EXPECT_TRUE(logger.lines().last().startsWith(QLatin1String("Command refused")));
    EXPECT_FALSE(fake.commands().contains("atE0"));
}

TEST_F(ExchangeTest, DeviceLostDuringTheWaitEndsIt) {
    fake.answer("at+gmm", QByteArray());
    QObject::connect(&fake, &FakeModem::commandReceived, &fake, [&] { fake.unplug(); });
    QSignalSpy portChanges(modem.get(), &ModemController::portOpenChanged);
    settings.replyTimeoutSeconds = 6;
    modem->setSettings(settings);
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(modem->exchange().sendCommand(QStringLiteral("at+gmm"), QStringLiteral("model.."), QStringLiteral("OK")),
              AtResult::TimeOut);
    EXPECT_LT(elapsed.elapsed(), 6000);
    EXPECT_FALSE(modem->portOpen());
    ASSERT_EQ(portChanges.count(), 1);
    EXPECT_EQ(portChanges.at(0).at(0).toBool(), false);
    EXPECT_TRUE(logger.lines().contains(QStringLiteral("Com port 1 closed...")));
}

TEST_F(ExchangeTest, EndingAVoiceStreamWaitsForTheEndMarkNotForWordsInTheSound) {
    // Sound goes on until the end is asked for; it holds "OK", "ERROR" and a doubled DLE before ETX,
    // none of which ends it. The real end comes a while after the request.
    const QByteArray sound = QByteArray("OK ERROR \x10\x10\x03 CONNECT ") + QByteArray(64, '\x7f');
    QTimer soundClock;
    QObject::connect(&soundClock, &QTimer::timeout, &fake, [&] { fake.send(sound); });
    fake.answer("at+vrx", "\r\nCONNECT\r\n");
    bool endSent = false;
    QObject::connect(&logger, &Logger::appended, &fake, [&](const QString& line) {
        if (line != QStringLiteral("Ending voice reception.."))
            return;
        QTimer::singleShot(300, &fake, [&] {
            soundClock.stop();
            endSent = true;
            fake.send(QByteArray("\x7f\x10\x03\r\nOK\r\n"));
        });
    });
    ASSERT_TRUE(modem->exchange().sendNoWait(QStringLiteral("at+vrx"), QStringLiteral("Receiving data...")));
    modem->exchange().setVoiceReception(true);
    soundClock.start(20);
    const qsizetype from = logger.lines().size();
    EXPECT_TRUE(modem->endVoiceStream());
    EXPECT_TRUE(endSent);
    EXPECT_EQ(fake.streamEnds(), 1);
    EXPECT_EQ(linesSince(from), (QStringList{QStringLiteral("Ending voice reception.."), QStringLiteral("ok")}));
    EXPECT_FALSE(modem->exchange().voiceReception());
    EXPECT_TRUE(modem->portOpen());
    QString reply;
    fake.answer("ati", "\r\n56000\r\n\r\nOK\r\n");
    EXPECT_EQ(modem->exchange().sendQuery(QStringLiteral("ati"), reply), AtResult::Ok);
    EXPECT_EQ(reply, QStringLiteral("56000"));
}

TEST_F(ExchangeTest, AModemThatDoesNotEndItsStreamIsResetByReopeningThePort) {
    const QByteArray sound(64, '\x7f');
    QTimer soundClock;
    QObject::connect(&soundClock, &QTimer::timeout, &fake, [&] { fake.send(sound); });
    soundClock.start(20);
    QSignalSpy port(modem.get(), &ModemController::portOpenChanged);
    const qsizetype from = logger.lines().size();
    EXPECT_TRUE(modem->endVoiceStream());
    soundClock.stop();
    const QStringList lines = linesSince(from);
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines.mid(0, 2), (QStringList{QStringLiteral("Ending voice reception.."), QStringLiteral("time out")}));
    EXPECT_TRUE(lines.contains(QStringLiteral("Com port 1 closed...")));
    ASSERT_EQ(port.size(), 2);
    EXPECT_FALSE(port.at(0).at(0).toBool());
    EXPECT_TRUE(port.at(1).at(0).toBool());
    EXPECT_TRUE(modem->portOpen());
}
