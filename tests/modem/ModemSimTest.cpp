// The modem controller against the simulated voice modem: exchange, initialisation, calls, unplugging.
#include "support/ModemSim.h"
#include "ModemTestBase.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <ctime>

namespace {

struct ModemSimTest : ModemTestBase {
    ModemSim sim;

    void SetUp() override {
        ASSERT_TRUE(sim.start());
        settings.forCallerId = QStringLiteral("at+vcid=1");
        settings.disCallerId = QStringLiteral("at+vcid=0");
        settings.rejectCall = false;
        createModem(sim.linkPath());
    }
    void TearDown() override {
        modem.reset();
        sim.stop();
    }
    int logged(const QString& line) const { return static_cast<int>(logger.lines().count(line)); }
};

} // namespace

TEST_F(ModemSimTest, ExchangeWithTheModem) {
    ASSERT_TRUE(modem->openModemPort(1, false));
    const qsizetype from = logger.lines().size();
    EXPECT_EQ(modem->exchange().sendCommand(QStringLiteral("atE0"), QStringLiteral("echo off.."), QStringLiteral("OK")),
              AtResult::Ok);
    EXPECT_EQ(modem->exchange().sendCommand(QStringLiteral("at+orlamo"), QStringLiteral("bad.."), QStringLiteral("OK")),
              AtResult::Error);
    EXPECT_EQ(
        modem->exchange().sendCommand(QStringLiteral("at+orlamo"), QStringLiteral("bad.."), QStringLiteral("error")),
        AtResult::Ok);
    EXPECT_EQ(linesSince(from),
              (QStringList{QStringLiteral("echo off.."), QStringLiteral("OK"), QStringLiteral("bad.."),
                           QStringLiteral("error"), QStringLiteral("bad.."), QStringLiteral("error")}));

    QString reply;
    EXPECT_EQ(modem->exchange().sendQuery(QStringLiteral("AT+GMM"), reply), AtResult::Ok);
    EXPECT_EQ(reply, QStringLiteral("CX93001-EIS_V0.2013-V92"));
    ASSERT_EQ(
        modem->exchange().sendCommand(QStringLiteral("at+fclass=8"), QStringLiteral("voice.."), QStringLiteral("OK")),
        AtResult::Ok);
    EXPECT_EQ(modem->exchange().sendQuery(QStringLiteral("at+vsm=?"), reply), AtResult::Ok);
    EXPECT_TRUE(reply.contains(QLatin1String("\r\n"))) << reply.toStdString();
    EXPECT_FALSE(reply.contains(QLatin1String("OK")));
    EXPECT_EQ(reply, reply.trimmed());
}

TEST_F(ModemSimTest, SilentModemTimesOut) {
    ASSERT_TRUE(modem->openModemPort(1, false));
    sim.command(QStringLiteral("fault silent"));
    // The fault applies once the simulator has read it; the first exchange may still see an answer.
    QElapsedTimer elapsed;
    AtResult code = AtResult::Ok;
    std::clock_t cpu = 0;
    for (int attempt = 0; attempt < 3 && code != AtResult::TimeOut; ++attempt) {
        elapsed.start();
        cpu = std::clock();
        code = modem->exchange().sendCommand(QStringLiteral("ati"), QStringLiteral("info.."), QStringLiteral("OK"));
        cpu = std::clock() - cpu;
    }
    ASSERT_EQ(code, AtResult::TimeOut);
    EXPECT_GE(elapsed.elapsed(), 2000);
    EXPECT_LT(elapsed.elapsed(), 15000);
    // The wait sleeps between events instead of spinning.
    EXPECT_LT(double(cpu) / CLOCKS_PER_SEC, 1.0);
    EXPECT_EQ(logger.lines().mid(logger.lines().size() - 2),
              (QStringList{QStringLiteral("info.."), QStringLiteral("time out")}));
}

TEST_F(ModemSimTest, InitialisationAndACallWithCallerId) {
    ASSERT_TRUE(modem->openModemPort(1, true));
    EXPECT_EQ(logger.lines().last(), QStringLiteral("ok")); // caller ID switched on
    modem->calls().enableAutoRecord();
    QSignalSpy triggered(&modem->calls(), &CallDetector::recordTriggered);
    sim.command(QStringLiteral("call rings=3 interval=700 cid=5551234"));
    ASSERT_TRUE(triggered.wait(20000));
    EXPECT_EQ(modem->calls().callerId(), QStringLiteral("5551234"));
    EXPECT_EQ(logged(QStringLiteral("5551234")), 1);
    EXPECT_EQ(logged(QStringLiteral("ring")), 3);
    EXPECT_EQ(modem->calls().ringCount(), 3);
    ASSERT_TRUE(modem->calls().ringTimeOutKnown());
    EXPECT_GE(modem->calls().ringTimeOut(), 600);
    EXPECT_LE(modem->calls().ringTimeOut(), 1200);
    EXPECT_EQ(config.readInteger(QStringLiteral("General"), QStringLiteral("RingTimeOut"), -1),
              modem->calls().ringTimeOut());
    EXPECT_TRUE(modem->calls().autoStarted());
}

TEST_F(ModemSimTest, CallRingingTooOftenIsRejected) {
    config.writeInteger(QStringLiteral("General"), QStringLiteral("RingTimeOut"), 700);
    settings.rejectCall = true;
    settings.rejectRings = 3;
    createModem(sim.linkPath());
    ASSERT_TRUE(modem->openModemPort(1, true));
    modem->calls().enableAutoRecord();
    QSignalSpy triggered(&modem->calls(), &CallDetector::recordTriggered);
    QSignalSpy hidden(&modem->calls(), &CallDetector::callerIdHidden);
    sim.command(QStringLiteral("call rings=5 interval=400 cid=5551234"));
    ASSERT_TRUE(waitUntil([&] { return logged(QStringLiteral("Calling party hung up")) == 1; }));
    const QStringList lines = logger.lines();
    const qsizetype rejectedAt = lines.indexOf(QStringLiteral("Call recording rejected..."));
    ASSERT_GE(rejectedAt, 0);
    EXPECT_EQ(lines.mid(0, rejectedAt).count(QStringLiteral("ring")), 2); // the third ring rejects
    EXPECT_EQ(lines.at(rejectedAt + 1), QStringLiteral("ring"));
    EXPECT_EQ(lines.mid(lines.size() - 2),
              (QStringList{QStringLiteral("Calling party hung up"), QStringLiteral("Enabling autoRecord mode")}));
    EXPECT_EQ(logged(QStringLiteral("ring")), 5);
    EXPECT_GE(hidden.count(), 2);
    EXPECT_EQ(triggered.count(), 0);
    EXPECT_FALSE(modem->calls().recordTrigger());
    EXPECT_FALSE(modem->calls().rejected());
    EXPECT_EQ(modem->calls().ringCount(), 0);
}

TEST_F(ModemSimTest, UnpluggedModemClosesThePort) {
    ASSERT_TRUE(modem->openModemPort(1, false));
    QSignalSpy port(modem.get(), &ModemController::portOpenChanged);
    sim.command(QStringLiteral("unplug"));
    ASSERT_TRUE(port.wait(10000));
    EXPECT_FALSE(modem->portOpen());
    EXPECT_EQ(logger.lines().last(), QStringLiteral("Com port 1 closed..."));
    EXPECT_NE(modem->exchange().sendCommand(QStringLiteral("atE0"), QStringLiteral("echo off.."), QStringLiteral("OK")),
              AtResult::Ok);
    // Plugged in again, Modem On opens it anew.
    sim.command(QStringLiteral("plug"));
    ASSERT_TRUE(sim.waitForDevice());
    ASSERT_TRUE(modem->switchOn()) << modem->channel().errorString().toStdString();
    EXPECT_TRUE(modem->portOpen());
    EXPECT_EQ(logger.lines().last(), QStringLiteral("Enabling autoRecord mode"));
}
