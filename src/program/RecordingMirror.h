// Keeps the mirror folder a copy of the working folder, on a thread of its own.
#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <functional>

class Logger;

/// After each catalogued recording and each catalogue change, copy() asks for a pass, a moment later, that brings the
/// mirror folder up to date (MirrorTarget over a CatalogueSnapshot). Passes run one at a time on
/// the mirror's own thread, so a slow or hanging share never holds up the recorder's event loop;
/// requests that arrive during a pass make one more pass after it. A pass that fails (the share is
/// not mounted, the disk is full) is logged once and retried every retry interval until one works,
/// which is logged too. Nothing needs to be remembered across a restart: the first pass of a run
/// compares the whole folder with the mirror.
class RecordingMirror : public QObject {
    Q_OBJECT
public:
    static constexpr int kRetryIntervalMs = 60000;
    /// A change is copied this long after it, so the saves of one command (a row, then the tree) go in one pass.
    static constexpr int kDelayMs = 1000;

    RecordingMirror(QString workDir, Logger& logger, QObject* parent = nullptr);
    /// Waits for a running pass to end.
    ~RecordingMirror() override;

    /// The mirror folder; empty switches mirroring off. A new folder gets a pass at once.
    void setFolder(const QString& folder);
    QString folder() const { return m_folder; }
    /// Asks for a pass; returns at once.
    void copy();
    /// A pass runs or is asked for.
    bool busy() const { return m_running || m_pending; }

    void setRetryInterval(int ms) { m_retry.setInterval(ms); }
    void setDelay(int ms) { m_delay.setInterval(ms); }
    /// Tests: runs on the mirror's thread at the start of every pass.
    void setPassHook(std::function<void()> hook) { m_passHook = std::move(hook); }

Q_SIGNALS:
    /// A pass has ended; `error` is empty when the mirror is up to date.
    void passFinished(const QString& error);

private:
    void startPass();
    void passDone(const QString& error);

    QString m_workDir;
    Logger& m_logger;
    QString m_folder;
    QThread m_thread;
    QObject* m_worker; ///< lives on m_thread; the passes are queued to it
    QTimer m_retry;
    QTimer m_delay;
    bool m_running = false;
    bool m_pending = false;
    bool m_failing = false;
    std::function<void()> m_passHook;
};
