// Modems that report the local handset: the recording starts when it is lifted and ends when it is put
// down, calls the user makes are recorded when asked; a modem that reports nothing keeps the rings-stopped
// and silence rules. Times are measured in line time: by lining the recording up with the sound the
// simulated line carried.
#include "recorder/LineSound.h"
#include "recorder/RecordingTestBase.h"

#include "audio/WavReader.h"
#include "library/TableFile.h"
#include "modemsetup/ModemProfile.h"

#include <QFile>
#include <QSignalSpy>
#include <cmath>
#include <iostream>

namespace {

constexpr double kRate = 8000;

struct HandsetRecordingTest : RecordingTestBase {
    QByteArray sent; ///< the talk's bytes as the modem sends them

    /// The simulated modem with these personality directives over cx93001; none: cx93001 itself, which
    /// reports no handset.
    void useModem(const QByteArray& directives, double speed = 1) {
        QStringList args{QStringLiteral("--speed"), QString::number(speed)};
        if (!directives.isEmpty()) {
            QFile file(dir.filePath(QStringLiteral("handset.txt")));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(directives);
            args << QStringLiteral("--profile") << file.fileName();
        }
        sim.setExtraArgs(args);
    }
    /// Noise of `seconds` for the talk; its path.
    QString talk(int seconds) {
        const QString path = dir.filePath(QStringLiteral("talk.wav"));
        sent = writeLineNoise(path, seconds);
        return path;
    }
    void storeRingTimeOut(int ms) {
        config->writeInteger(QStringLiteral("General"), QStringLiteral("RingTimeOut"), ms);
    }
    QByteArray recorded(const QString& baseName) {
        QFile file(dir.filePath(QStringLiteral("wav/") + baseName + QStringLiteral(".wav")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        WavReader reader(file);
        QByteArray data(reader.itemSize(0), Qt::Uninitialized);
        reader.seekItem(0);
        reader.readItem(0, data.data(), data.size());
        return data;
    }
    QString memo() {
        TableFile& calls = core->catalogue().recordings();
        calls.last();
        return calls.fieldText(QStringLiteral("Comment"));
    }
    bool logHas(const QString& line) const { return core->logger().lines().contains(line); }
    QString log() const { return core->logger().lines().join(QLatin1Char('\n')); }

    /// How the recording lines up with the talk: the talk missing at its start, the line recorded after
    /// its end, both in line seconds.
    struct Figures {
        double lost = 0;
        double tail = 0;
        double correlation = 0;
    };
    Figures measure(const QByteArray& recording) const {
        // A tenth of a second of the talk, found in what was sent: the last one before the quiet line
        // that follows the talk (what comes before the talk may be tones of the dialling).
        constexpr qsizetype kWindow = 800;
        auto quiet = [&](qsizetype from) { return recording.mid(from, kWindow).count(recording.at(from)) == kWindow; };
        qsizetype end = recording.size();
        while (end >= 2 * kWindow && quiet(end - kWindow))
            end -= kWindow;
        const qsizetype at = std::max<qsizetype>(end - 2 * kWindow, 0);
        const LineMatch match = bestMatch(recording.mid(at, kWindow), sent);
        const qsizetype offset = match.offset - at; // recording[i] is sent[i + offset]
        Figures f;
        f.correlation = match.correlation;
        f.lost = static_cast<double>(std::max<qsizetype>(offset, 0)) / kRate;
        f.tail = static_cast<double>(recording.size() - (sent.size() - offset)) / kRate;
        return f;
    }
    static void report(const char* what, const Figures& f) {
        std::cerr << what << ": first words lost " << f.lost << " s, line recorded after the talk " << f.tail
                  << " s (correlation " << f.correlation << ")" << std::endl;
    }
};

struct HandsetModem {
    char letter;
    int rings; ///< 2: the ring time-out is learned from the cadence; 1: it was learned before
};

struct HandsetLetters : HandsetRecordingTest, ::testing::WithParamInterface<HandsetModem> {};

} // namespace

// A 6 s cadence (ring time-out 7080 ms) answered one second after a ring: the recording starts when the
// handset is lifted and ends when it is put down.
TEST_P(HandsetLetters, AnsweredCallIsRecordedFromPickupToHangUp) {
    const auto [letter, rings] = GetParam();
    useModem(QByteArray("handset ") + letter + '\n');
    configure(10);
    if (rings == 1)
        storeRingTimeOut(7080);
    createCore();
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);
    ASSERT_TRUE(sim.command(QStringLiteral("call rings=%1 interval=6000 cid=5551234 pickup=1 audio=%2 talk=3 "
                                           "end=hangup")
                                .arg(rings)
                                .arg(talk(3))));
    ASSERT_TRUE(waitUntil([&] { return !catalogued.isEmpty(); }, 60000)) << log().toStdString();

    const Figures f = measure(recorded(catalogued.first().at(0).toString()));
    report(letter == 'H' ? "handset H" : "handset P", f);
    EXPECT_GT(f.correlation, 0.8);
    EXPECT_LT(f.lost, 1.0) << log().toStdString();
    EXPECT_GT(f.tail, -0.001); // the whole talk is in the file (to the sample the line rounds to)
    EXPECT_LT(f.tail, 0.5) << log().toStdString();

    EXPECT_TRUE(logHas(QStringLiteral("Handset lifted")));
    EXPECT_TRUE(logHas(QStringLiteral("Modem reported handset put down")));
    EXPECT_TRUE(logHas(QStringLiteral("Disconnect line...")));
    EXPECT_FALSE(logHas(QStringLiteral("Silence...")));
    // The caller's number comes after the first ring: a call answered before it has none.
    EXPECT_EQ(memo(), rings == 2 ? QStringLiteral("5551234") : QStringLiteral(" "));
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('\n').toStdString();
    // The modem has shown how it reports the handset.
    EXPECT_EQ(config->readString(QStringLiteral("Modem"), QStringLiteral("HandsetEvents"), {}), QString(QChar(letter)));
    EXPECT_EQ(core->profile().handsetEvents(), letter);
    ASSERT_TRUE(waitUntil([&] { return modem().calls().autoRecordMode(); }));
}

INSTANTIATE_TEST_SUITE_P(Modems, HandsetLetters, ::testing::Values(HandsetModem{'H', 2}, HandsetModem{'P', 1}),
                         [](const auto& info) { return std::string(1, info.param.letter); });

// The same call on a modem that reports nothing: the rings-stopped rule starts it and silence ends it.
TEST_F(HandsetRecordingTest, ModemWithoutHandsetEventsKeepsTheRingsStoppedRule) {
    useModem({});
    configure(2);
    storeRingTimeOut(7080);
    createCore();
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);
    ASSERT_TRUE(sim.command(QStringLiteral("call rings=1 interval=6000 cid=5551234 pickup=1 audio=%1 talk=9 "
                                           "end=hangup")
                                .arg(talk(9))));
    ASSERT_TRUE(waitUntil([&] { return !catalogued.isEmpty(); }, 60000)) << log().toStdString();

    const Figures f = measure(recorded(catalogued.first().at(0).toString()));
    report("no handset events, disconnect after 2 s", f);
    EXPECT_GT(f.correlation, 0.8);
    EXPECT_GT(f.lost, 5.0); // 7.08 s after the ring, 6.08 s after the pickup, plus the start
    EXPECT_GT(f.tail, 1.5); // about the disconnect time of silence
    EXPECT_FALSE(logHas(QStringLiteral("Handset lifted")));
    EXPECT_TRUE(logHas(QStringLiteral("Silence...")));
    EXPECT_TRUE(config->readString(QStringLiteral("Modem"), QStringLiteral("HandsetEvents"), {}).isEmpty());
}

TEST_F(HandsetRecordingTest, HandsetLiftedDuringARejectedCallStartsNothing) {
    useModem("handset H\n");
    configure(10);
    config->writeBool(QStringLiteral("Params"), QStringLiteral("RejectCall"), true);
    config->writeInteger(QStringLiteral("Params"), QStringLiteral("RejectRings"), 2);
    storeRingTimeOut(900);
    createCore();
    ASSERT_TRUE(sim.command(QStringLiteral("call rings=3 interval=700 pickup=0.3 audio=speech talk=1 end=hangup")));
    ASSERT_TRUE(waitUntil([&] { return logHas(QStringLiteral("Handset put down")); }, 30000)) << log().toStdString();
    const QStringList lines = core->logger().lines();
    const qsizetype rejected = lines.indexOf(QStringLiteral("Call recording rejected..."));
    const qsizetype lifted = lines.indexOf(QStringLiteral("Handset lifted"));
    ASSERT_GE(rejected, 0) << log().toStdString();
    EXPECT_GT(lifted, rejected);
    EXPECT_TRUE(lines.contains(QStringLiteral("Calling party hung up")));
    EXPECT_FALSE(lines.contains(QStringLiteral("-- Recording started"))) << log().toStdString();
    EXPECT_FALSE(recorder().recording());
    EXPECT_TRUE(recordings().isEmpty());
}

struct OutgoingCalls : HandsetRecordingTest, ::testing::WithParamInterface<double> {};

// At the line's own pace the digits come in the voice stream; on a faster line they come while the
// recording is still being started, in the command stream.
TEST_P(OutgoingCalls, AreRecordedWithTheDialledNumber) {
    useModem("handset P\ndtmf\n", GetParam());
    configure(10);
    config->writeBool(QStringLiteral("Params"), QStringLiteral("RecordOutgoing"), true);
    createCore();
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);
    ASSERT_TRUE(sim.command(QStringLiteral("dial number=5551234 audio=%1 talk=2").arg(talk(2))));
    ASSERT_TRUE(waitUntil([&] { return !catalogued.isEmpty(); }, 60000)) << log().toStdString();

    EXPECT_EQ(memo(), QStringLiteral("5551234")) << log().toStdString();
    const Figures f = measure(recorded(catalogued.first().at(0).toString()));
    report(GetParam() == 1 ? "outgoing call" : "outgoing call, fast line", f);
    // Neither the dial tone nor the key tones ended it: the talk is there to its end.
    EXPECT_GT(f.correlation, 0.8);
    EXPECT_EQ(f.lost, 0.0);
    EXPECT_GT(f.tail, -0.001);
    EXPECT_LT(f.tail, 0.5 * GetParam()); // the stop's own time runs faster on a faster line
    EXPECT_TRUE(logHas(QStringLiteral("Outgoing call")));
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Lines, OutgoingCalls, ::testing::Values(1.0, 4.0),
                         [](const auto& info) { return info.param == 1 ? "RealTime" : "FourTimes"; });

TEST_F(HandsetRecordingTest, OutgoingCallsAreNotRecordedUnlessAsked) {
    useModem("handset P\ndtmf\n", 4);
    configure(10);
    createCore();
    ASSERT_TRUE(sim.command(QStringLiteral("dial number=5551234 audio=speech talk=2")));
    ASSERT_TRUE(waitUntil([&] { return logHas(QStringLiteral("Handset put down")); }, 30000)) << log().toStdString();
    EXPECT_TRUE(logHas(QStringLiteral("Handset lifted")));
    EXPECT_FALSE(logHas(QStringLiteral("-- Recording started")));
    EXPECT_TRUE(recordings().isEmpty());
}

// Codes a modem may put in the stream, or line noise that looks like them: logged, and only the handset
// put down, busy and dial tone end the call.
TEST_F(HandsetRecordingTest, ArbitraryCodesInTheStreamDoNotEndTheCall) {
    useModem({});
    configure(2);
    storeRingTimeOut(600);
    createCore();
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);
    ASSERT_TRUE(sim.command(QStringLiteral("call rings=1 interval=1000 audio=speech talk=3 end=silence endfor=30")));
    ASSERT_TRUE(waitUntil([&] { return recorder().receiving(); }, 30000)) << log().toStdString();
    QString codes;
    for (int c = 0; c < 256; ++c) {
        if (!QByteArray("hpbd\x10\x1a").contains(static_cast<char>(c)))
            codes += QStringLiteral("\\x10\\x%1").arg(c, 2, 16, QLatin1Char('0'));
    }
    ASSERT_TRUE(sim.command(QStringLiteral("send ") + codes));
    ASSERT_TRUE(waitUntil([&] { return !catalogued.isEmpty(); }, 30000)) << log().toStdString();
    const QStringList lines = core->logger().lines();
    EXPECT_TRUE(lines.contains(QStringLiteral("Modem reported handset lifted")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Modem reported DTMF digit 7")));
    // Ended by the silence after the talk, not by a code.
    const qsizetype silence = lines.indexOf(QStringLiteral("Silence..."));
    ASSERT_GE(silence, 0) << log().toStdString();
    EXPECT_GT(lines.indexOf(QStringLiteral("Disconnect line...")), silence);
    EXPECT_EQ(memo(), QStringLiteral(" "));
}
