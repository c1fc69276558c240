// Recordings ended by a tone, by the user, by a lost modem; failed starts; recovery after a crash.
#include "recorder/RecordingTestBase.h"

#include "library/TableFile.h"
#include "modemsetup/CurrentCompression.h"
#include "modemsetup/ModemProfile.h"

#include <QFile>
#include <QSignalSpy>

namespace {

QString memoOfLastRow(Catalogue& catalogue) {
    TableFile& calls = catalogue.recordings();
    calls.last();
    return calls.fieldText(QStringLiteral("Comment"));
}

} // namespace

TEST_F(RecordingTestBase, BusyToneEndsAnAutomaticRecording) {
    configure(10);
    createCore();
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);
    sim.command(QStringLiteral("call rings=2 interval=700 cid=5550001 audio=tone:700 talk=0.5 end=busy endfor=30"));
    ASSERT_TRUE(waitUntil([&] { return !catalogued.isEmpty(); }, 60000));
    const QStringList lines = core->logger().lines();
    const qsizetype disconnect = lines.indexOf(QStringLiteral("Disconnect line..."));
    ASSERT_GE(disconnect, 0);
    EXPECT_EQ(lines.at(disconnect + 1), QStringLiteral("-- Recording stopped"));
    // Ended by the tone (the modem's busy report or the periodic blocks), long before 10 s of silence.
    EXPECT_FALSE(lines.contains(QStringLiteral("Silence...")));
    EXPECT_EQ(memoOfLastRow(core->catalogue()), QStringLiteral("5550001"));
    EXPECT_EQ(recordings().size(), 1);
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('\n').toStdString();
}

TEST_F(RecordingTestBase, ManualRecordingsEndOnlyByStop) {
    configure(1);
    createCore();
    // Two short manual recordings one after the other; the line is silent, yet nothing ends them by itself.
    for (int i = 0; i < 2; ++i) {
        recorder().startRecording();
        ASSERT_TRUE(recorder().receiving()) << prompter.shown.join('\n').toStdString();
        ASSERT_TRUE(waitUntil([&] { return recorder().writtenBytes() >= 3 * 8000; }));
        EXPECT_TRUE(recorder().recording());
        recorder().stopRecording();
        EXPECT_FALSE(recorder().recording());
    }
    EXPECT_GE(logged(QStringLiteral("Silence...")), 1); // logged, but a manual recording goes on
    EXPECT_EQ(logged(QStringLiteral("Disconnect line...")), 0);
    EXPECT_EQ(core->catalogue().recordings().recordCount(), 2);
    EXPECT_EQ(recordings().size(), 2);
    EXPECT_EQ(memoOfLastRow(core->catalogue()), QStringLiteral(" "));
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('\n').toStdString();
    EXPECT_TRUE(modem().portOpen());
}

TEST_F(RecordingTestBase, UnpluggedModemEndsTheRecordingWithWhatWasReceived) {
    configure(10);
    createCore();
    recorder().startRecording();
    ASSERT_TRUE(recorder().receiving());
    ASSERT_TRUE(waitUntil([&] { return recorder().writtenBytes() >= 8000; }));
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);
    sim.command(QStringLiteral("unplug"));
    ASSERT_TRUE(waitUntil([&] { return !catalogued.isEmpty(); }));
    EXPECT_FALSE(recorder().recording());
    ASSERT_EQ(prompter.shown.size(), 2);
    EXPECT_TRUE(prompter.shown[0].startsWith(QStringLiteral("The modem was disconnected during the recording")));
    EXPECT_EQ(prompter.shown[1], QStringLiteral("Error during opening com port 1"));
    EXPECT_EQ(core->catalogue().recordings().recordCount(), 1);
    EXPECT_EQ(recordings().size(), 1);
}

TEST_F(RecordingTestBase, FailedStartsShowTheirMessageAndRestoreTheModem) {
    configure(10);
    config->writeString(QStringLiteral("Modem"), QStringLiteral("VoiceCompression"), QStringLiteral("at+vsm=NONE"));
    createCore();
    QSignalSpy pressed(&recorder(), &VoiceRecorder::recordingChanged);
    recorder().startRecording();
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("Voice compression codec can not be recognized")});
    EXPECT_FALSE(recorder().recording());
    ASSERT_EQ(pressed.size(), 2);
    EXPECT_FALSE(pressed.last().at(0).toBool());
    EXPECT_TRUE(modem().portOpen());
    EXPECT_TRUE(modem().calls().autoRecordMode());
    EXPECT_EQ(core->logger().lines().last(), QStringLiteral("Enabling autoRecord mode"));

    // A line selection the modem refuses closes the port first; the abort opens it again.
    prompter.shown.clear();
    config->writeString(QStringLiteral("Modem"), QStringLiteral("VoiceCompression"), QStringLiteral("at+vsm=1,8000"));
    config->writeString(QStringLiteral("Params"), QStringLiteral("UseLine"), QStringLiteral("at+orlamo"));
    core->profile().load(*config);
    recorder().startRecording();
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("Error setting line..")});
    EXPECT_TRUE(modem().portOpen());
    EXPECT_FALSE(recorder().receiving());

    // Without the modem compression's format file nothing is created and the port stays as it was.
    prompter.shown.clear();
    QFile::remove(dir.filePath(QStringLiteral("ModemCompression.cpn")));
    recorder().startRecording();
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("None Codec found to match modem compression")});
    EXPECT_FALSE(recorder().recording());
    EXPECT_TRUE(modem().portOpen());
    EXPECT_TRUE(modem().calls().autoRecordMode()) << "the next call would ring unnoticed";
    EXPECT_EQ(recorder().readinessProblem(), QStringLiteral("None Codec found to match modem compression"));
}

TEST_F(RecordingTestBase, ConverterThatCannotOpenEndsTheModemsSoundBeforeTheModemIsInitialisedAgain) {
    configure(10);
    // A modem format no converter takes: the receive command has gone out, but the sound has nowhere to go.
    WaveFormat unknown = WaveFormat::pcm(8000, 8, 1);
    unknown.setFormatTag(0x7777);
    unknown.saveFormatFile(dir.filePath(QStringLiteral("ModemCompression.cpn")));
    createCore();
    ASSERT_TRUE(sim.command(QStringLiteral("call rings=1 interval=500 audio=speech talk=30")));
    const qsizetype before = core->logger().lines().size();
    recorder().startRecording();
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("Error Receiving data..")});
    EXPECT_FALSE(recorder().recording());
    EXPECT_FALSE(recorder().receiving());
    // Every command after the failure was answered: the modem had stopped streaming before them.
    const QStringList after = core->logger().lines().mid(before);
    const qsizetype echo = after.indexOf(QStringLiteral("echo off.."));
    ASSERT_GE(echo, 0) << after.join('\n').toStdString();
    EXPECT_FALSE(after.contains(QStringLiteral("time out"))) << after.join('\n').toStdString();
    EXPECT_EQ(after.value(echo + 1), QStringLiteral("ok")) << after.join('\n').toStdString();
    EXPECT_TRUE(modem().portOpen());
    EXPECT_FALSE(modem().exchange().voiceReception());
    QString reply;
    EXPECT_EQ(modem().exchange().sendQuery(QStringLiteral("ati"), reply), AtResult::Ok);

    // With a format the converters take, the next recording runs on the same port.
    WaveFormat::pcm(8000, 8, 1).saveFormatFile(dir.filePath(QStringLiteral("ModemCompression.cpn")));
    prompter.shown.clear();
    recorder().startRecording();
    ASSERT_TRUE(recorder().receiving()) << prompter.shown.join('\n').toStdString();
    ASSERT_TRUE(waitUntil([&] { return recorder().writtenBytes() >= 8000; }));
    recorder().stopRecording();
    EXPECT_EQ(recordings().size(), 1);
}

TEST_F(RecordingTestBase, RecordingFileThatCannotBeCreatedIsReported) {
    configure(10);
    createCore();
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("wav/Recorded.wav"))); // a folder in the file's place
    recorder().startRecording();
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown[0].contains(QStringLiteral("can not be created"))) << prompter.shown[0].toStdString();
    EXPECT_FALSE(recorder().recording());
    EXPECT_TRUE(modem().portOpen());
}

TEST_F(RecordingTestBase, RecordingLeftByACrashIsRecoveredAtTheNextStart) {
    configure(10);
    // A writer that never finished: the header promises no data, the sound follows it.
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("wav")));
    {
        QFile file(dir.filePath(QStringLiteral("wav/Recorded.wav")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QByteArray zero(4, '\0');
        file.write("RIFF" + zero + "WAVEfmt " + QByteArray("\x10\0\0\0", 4));
        file.write(reinterpret_cast<const char*>(WaveFormat::pcm(8000, 8, 1).raw()), 16);
        file.write("data" + zero);
        file.write(QByteArray(8000 * 5, static_cast<char>(0x90)));
    }
    createCore();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("wav/Recorded.wav"))));
    ASSERT_EQ(core->catalogue().recordings().recordCount(), 1);
    EXPECT_EQ(memoOfLastRow(core->catalogue()), QStringLiteral("Recovered after an interruption"));
    EXPECT_EQ(core->catalogue().recordings().fieldText(QStringLiteral("Duration")), QStringLiteral("00:05"));
    EXPECT_EQ(recordings().size(), 1);
}

TEST_F(RecordingTestBase, RecoveryCutOffAfterItsRowWasSavedIsNotCataloguedTwice) {
    configure(10);
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("wav")));
    const QString recorded = dir.filePath(QStringLiteral("wav/Recorded.wav"));
    {
        QFile file(recorded);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QByteArray zero(4, '\0');
        file.write("RIFF" + zero + "WAVEfmt " + QByteArray("\x10\0\0\0", 4));
        file.write(reinterpret_cast<const char*>(WaveFormat::pcm(8000, 8, 1).raw()), 16);
        file.write("data" + zero);
        file.write(QByteArray(8000 * 3, static_cast<char>(0x90)));
    }
    createCore();
    ASSERT_EQ(core->catalogue().recordings().recordCount(), 1);
    ASSERT_EQ(recordings().size(), 1);
    // The power went after the row was saved and before the file got its name.
    core.reset();
    ASSERT_TRUE(QFile::rename(dir.filePath(QStringLiteral("wav/") + recordings().first()), recorded));
    core = std::make_unique<Program>(dir.path(), StartOptions{}, prompter);
    createCore();
    EXPECT_EQ(core->catalogue().recordings().recordCount(), 1);
    EXPECT_EQ(recordings().size(), 1);
    EXPECT_FALSE(QFile::exists(recorded));
    EXPECT_TRUE(QFile::exists(core->catalogue().wavPath(core->catalogue().recordingBaseName())));
}

TEST_F(RecordingTestBase, SignedPcmFromTheModemIsStoredUnsigned) {
    configure(10);
    config->writeString(QStringLiteral("Modem"), QStringLiteral("VoiceCompression"), QStringLiteral("at+vsm=0,8000"));
    createCore();
    CompressionRecord signedPcm;
    signedPcm.Description = QStringLiteral("SIGNED PCM");
    signedPcm.bps = QStringLiteral("8");
    signedPcm.vsr = QStringLiteral("8000");
    core->currentCompression().set(signedPcm);
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);
    recorder().startRecording();
    ASSERT_TRUE(recorder().receiving());
    ASSERT_TRUE(waitUntil([&] { return recorder().writtenBytes() >= 8000; }));
    recorder().stopRecording();
    ASSERT_EQ(catalogued.size(), 1);
    QFile file(core->catalogue().wavPath(catalogued.first().at(0).toString()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll().mid(44);
    ASSERT_GE(data.size(), 8000);
    // The silent line is signed 0 from the modem: the mid level 128 in the file, not the bottom 0.
    for (qsizetype i = 0; i < data.size(); ++i)
        ASSERT_NEAR(static_cast<unsigned char>(data[i]), 128, 1) << "byte " << i;
}
