// The modem's timing rules on a hand-turned clock: the pause before each command and the reply time-out
// of the exchange; the ring time-out (default, learned) and when the rings of a call count as over, on
// call detection alone. The real clock is checked on its own at the end.
#include "FakeModem.h"
#include "ManualTiming.h"
#include "ModemTestBase.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <time.h>

namespace {

struct ModemTimingTest : ModemTestBase {
    FakeModem fake;
    ManualTiming* clock = nullptr; ///< owned by the controller

    void SetUp() override { ASSERT_TRUE(fake.pty().ok()); }
    void createOnManualClock() {
        auto timing = std::make_unique<ManualTiming>();
        clock = timing.get();
        createModem(fake.pty().slavePath(), std::move(timing));
    }
    /// A controller on the manual clock with port 1 open and automatic recording armed.
    void armed() {
        createOnManualClock();
        ASSERT_TRUE(modem->openModemPort(1, false));
        modem->calls().enableAutoRecord();
    }
    /// One ring, handled before it returns; the clock stands still meanwhile.
    void ring() {
        const int before = modem->calls().ringCount();
        fake.send("\r\nRING\r\n");
        ASSERT_TRUE(waitUntil([&] { return modem->calls().ringCount() == before + 1; }, 10000));
    }
    void storeRingTimeOut(int ms) { config.writeInteger(QStringLiteral("General"), QStringLiteral("RingTimeOut"), ms); }
};

/// Call detection on its own, fed the modem's text, on the manual clock.
struct RingTimingTest : ::testing::Test {
    QTemporaryDir dir;
    Config config{dir.filePath(QStringLiteral("tvk.ini"))};
    Logger logger;
    ManualTiming clock;
    ModemSettings settings;
    std::unique_ptr<CallDetector> calls;

    /// Creates call detection (which reads RingTimeOut now) with automatic recording armed.
    void armed() {
        calls = std::make_unique<CallDetector>(config, logger, clock);
        calls->setSettings(settings);
        calls->enableAutoRecord();
    }
    void ring() { EXPECT_TRUE(calls->takeText(QStringLiteral("\r\nRING\r\n"))); }
    int storedRingTimeOut() const {
        return config.readInteger(QStringLiteral("General"), QStringLiteral("RingTimeOut"), -1);
    }
    void storeRingTimeOut(int ms) { config.writeInteger(QStringLiteral("General"), QStringLiteral("RingTimeOut"), ms); }
};

constexpr int kDefault = CallDetector::kDefaultRingTimeOutMs;

} // namespace

TEST_F(ModemTimingTest, OnePauseBeforeEachCommand) {
    settings.forCallerId = QStringLiteral("at+vcid=1");
    createOnManualClock();
    QList<qsizetype> linesAtPause;
    clock->duringPause = [&] { linesAtPause.append(logger.lines().size()); };

    ASSERT_TRUE(modem->openModemPort(1, true));
    ASSERT_EQ(fake.commands(), (QList<QByteArray>{"atE0", "ats0=0", "at+vcid=1"}));
    EXPECT_EQ(clock->pauses(), QList<int>(3, AtExchange::kCommandPauseMs));
    // The device line and "opened...", then each command's description and reply: every pause comes
    // before its command.
    EXPECT_EQ(linesAtPause, (QList<qsizetype>{2, 4, 6}));

    QString reply;
    EXPECT_EQ(modem->exchange().sendQuery(QStringLiteral("ati"), reply), AtResult::Ok);
    EXPECT_EQ(clock->pauses().size(), 4);
    const qsizetype before = logger.lines().size();
    EXPECT_TRUE(modem->exchange().sendNoWait(QStringLiteral("at+vrx"), QStringLiteral("Receiving data...")));
    EXPECT_EQ(clock->pauses(), QList<int>(5, AtExchange::kCommandPauseMs));
    EXPECT_EQ(linesAtPause.last(), before);
    ASSERT_TRUE(waitUntil([&] { return fake.commands().size() == 5; }, 10000));
}

TEST_F(ModemTimingTest, ReplyTimeOutRunsOnTheControllersClock) {
    createOnManualClock();
    ASSERT_TRUE(modem->openModemPort(1, false));
    const int timeOutMs = settings.replyTimeoutSeconds * 1000;
    fake.answer("ati", QByteArray());
    int advanceBy = timeOutMs - 1;
    // The modem answers once the clock has moved on: in time, or too late.
    QObject::connect(&fake, &FakeModem::commandReceived, &fake, [&] {
        clock->advance(advanceBy);
        fake.send("\r\nOK\r\n");
    });
    EXPECT_EQ(modem->exchange().sendCommand(QStringLiteral("ati"), QStringLiteral("info.."), QStringLiteral("OK")),
              AtResult::Ok);
    advanceBy = timeOutMs;
    EXPECT_EQ(modem->exchange().sendCommand(QStringLiteral("ati"), QStringLiteral("info.."), QStringLiteral("OK")),
              AtResult::TimeOut);
    EXPECT_EQ(logger.lines().last(), QStringLiteral("time out"));
}

TEST_F(RingTimingTest, DefaultRingTimeOutHoldsUntilAnIntervalIsLearned) {
    storeRingTimeOut(-40); // no cadence: learned again
    armed();
    QSignalSpy triggered(calls.get(), &CallDetector::recordTriggered);
    ring();
    EXPECT_FALSE(calls->ringTimeOutKnown());
    EXPECT_EQ(calls->ringTimeOut(), kDefault);
    clock.advance(kDefault - 1);
    EXPECT_EQ(triggered.count(), 0);
    EXPECT_FALSE(calls->recordTrigger());
    clock.advance(1);
    ASSERT_EQ(triggered.count(), 1);
    EXPECT_TRUE(calls->autoStarted());
    EXPECT_TRUE(calls->takeRecordTrigger());
    EXPECT_FALSE(calls->takeRecordTrigger());
    EXPECT_FALSE(calls->ringTimeOutKnown());
    EXPECT_EQ(storedRingTimeOut(), -40);

    // A first ring of the next call is no second ring of the last one, and waits the default again.
    ring();
    EXPECT_FALSE(calls->ringTimeOutKnown());
    clock.advance(kDefault - 1);
    EXPECT_EQ(triggered.count(), 1);
    clock.advance(1);
    EXPECT_EQ(triggered.count(), 2);
    EXPECT_FALSE(calls->ringTimeOutKnown());
}

struct LearnedRingTimeOut : RingTimingTest, ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(LearnedRingTimeOut, IsTicksTimesOneAndAFifthAfterTwoRings) {
    const auto [intervalMs, learnedMs] = GetParam();
    armed();
    QSignalSpy triggered(calls.get(), &CallDetector::recordTriggered);
    ring();
    clock.advance(intervalMs);
    EXPECT_FALSE(calls->ringTimeOutKnown());
    ring();
    ASSERT_TRUE(calls->ringTimeOutKnown());
    EXPECT_EQ(calls->ringTimeOut(), learnedMs);
    EXPECT_EQ(storedRingTimeOut(), learnedMs);

    // The second ring already waits the learned time-out, and so do the rings after it.
    clock.advance(learnedMs - 1);
    ring();
    clock.advance(learnedMs - 1);
    EXPECT_EQ(triggered.count(), 0);
    clock.advance(1);
    EXPECT_EQ(triggered.count(), 1);
    EXPECT_EQ(calls->ringTimeOut(), learnedMs);
}

// Whole ticks of 100 ms count; a part of one does not.
INSTANTIATE_TEST_SUITE_P(Intervals, LearnedRingTimeOut,
                         ::testing::Values(std::pair{100, 120}, std::pair{650, 720}, std::pair{4000, 4800},
                                           std::pair{5999, 7080}));

TEST_F(RingTimingTest, RingsAreOverOnlyWhenTheRingTimerExpiresWithoutANewRing) {
    storeRingTimeOut(700);
    armed();
    ASSERT_TRUE(calls->ringTimeOutKnown());
    QSignalSpy triggered(calls.get(), &CallDetector::recordTriggered);
    for (int i = 0; i < 3; ++i) {
        ring();
        clock.advance(699);
    }
    EXPECT_EQ(triggered.count(), 0);
    EXPECT_FALSE(calls->takeRecordTrigger());
    clock.advance(1);
    EXPECT_EQ(triggered.count(), 1);
    EXPECT_TRUE(calls->takeRecordTrigger());
    clock.advance(60000);
    EXPECT_EQ(triggered.count(), 1);
    EXPECT_FALSE(calls->takeRecordTrigger());
}

TEST_F(ModemTimingTest, ClosingThePortDuringTheRingsEndsTheCallsTimers) {
    // Once while the interval is being learned, once with a known time-out; each time the rings stop
    // only after the port was closed, which must not start anything.
    for (const bool learned : {false, true}) {
        if (learned)
            storeRingTimeOut(700);
        armed();
        QSignalSpy triggered(&modem->calls(), &CallDetector::recordTriggered);
        QSignalSpy hidden(&modem->calls(), &CallDetector::callerIdHidden);
        ring();
        clock->advance(300);
        if (!learned)
            ring();
        ASSERT_TRUE(modem->closeModemPort());
        clock->advance(60000);
        EXPECT_EQ(triggered.count(), 0) << (learned ? "known time-out" : "learning");
        EXPECT_EQ(hidden.count(), 0);
        EXPECT_FALSE(modem->calls().takeRecordTrigger());
        EXPECT_FALSE(modem->calls().autoStarted());
        modem.reset();
    }
}

TEST_F(RingTimingTest, RejectedCallNeverTriggers) {
    storeRingTimeOut(700);
    settings.rejectCall = true;
    settings.rejectRings = 2;
    armed();
    QSignalSpy triggered(calls.get(), &CallDetector::recordTriggered);
    ring();
    EXPECT_FALSE(calls->rejected());
    clock.advance(400);
    ring();
    EXPECT_TRUE(calls->rejected());
    EXPECT_EQ(logger.lines().count(QStringLiteral("Call recording rejected...")), 1);
    clock.advance(400);
    ring(); // the caller keeps ringing past the limit
    clock.advance(60000);
    EXPECT_EQ(triggered.count(), 0);
    EXPECT_FALSE(calls->recordTrigger());
    EXPECT_FALSE(calls->takeRecordTrigger());
    EXPECT_FALSE(calls->autoStarted());
    EXPECT_FALSE(calls->rejected());
    EXPECT_EQ(calls->ringCount(), 0);
    EXPECT_EQ(logger.lines().mid(logger.lines().size() - 2),
              (QStringList{QStringLiteral("Calling party hung up"), QStringLiteral("Enabling autoRecord mode")}));

    // The next call starts its count afresh: one ring and silence is recorded.
    ring();
    EXPECT_FALSE(calls->rejected());
    clock.advance(700);
    EXPECT_EQ(triggered.count(), 1);
}

TEST(RealModemTimingTest, PauseSleepsWithoutSpinning) {
    RealModemTiming timing;
    QElapsedTimer elapsed;
    elapsed.start();
    timespec cpuBefore{};
    timespec cpuAfter{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuBefore);
    timing.pause(AtExchange::kCommandPauseMs);
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuAfter);
    EXPECT_GE(elapsed.elapsed(), AtExchange::kCommandPauseMs);
    const double cpuMs = (cpuAfter.tv_sec - cpuBefore.tv_sec) * 1e3 + (cpuAfter.tv_nsec - cpuBefore.tv_nsec) / 1e6;
    EXPECT_LT(cpuMs, AtExchange::kCommandPauseMs / 4);
}

TEST(RealModemTimingTest, TimersExpireOnTimeInTheirMode) {
    RealModemTiming timing;
    int once = 0;
    int repeated = 0;
    const auto single = timing.makeTimer(TimerMode::SingleShot, [&] { ++once; });
    const auto repeating = timing.makeTimer(TimerMode::Repeating, [&] { ++repeated; });
    EXPECT_FALSE(single->isActive());
    EXPECT_FALSE(repeating->isActive());
    QElapsedTimer elapsed;
    elapsed.start();
    single->start(50);
    repeating->start(10);
    ASSERT_TRUE(waitUntil([&] { return once == 1; }, 10000));
    EXPECT_GE(elapsed.elapsed(), 50); // a precise timer never expires early
    EXPECT_FALSE(single->isActive());
    ASSERT_TRUE(waitUntil([&] { return repeated >= 20; }, 10000));
    EXPECT_TRUE(repeating->isActive());
    repeating->stop();
    EXPECT_FALSE(repeating->isActive());
    EXPECT_EQ(once, 1);
}
