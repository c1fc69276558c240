// Decodes a whole WAV file into the working format on a thread of its own, for the playback trace.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

class QThread;

/// The copy grows on the owner's thread as the decoding thread hands over its blocks, so playback
/// need not wait for a long recording to be decoded, and the trace still sees every sample.
class WorkingCopyDecoder : public QObject {
    Q_OBJECT
public:
    /// Bytes of the file decoded per block handed over.
    static constexpr qint64 kBlockBytes = 64 * 1024;

    explicit WorkingCopyDecoder(QObject* parent = nullptr);
    ~WorkingCopyDecoder() override;

    /// Drops the previous copy and starts decoding `fileName`; `expectedBytes` is the size the copy
    /// should reach (the trace's scale until it is complete).
    void start(const QString& fileName, qint64 expectedBytes);
    /// Stops the decoding thread and waits for it; the copy so far stays.
    void stop();
    void clear();

    const QByteArray& copy() const { return m_copy; }
    /// The size the copy will have: the expected size while decoding, the real one when done.
    qint64 finalSize() const { return m_done ? m_copy.size() : std::max(m_expected, qint64(m_copy.size())); }
    bool done() const { return m_done; }
    bool failed() const { return m_failed; }

Q_SIGNALS:
    /// The whole file is decoded.
    void finished();
    /// Decoding stopped with an error; the copy holds what was decoded before it.
    void decodingFailed();

private:
    void run(const QString& fileName, quint64 generation);
    void received(quint64 generation, const QByteArray& block);
    void ended(quint64 generation, bool ok);

    QByteArray m_copy;
    qint64 m_expected = 0;
    bool m_done = false;
    bool m_failed = false;
    quint64 m_generation = 0;
    std::atomic<bool> m_cancel{false};
    std::unique_ptr<QThread> m_thread;
};
