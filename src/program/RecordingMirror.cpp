// The mirror folder's passes.
#include "program/RecordingMirror.h"

#include "base/Logger.h"
#include "library/BackupError.h"
#include "library/CatalogueSnapshot.h"
#include "library/MirrorTarget.h"

#include <QDir>

RecordingMirror::RecordingMirror(QString workDir, Logger& logger, QObject* parent)
    : QObject(parent), m_workDir(std::move(workDir)), m_logger(logger), m_worker(new QObject) {
    m_thread.setObjectName(QStringLiteral("RecordingMirror"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start(QThread::LowPriority);
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryIntervalMs);
    connect(&m_retry, &QTimer::timeout, this, &RecordingMirror::copy);
    m_delay.setSingleShot(true);
    m_delay.setInterval(kDelayMs);
    connect(&m_delay, &QTimer::timeout, this, &RecordingMirror::startPass);
}

RecordingMirror::~RecordingMirror() {
    m_thread.quit();
    m_thread.wait();
}

void RecordingMirror::setFolder(const QString& folder) {
    if (folder == m_folder)
        return;
    m_folder = folder;
    m_failing = false;
    m_retry.stop();
    copy();
}

void RecordingMirror::copy() {
    if (m_folder.isEmpty())
        return;
    m_pending = true;
    if (!m_running)
        m_delay.start();
}

void RecordingMirror::startPass() {
    if (m_running || m_folder.isEmpty())
        return;
    m_running = true;
    m_pending = false;
    m_retry.stop();
    const QString source = m_workDir;
    const QString mirror = m_folder;
    const std::function<void()> hook = m_passHook;
    QMetaObject::invokeMethod(m_worker, [this, source, mirror, hook] {
        if (hook)
            hook();
        QString error;
        try {
            MirrorTarget target(mirror);
            CatalogueSnapshot(source).writeTo(target);
        } catch (const BackupError& e) {
            error = e.message();
        }
        // Back on the thread of the program, where the log and the timer live.
        QMetaObject::invokeMethod(
            this, [this, error] { passDone(error); }, Qt::QueuedConnection);
    });
}

void RecordingMirror::passDone(const QString& error) {
    m_running = false;
    const QString where = QDir::toNativeSeparators(m_folder);
    if (!error.isEmpty()) {
        if (!m_failing)
            m_logger.add(QStringLiteral("Mirror folder %1 not updated, trying again later: %2").arg(where, error));
        m_failing = true;
        m_retry.start();
    } else {
        if (m_failing)
            m_logger.add(QStringLiteral("Mirror folder %1 is up to date again").arg(where));
        m_failing = false;
    }
    Q_EMIT passFinished(error);
    if (m_pending && !m_folder.isEmpty())
        m_delay.start();
}
