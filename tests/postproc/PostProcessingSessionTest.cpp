// The session: decoding into the work file, saving in the recording's own format, failures leaving it intact.
#include "postproc/PostProcessingSession.h"

#include "audio/AudioErrors.h"
#include "audio/SignalLevel.h"
#include "audio/WavReader.h"
#include "audio/drivers/GsmDriver.h"
#include "audio/drivers/ImaAdpcmDriver.h"
#include "postproc/RecordingFiles.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

struct Decoded {
    WaveFormat format;
    QByteArray samples;
};

// The file's format and its sound in the working format.
Decoded decode(const QString& path) {
    ScriptedPrompter prompter;
    QTemporaryDir dir;
    PostProcessingSession session(prompter, dir.filePath(QStringLiteral("work")));
    Decoded decoded;
    if (!session.open(path))
        return decoded;
    decoded.samples = session.samples();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        decoded.format = WavReader(file).format();
    return decoded;
}

float levelOf(const QByteArray& samples) {
    return SignalLevel::ofBytes(
        std::span(reinterpret_cast<const uint8_t*>(samples.constData()), static_cast<size_t>(samples.size())));
}

struct PostProcessingSessionTest : ::testing::Test {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    QString path(const QString& name) const { return dir.filePath(name); }
    QString workFile() const { return path(QStringLiteral("temp.wav")); }
};

struct SaveInOwnFormat : PostProcessingSessionTest, ::testing::WithParamInterface<const char*> {
    WaveFormat format() const {
        return QString::fromLatin1(GetParam()) == QLatin1String("gsm") ? GsmDriver::gsmFormat(8000)
                                                                       : ImaAdpcmDriver::imaFormat(8000, 1);
    }
};

} // namespace

TEST_P(SaveInOwnFormat, ApplySaveKeepsTheFormatAndTheLength) {
    const QString recording = path(QStringLiteral("call.wav"));
    ASSERT_TRUE(recordings::writeRecording(recording, format(), 4));
    const Decoded before = decode(recording);
    ASSERT_FALSE(before.samples.isEmpty());

    PostProcessingSession session(prompter, workFile());
    ASSERT_TRUE(session.open(recording));
    EXPECT_EQ(session.size(), before.samples.size());
    session.applyGain(60);
    ASSERT_TRUE(session.save());
    session.close();

    const Decoded after = decode(recording);
    EXPECT_TRUE(after.format.sameFormat(format()));
    EXPECT_EQ(after.samples.size(), before.samples.size());
    EXPECT_GT(levelOf(after.samples), 1.4f * levelOf(before.samples));
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('\n').toStdString();
    // Nothing but the recording and the work file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("call.wav"), QStringLiteral("temp.wav")}));
}

INSTANTIATE_TEST_SUITE_P(Formats, SaveInOwnFormat, ::testing::Values("ima", "gsm"));

TEST_F(PostProcessingSessionTest, TheWorkFileHoldsTheWorkingFormatAndOutlivesTheSession) {
    QByteArray samples(1000, '\x80');
    samples[0] = 0;
    ASSERT_TRUE(recordings::writeWav(path(QStringLiteral("pcm.wav")), WaveFormat::workingFormat(), samples));
    const QByteArray file = readAll(path(QStringLiteral("pcm.wav")));
    {
        PostProcessingSession session(prompter, workFile());
        ASSERT_TRUE(session.open(path(QStringLiteral("pcm.wav"))));
        EXPECT_EQ(session.samples(), samples);
        session.applyGain(50);
        EXPECT_EQ(static_cast<uint8_t>(session.samples()[0]), 0);
        EXPECT_EQ(static_cast<uint8_t>(session.samples()[1]), 129);
    }
    // Closing without saving: the recording is as it was, the work file has the changed samples.
    EXPECT_EQ(readAll(path(QStringLiteral("pcm.wav"))), file);
    EXPECT_EQ(readAll(workFile()).size(), 1000);
    EXPECT_EQ(static_cast<uint8_t>(readAll(workFile())[1]), 129);
}

TEST_F(PostProcessingSessionTest, OpeningFailuresAreShownAndLeaveNothingOpen) {
    PostProcessingSession session(prompter, workFile());
    writeFile(path(QStringLiteral("junk.wav")), "RIFF\x04\0\0\0WAVEjunk");
    EXPECT_FALSE(session.open(path(QStringLiteral("junk.wav"))));
    EXPECT_FALSE(session.isOpen());
    EXPECT_FALSE(session.open(path(QStringLiteral("missing.wav"))));
    EXPECT_FALSE(session.isOpen());
    EXPECT_EQ(prompter.shown, QStringList({QStringLiteral("Error was created during pcm conversion"),
                                           QStringLiteral("Cannot open file ") + path(QStringLiteral("missing.wav"))}));
    EXPECT_FALSE(session.save());
}

TEST_F(PostProcessingSessionTest, SavingToAnotherFileLeavesTheRecording) {
    const QString recording = path(QStringLiteral("call.wav"));
    ASSERT_TRUE(recordings::writeRecording(recording, ImaAdpcmDriver::imaFormat(8000, 1), 2));
    const QByteArray original = readAll(recording);
    PostProcessingSession session(prompter, workFile());
    ASSERT_TRUE(session.open(recording));
    session.applyGain(-50);
    ASSERT_TRUE(session.save(path(QStringLiteral("quieter.wav"))));
    EXPECT_EQ(readAll(recording), original);
    EXPECT_TRUE(decode(path(QStringLiteral("quieter.wav"))).format.sameFormat(ImaAdpcmDriver::imaFormat(8000, 1)));
    EXPECT_LT(levelOf(decode(path(QStringLiteral("quieter.wav"))).samples), levelOf(decode(recording).samples));
    EXPECT_THROW(session.save(path(QStringLiteral("no/such/folder/x.wav"))), FileOpenError);
}

TEST_F(PostProcessingSessionTest, SaveKeepsTheRecordingsPermissions) {
    const QString recording = path(QStringLiteral("call.wav"));
    ASSERT_TRUE(recordings::writeRecording(recording, GsmDriver::gsmFormat(8000), 1));
    const auto permissions =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(recording, permissions));
    PostProcessingSession session(prompter, workFile());
    ASSERT_TRUE(session.open(recording));
    ASSERT_TRUE(session.save());
    EXPECT_EQ(QFile::permissions(recording), permissions);
}

TEST_F(PostProcessingSessionTest, AnEmptyResultNeverReplacesTheRecording) {
    // Less than one GSM block: nothing decodes, and an encoder fed nothing writes no WAV file at all.
    const QString recording = path(QStringLiteral("short.wav"));
    ASSERT_TRUE(recordings::writeWav(recording, GsmDriver::gsmFormat(8000), QByteArray(30, '\x55')));
    const QByteArray original = readAll(recording);
    PostProcessingSession session(prompter, workFile());
    ASSERT_TRUE(session.open(recording));
    EXPECT_EQ(session.size(), 0);
    EXPECT_FALSE(session.save());
    EXPECT_EQ(readAll(recording), original);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("short.wav"), QStringLiteral("temp.wav")}));
}
