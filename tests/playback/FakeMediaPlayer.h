// A scripted media player: records the calls made to it and is in whatever mode the test sets.
#pragma once

#include "sound/MediaPlayer.h"

#include <QStringList>

class FakeMediaPlayer : public MediaPlayer {
public:
    QStringList calls; ///< "Open <path>", "Play", "Pause", "Resume", "Seek <ms>", "Close"
    Mode currentMode = Mode::NotReady;
    qint64 currentPosition = 0;
    qint64 currentLength = 0;
    QByteArray copy;
    qint64 copySize = -1; ///< -1: the copy's own size
    int failOpen = NoError;
    int failPlay = NoError;
    int lastError = NoError;

    bool open(const QString& fileName) override {
        calls << QStringLiteral("Open ") + fileName;
        if (failOpen != NoError)
            return fail(failOpen);
        currentMode = Mode::Stopped;
        return ok();
    }
    bool play() override {
        calls << QStringLiteral("Play");
        if (failPlay != NoError)
            return fail(failPlay);
        currentMode = Mode::Playing;
        return ok();
    }
    bool pause() override {
        calls << QStringLiteral("Pause");
        if (currentMode == Mode::Playing)
            currentMode = Mode::Paused;
        return ok();
    }
    bool resume() override {
        calls << QStringLiteral("Resume");
        currentMode = Mode::Playing;
        return ok();
    }
    bool seek(qint64 ms) override {
        calls << QStringLiteral("Seek %1").arg(ms);
        if (ms < 0 || ms > currentLength)
            return fail(OutOfRange);
        currentPosition = ms;
        currentMode = Mode::Stopped;
        return ok();
    }
    void close() override {
        calls << QStringLiteral("Close");
        currentMode = Mode::NotReady;
    }
    Mode mode() const override { return currentMode; }
    qint64 position() const override { return currentPosition; }
    qint64 length() const override { return currentLength; }
    int error() const override { return lastError; }
    QString errorText() const override { return lastError == NoError ? QString() : QStringLiteral("scripted failure"); }
    const QByteArray& decodedCopy() const override { return copy; }
    qint64 decodedCopySize() const override { return copySize < 0 ? copy.size() : copySize; }

private:
    bool fail(int error) {
        lastError = error;
        return false;
    }
    bool ok() {
        lastError = NoError;
        return true;
    }
};
