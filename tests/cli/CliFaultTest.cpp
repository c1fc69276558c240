// The recorder without a window killed outright: kill -9 in the middle of a call, and power lost
// between the steps of a catalogue save (the kill injected at each file system call in turn).
#include "support/ModemSim.h"
#include "support/WaitUntil.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

namespace {

QString cli() {
    return qEnvironmentVariable("ORLAMO_BIN_DIR") + QStringLiteral("/orlamo-cli");
}

// A complete voice profile on port 1 (`device`), so the recorder starts without a modem search.
void writeProfile(const QString& folder, const QString& device) {
    QFile ini(QDir(folder).filePath(QStringLiteral("tvk.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    QByteArray text = "[Ports]\r\nCom1=" + device.toUtf8() + "\r\n";
    for (int n = 2; n <= 8; ++n)
        text += "Com" + QByteArray::number(n) + "=\r\n";
    text += "\r\n[Modem]\r\nport=1\r\nModel=Simulated\r\nFlowControl=2\r\nForCallerId=at+vcid=1\r\n"
            "VoiceMode=at+fclass=8\r\nRecGain=at+vgr=128\r\nSilenceTimer=none\r\nVoiceCompression=at+vsm=1,8000\r\n"
            "\r\n[Params]\r\nUseLine=at+vls=1\r\nUseLineRes=OK\r\nVoicefeatures=1\r\nAutoRecord=1\r\nCallerID=1\r\n"
            "RejectCall=0\r\nDiscTime=2\r\n";
    ini.write(text);
    // The modem's compression: PCM, mono, 8000 Hz, 8 bits.
    QByteArray format(128, '\0');
    qToLittleEndian<quint16>(1, format.data());
    qToLittleEndian<quint16>(1, format.data() + 2);
    qToLittleEndian<quint32>(8000, format.data() + 4);
    qToLittleEndian<quint32>(8000, format.data() + 8);
    qToLittleEndian<quint16>(1, format.data() + 12);
    qToLittleEndian<quint16>(8, format.data() + 14);
    QFile cpn(QDir(folder).filePath(QStringLiteral("ModemCompression.cpn")));
    ASSERT_TRUE(cpn.open(QIODevice::WriteOnly));
    cpn.write(format);
}

// wav/Recorded.wav as a crash leaves it: the header promises nothing, `bytes` of sound follow.
void leaveRecording(const QString& folder, int bytes) {
    ASSERT_TRUE(QDir(folder).mkpath(QStringLiteral("wav")));
    QFile file(QDir(folder).filePath(QStringLiteral("wav/Recorded.wav")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray zero(4, '\0');
    file.write("RIFF" + zero + "WAVEfmt " +
               QByteArray("\x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0", 20) + "data" + zero +
               QByteArray(bytes, static_cast<char>(0x90)));
}

// When the crash left wav/Recorded.wav: the time its sound was last written.
void setLastWritten(const QString& folder, const QDateTime& time) {
    QFile file(QDir(folder).filePath(QStringLiteral("wav/Recorded.wav")));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

/// Runs `orlamo-cli record` (behind `wrapper`, if any) until it dies or prints `marker`, then ends it
/// with SIGTERM. True when it was killed before the marker.
bool runRecorder(const QString& folder, const QStringList& wrapper, const QByteArray& marker,
                 QByteArray* out = nullptr) {
    QProcess recorder;
    QStringList args = wrapper;
    args << cli() << QStringLiteral("--workdir") << folder << QStringLiteral("record");
    recorder.start(args.takeFirst(), args);
    EXPECT_TRUE(recorder.waitForStarted(10000));
    QByteArray seen;
    while (!seen.contains(marker) && recorder.state() == QProcess::Running) {
        recorder.waitForReadyRead(1000);
        seen += recorder.readAllStandardOutput();
    }
    seen += recorder.readAllStandardOutput();
    const bool died = !seen.contains(marker);
    if (!died) {
        // Behind a wrapper (strace) the recorder is the wrapper's child.
        pid_t pid = static_cast<pid_t>(recorder.processId());
        if (!wrapper.isEmpty()) {
            QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(pid));
            if (children.open(QIODevice::ReadOnly))
                pid = children.readAll().trimmed().split(' ').first().toInt();
        }
        ::kill(pid, SIGTERM);
    }
    if (recorder.state() != QProcess::NotRunning) {
        EXPECT_TRUE(recorder.waitForFinished(30000));
    }
    if (out)
        *out = seen + recorder.readAllStandardOutput();
    return died;
}

/// The catalogue as `orlamo-cli catalog --csv` lists it; fails the test when it cannot be opened.
QList<QByteArray> catalogue(const QString& folder) {
    QProcess catalog;
    catalog.start(cli(), {QStringLiteral("--workdir"), folder, QStringLiteral("catalog"), QStringLiteral("--csv")});
    EXPECT_TRUE(catalog.waitForFinished(30000));
    EXPECT_EQ(catalog.exitCode(), 0) << catalog.readAllStandardError().constData();
    QList<QByteArray> rows = catalog.readAllStandardOutput().split('\n');
    rows.removeFirst(); // the header
    rows.removeAll(QByteArray());
    return rows;
}

qsizetype rowsLasting(const QList<QByteArray>& rows, const QByteArray& duration) {
    return std::count_if(rows.begin(), rows.end(), [&](const QByteArray& row) { return row.contains(duration); });
}

} // namespace

TEST(CliFaults, KilledMidCallTheRecordingIsRecoveredAndCataloguedAtTheNextStart) {
    ModemSim sim({QStringLiteral("--speed"), QStringLiteral("4")});
    ASSERT_TRUE(sim.start());
    QTemporaryDir dir;
    writeProfile(dir.path(), sim.linkPath());
    const QString recorded = dir.filePath(QStringLiteral("wav/Recorded.wav"));
    {
        QProcess recorder;
        recorder.start(cli(), {QStringLiteral("--workdir"), dir.path(), QStringLiteral("record")});
        ASSERT_TRUE(recorder.waitForStarted(10000));
        QByteArray out;
        auto waitFor = [&](const QByteArray& wanted) {
            while (!out.contains(wanted) && recorder.waitForReadyRead(30000))
                out += recorder.readAllStandardOutput();
            return out.contains(wanted);
        };
        ASSERT_TRUE(waitFor("Enabling autoRecord mode")) << out.constData();
        ASSERT_TRUE(sim.command(QStringLiteral("call rings=1 interval=500 cid=5550606 audio=speech talk=600")));
        ASSERT_TRUE(waitFor("Receiving data...")) << out.constData();
        // Five seconds of the call are on the disk (the writer goes in 2048-byte blocks).
        ASSERT_TRUE(waitUntil([&] { return QFileInfo(recorded).size() >= 44 + 40000; }, 60000));
        ::kill(static_cast<pid_t>(recorder.processId()), SIGKILL);
        ASSERT_TRUE(recorder.waitForFinished(30000));
        EXPECT_EQ(recorder.exitStatus(), QProcess::CrashExit);
    }
    const qint64 sound = QFileInfo(recorded).size() - 44;
    ASSERT_GE(sound, 40000);

    // The next start catalogues what was on the disk, and the modem records again.
    QByteArray out;
    EXPECT_FALSE(runRecorder(dir.path(), {}, "Enabling autoRecord mode", &out));
    EXPECT_TRUE(out.contains("Recovered an interrupted recording as 1_")) << out.constData();
    EXPECT_FALSE(QFile::exists(recorded));
    const QList<QByteArray> rows = catalogue(dir.path());
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(rows[0].contains("Recovered after an interruption")) << rows[0].constData();
    EXPECT_TRUE(rows[0].trimmed().endsWith(",yes")) << rows[0].constData();
    const QStringList files = QDir(dir.filePath(QStringLiteral("wav"))).entryList({QStringLiteral("1_*.wav")});
    ASSERT_EQ(files.size(), 1);
    QFile wav(dir.filePath(QStringLiteral("wav/") + files[0]));
    ASSERT_TRUE(wav.open(QIODevice::ReadOnly));
    const QByteArray header = wav.read(44);
    EXPECT_EQ(qFromLittleEndian<quint32>(header.constData() + 40), quint32(sound)); // the data size is complete
    EXPECT_EQ(qFromLittleEndian<quint32>(header.constData() + 4), quint32(sound + 36));
}

TEST(CliFaults, ARecordingLeftByACrashIsCataloguedAtTheTimeItsSoundWasLastWritten) {
    QTemporaryDir dir;
    writeProfile(dir.path(), dir.filePath(QStringLiteral("no-modem")));
    leaveRecording(dir.path(), 16000);
    setLastWritten(dir.path(), QDateTime(QDate(2026, 3, 1), QTime(9, 30, 15)));
    ASSERT_FALSE(runRecorder(dir.path(), {}, "Recovered an interrupted recording as"));
    const QList<QByteArray> rows = catalogue(dir.path());
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(rows[0].contains(",2026-03-01,09:30:15,00:02,")) << rows[0].constData();
    EXPECT_TRUE(rows[0].trimmed().endsWith(",yes")) << rows[0].constData();
    // Mending the header kept the time, for a start that has to find this row again.
    const QStringList files = QDir(dir.filePath(QStringLiteral("wav"))).entryList({QStringLiteral("1_*.wav")});
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(QFileInfo(dir.filePath(QStringLiteral("wav/") + files[0])).lastModified(),
              QDateTime(QDate(2026, 3, 1), QTime(9, 30, 15)));
}

TEST(CliFaults, PowerLostBetweenTheStepsOfACatalogueSaveLosesNoRecording) {
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    ASSERT_FALSE(strace.isEmpty()) << "strace is missing (scripts/setup installs it)";
    // The catalogue holds two recordings (1 s and 2 s); a third (3 s) is left by a crash and is
    // catalogued at the start, which saves Recordings.d. Power goes at the k-th change to the files
    // of that save, for every k, each time on a copy of the same folder.
    QTemporaryDir base;
    const QString start = base.filePath(QStringLiteral("start"));
    ASSERT_TRUE(QDir().mkpath(start));
    writeProfile(start, base.filePath(QStringLiteral("no-modem")));
    for (const int bytes : {8000, 16000}) {
        leaveRecording(start, bytes);
        ASSERT_FALSE(runRecorder(start, {}, "Recovered an interrupted recording as"));
    }
    ASSERT_EQ(catalogue(start).size(), 2);
    leaveRecording(start, 24000);

    // strace counts each system call on its own: the k-th of each kind that changes files, in turn.
    int kills = 0;
    int run = 0;
    for (const char* call : {"openat", "linkat", "rename", "renameat2", "unlink", "unlinkat", "write", "pwrite64",
                             "ftruncate", "sendfile", "copy_file_range", "fsync", "fdatasync"}) {
        for (int k = 1; k <= 40; ++k) {
            const QString folder = base.filePath(QStringLiteral("run%1").arg(++run));
            ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/wav")));
            for (const QString& name : QDir(start).entryList(QDir::Files))
                ASSERT_TRUE(QFile::copy(start + u'/' + name, folder + u'/' + name));
            for (const QString& name : QDir(start + QStringLiteral("/wav")).entryList(QDir::Files))
                ASSERT_TRUE(
                    QFile::copy(start + QStringLiteral("/wav/") + name, folder + QStringLiteral("/wav/") + name));
            QStringList wrapper{strace, QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-o"),
                                QStringLiteral("/dev/null")};
            for (const char* file : {"Recordings.d", "Recordings.~d", "Recordings.~d.tmp", "wav/Recorded.wav"})
                wrapper << QStringLiteral("-P") << QDir(folder).filePath(QLatin1String(file));
            wrapper << QStringLiteral("-e")
                    << QStringLiteral("inject=%1:signal=KILL:when=%2").arg(QLatin1String(call)).arg(k);
            const bool killed = runRecorder(folder, wrapper, "Recovered an interrupted recording as");
            const QString where = QStringLiteral("power lost at %1 number %2").arg(QLatin1String(call)).arg(k);
            if (killed) {
                ++kills;
                // The power comes back in another second of the clock, so that a row is not found again
                // merely because both starts stamped it with the same second.
                const QTime cut = QTime::currentTime();
                QThread::msleep(static_cast<unsigned long>(1000 - cut.msec()));
                // The next start, with the power on, finishes what was left.
                runRecorder(folder, {}, "Com port 1 is ");
            }
            const QList<QByteArray> rows = catalogue(folder);
            EXPECT_EQ(rowsLasting(rows, "00:01"), 1) << qPrintable(where);
            EXPECT_EQ(rowsLasting(rows, "00:02"), 1) << qPrintable(where);
            EXPECT_EQ(rowsLasting(rows, "00:03"), 1) << qPrintable(where) << ": " << rows.join('\n').constData();
            for (const QByteArray& row : rows)
                EXPECT_TRUE(row.trimmed().endsWith(",yes"))
                    << qPrintable(where) << ": a row without its file: " << row.constData();
            EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/wav/Recorded.wav"))) << qPrintable(where);
            QDir(folder).removeRecursively();
            if (!killed)
                break; // every call of this kind has had its power cut
            ASSERT_LT(k, 40) << "the save never finished under the injected kills";
        }
    }
    EXPECT_GE(kills, 8);
    std::printf("power cut at %d points of the save, each followed by a start that catalogued the recording once\n",
                kills);
}
