// Free space of the working folder: the floor, the hours left, and the low-space announcements.
#include "recorder/DiskSpaceWatch.h"

#include <QStorageInfo>

namespace {

QString sizeText(qint64 bytes) {
    if (bytes >= 1024 * DiskSpaceWatch::kMegabyte)
        return QStringLiteral("%1 GB").arg(double(bytes) / double(1024 * DiskSpaceWatch::kMegabyte), 0, 'f', 1);
    return QStringLiteral("%1 MB").arg(bytes / DiskSpaceWatch::kMegabyte);
}

} // namespace

DiskSpaceWatch::DiskSpaceWatch(QString folder, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)), m_freeBytes(&DiskSpaceWatch::systemFreeBytes) {
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &DiskSpaceWatch::check);
}

qint64 DiskSpaceWatch::systemFreeBytes(const QString& folder) {
    const QStorageInfo storage(folder);
    return storage.isValid() && storage.isReady() ? storage.bytesAvailable() : -1;
}

qint64 DiskSpaceWatch::floorBytes() const {
    if (m_floorMegabytes > 0)
        return qint64(m_floorMegabytes) * kMegabyte;
    return qMax(kMinimumFloor, 3600 * m_bytesPerSecond);
}

void DiskSpaceWatch::start() {
    check();
    m_timer.start();
}

void DiskSpaceWatch::check() {
    m_free = m_freeBytes(m_folder);
    // A disk that cannot be asked is not said to be full: that would end calls for no reason.
    const bool low = m_free >= 0 && m_free < floorBytes();
    if (low != m_low) {
        m_low = low;
        Q_EMIT lowChanged(low, low ? warning() : QStringLiteral("Disk space is back: %1 free").arg(sizeText(m_free)));
    }
    if (low)
        Q_EMIT floorReached();
    Q_EMIT checked();
}

QString DiskSpaceWatch::warning() const {
    if (!m_low)
        return {};
    return QStringLiteral("Disk space low: %1 free, below the floor of %2; recordings end at the floor")
        .arg(sizeText(m_free), sizeText(floorBytes()));
}

double DiskSpaceWatch::hoursLeft() const {
    if (m_free < 0 || m_bytesPerSecond <= 0)
        return -1;
    // Recording ends at the floor: only what lies above it can be recorded.
    return double(qMax<qint64>(0, m_free - floorBytes())) / double(m_bytesPerSecond) / 3600.0;
}

QString DiskSpaceWatch::summary() const {
    if (m_free < 0)
        return QStringLiteral("Free space unknown");
    return QStringLiteral("%1 hours of recording left (%2 free)").arg(hoursLeft(), 0, 'f', 1).arg(sizeText(m_free));
}
