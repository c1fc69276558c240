// The local handset in the command stream: lifted during an accepted call it starts the recording at once,
// lifted without a ring it starts one only with "Also record calls I make"; the letter is learned; codes
// that mean nothing to the controller, and events that answer a command, start nothing.
#include "FakeModem.h"
#include "ManualTiming.h"
#include "ModemTestBase.h"

#include <QSignalSpy>
#include <QThread>

namespace {

struct HandsetEventsTest : ModemTestBase {
    FakeModem fake;
    ManualTiming* clock = nullptr; ///< owned by the controller
    std::unique_ptr<QSignalSpy> triggered;

    void SetUp() override {
        ASSERT_TRUE(fake.pty().ok());
        // A configured modem whose ring time-out was learned from a 6 s cadence.
        config.writeInteger(QStringLiteral("Modem"), QStringLiteral("port"), 1);
        config.writeInteger(QStringLiteral("General"), QStringLiteral("RingTimeOut"), 7080);
        settings.rejectCall = false;
    }
    void armed() {
        auto timing = std::make_unique<ManualTiming>();
        clock = timing.get();
        createModem(fake.pty().slavePath(), std::move(timing));
        ASSERT_TRUE(modem->openModemPort(1, false));
        modem->calls().enableAutoRecord();
        triggered = std::make_unique<QSignalSpy>(&modem->calls(), &CallDetector::recordTriggered);
    }
    /// Lets `bytes` reach the controller in one notification; the clock stands still meanwhile.
    void arrive(const QByteArray& bytes) {
        const qsizetype before = modem->channel().bytesHeld();
        fake.send(bytes);
        QDeadlineTimer deadline(5000);
        while (modem->channel().bytesHeld() < before + bytes.size() && !deadline.hasExpired())
            QThread::yieldCurrentThread();
        ASSERT_EQ(modem->channel().bytesHeld(), before + bytes.size());
        QCoreApplication::processEvents();
    }
    QString stored() const { return config.readString(QStringLiteral("Modem"), QStringLiteral("HandsetEvents"), {}); }
    int logged(const QString& line) const { return static_cast<int>(logger.lines().count(line)); }
};

} // namespace

TEST_F(HandsetEventsTest, LiftedDuringAnAcceptedCallStartsAtOnce) {
    armed();
    QSignalSpy learned(&modem->calls(), &CallDetector::handsetEventsLearned);
    arrive("\r\nRING\r\n");
    ASSERT_EQ(modem->calls().ringCount(), 1);
    arrive("\x10H");
    ASSERT_EQ(triggered->count(), 1);
    EXPECT_TRUE(modem->calls().takeRecordTrigger());
    EXPECT_TRUE(modem->calls().autoStarted());
    EXPECT_FALSE(modem->calls().outgoingCall());
    EXPECT_EQ(logger.lines().last(), QStringLiteral("Handset lifted"));
    // The rings-stopped timer no longer runs: nothing more comes when its time-out passes.
    clock->advance(60000);
    EXPECT_EQ(triggered->count(), 1);
    // The modem's letter is stored, once.
    EXPECT_EQ(stored(), QStringLiteral("H"));
    EXPECT_EQ(modem->calls().handsetEvents(), 'H');
    ASSERT_EQ(learned.count(), 1);
    EXPECT_EQ(learned.at(0).at(0).value<char>(), 'H');

    // The next call: a ring and the handset in one notification, a Conexant letter from an extension.
    modem->calls().enableAutoRecord();
    arrive("\r\nRING\r\n\x10P");
    EXPECT_EQ(modem->calls().ringCount(), 1);
    EXPECT_EQ(triggered->count(), 2);
    EXPECT_EQ(stored(), QStringLiteral("H"));
    EXPECT_EQ(learned.count(), 1);
    EXPECT_TRUE(modem->exchange().replyBuffer().isEmpty());
}

TEST_F(HandsetEventsTest, RejectedCallRingsOutAsBefore) {
    settings.rejectCall = true;
    settings.rejectRings = 2;
    armed();
    arrive("\r\nRING\r\n");
    arrive("\r\nRING\r\n");
    ASSERT_TRUE(modem->calls().rejected());
    arrive("\x10H");
    EXPECT_EQ(triggered->count(), 0);
    EXPECT_EQ(logged(QStringLiteral("Handset lifted")), 1);
    clock->advance(7080);
    EXPECT_EQ(triggered->count(), 0);
    EXPECT_EQ(logged(QStringLiteral("Calling party hung up")), 1);
    // Put down after the call is over: nothing to do.
    arrive("\x10h");
    EXPECT_EQ(logger.lines().last(), QStringLiteral("Handset put down"));
    EXPECT_EQ(triggered->count(), 0);
}

TEST_F(HandsetEventsTest, ARejectionIsForgottenWithTheCallItBelongsTo) {
    settings.rejectCall = true;
    settings.rejectRings = 2;
    armed();
    // The rings stop and the recording is on its way; a late ring still reaches the rejection count,
    // and the handset put down calls the recording off: the call is over, and its rejection with it.
    arrive("\r\nRING\r\n");
    clock->advance(7080);
    ASSERT_EQ(triggered->count(), 1);
    arrive("\r\nRING\r\n");
    ASSERT_TRUE(modem->calls().rejected());
    arrive("\x10h");
    EXPECT_EQ(modem->calls().ringCount(), 0);
    EXPECT_FALSE(modem->calls().rejected());
    // The next call is accepted until it rings twice: when its rings stop after one, it is recorded.
    arrive("\r\nRING\r\n");
    clock->advance(7080);
    EXPECT_EQ(triggered->count(), 2);
    EXPECT_EQ(logged(QStringLiteral("Calling party hung up")), 0);
}

TEST_F(HandsetEventsTest, LiftedWithoutARingRecordsOnlyWhenAsked) {
    armed();
    arrive("\x10P");
    EXPECT_EQ(triggered->count(), 0);
    EXPECT_EQ(stored(), QStringLiteral("P")); // learned all the same
    arrive("\x10p");

    settings.recordOutgoing = true;
    modem->setSettings(settings);
    arrive("\x10P");
    ASSERT_EQ(triggered->count(), 1);
    EXPECT_TRUE(modem->calls().outgoingCall());
    EXPECT_TRUE(modem->calls().autoStarted());
    EXPECT_EQ(logger.lines().last(), QStringLiteral("Outgoing call"));
    // Digits that come while the recording starts are the number; the start has switched automatic
    // recording off and talks to the modem meanwhile.
    ASSERT_TRUE(modem->calls().takeRecordTrigger());
    modem->calls().disableAutoRecord();
    arrive("\x10"
           "5\x10"
           "5\x10*\x10"
           "1");
    EXPECT_EQ(modem->calls().dialledNumber().digits(), QStringLiteral("55*1"));
    // Those that come between two commands are dropped with the text before the next one, not lost.
    fake.send("\x10"
              "2\x10#");
    QDeadlineTimer deadline(5000);
    while (modem->channel().bytesHeld() < 4 && !deadline.hasExpired())
        QThread::yieldCurrentThread();
    EXPECT_EQ(modem->exchange().sendCommand(QStringLiteral("at+vsm=1"), QStringLiteral("vsm.."), QStringLiteral("OK")),
              AtResult::Ok);
    EXPECT_EQ(modem->calls().dialledNumber().digits(), QStringLiteral("55*12#"));
    modem->calls().enableAutoRecord();
    EXPECT_FALSE(modem->calls().outgoingCall());

    // Automatic recording off: the handset starts nothing.
    modem->calls().disableAutoRecord();
    arrive("\x10P");
    EXPECT_EQ(triggered->count(), 1);
}

TEST_F(HandsetEventsTest, LiftedAndPutDownBeforeTheStartLeavesNoTrigger) {
    armed();
    QSignalSpy down(&modem->calls(), &CallDetector::handsetPutDown);
    arrive("\r\nRING\r\n");
    arrive("\x10H\x10h");
    EXPECT_EQ(triggered->count(), 1);
    EXPECT_EQ(down.count(), 1);
    EXPECT_FALSE(modem->calls().takeRecordTrigger());
    EXPECT_FALSE(modem->calls().autoStarted());
    EXPECT_EQ(modem->calls().ringCount(), 0);
    EXPECT_EQ(logger.lines().last(), QStringLiteral("Enabling autoRecord mode"));
}

TEST_F(HandsetEventsTest, ArbitraryCodesStartNothingAndLeaveTheTextWhole) {
    settings.recordOutgoing = true;
    armed();
    arrive("\r\nRING\r\n");
    // Every code that is not an off-hook event, in the middle of a ring, while a call rings.
    QByteArray noise;
    for (int c = 0; c < 256; ++c) {
        if (c != 'H' && c != 'P' && c != 0x10 && c != 0x1A) // not the two shielded data bytes either
            noise += QByteArray("\x10") + static_cast<char>(c);
    }
    arrive("\r\nRI" + noise + "NG\r\n");
    EXPECT_EQ(modem->calls().ringCount(), 2);
    EXPECT_EQ(triggered->count(), 0);
    EXPECT_TRUE(modem->calls().dialledNumber().digits().isEmpty());
    EXPECT_TRUE(stored().isEmpty());

    // A line current report that answers the modem's own line seizure is no handset.
    fake.answer("at+vls=1", "\r\nOK\r\n\x10H");
    EXPECT_EQ(modem->exchange().sendCommand(QStringLiteral("at+vls=1"), QStringLiteral("line.."), QStringLiteral("OK")),
              AtResult::Ok);
    QCoreApplication::processEvents();
    EXPECT_EQ(triggered->count(), 0);
    EXPECT_TRUE(stored().isEmpty());
}
