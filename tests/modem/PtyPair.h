// A pseudo-terminal pair for channel tests: the test plays the modem on the master side.
#pragma once

#include <QByteArray>
#include <QString>

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return m_master >= 0; }
    /// The device the channel opens.
    QString slavePath() const { return m_slave; }
    /// Writes all bytes to the channel's side (blocks while the line is full).
    bool write(const QByteArray& bytes);
    /// Reads what the channel sent until `count` bytes came or `timeoutMs` passed.
    QByteArray read(qsizetype count, int timeoutMs = 5000);
    /// Hangs up: the channel's device vanishes.
    void closeMaster();
    int masterFd() const { return m_master; }

private:
    int m_master = -1;
    QString m_slave;
};
