// The free space of the working folder's disk, against the floor below which recordings end.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

/// Looks at the free space every few seconds. Falling below the floor and coming back above it are
/// each said once (`lowChanged`); below the floor `floorReached` is emitted at every look, so a
/// recording in progress can be ended before the disk is full. Tests give it their own free space.
///
///     DiskSpaceWatch watch(workDir);
///     watch.setBytesPerSecond(format.avgBytesPerSec());
///     connect(&watch, &DiskSpaceWatch::lowChanged, &logger, &Logger::add);
///     watch.start();
class DiskSpaceWatch : public QObject {
    Q_OBJECT
public:
    using FreeBytes = std::function<qint64(const QString& folder)>;
    static constexpr qint64 kMegabyte = 1024 * 1024;
    static constexpr qint64 kMinimumFloor = 500 * kMegabyte;
    static constexpr int kIntervalMs = 5000;

    explicit DiskSpaceWatch(QString folder, QObject* parent = nullptr);

    /// Where the free bytes come from; by default QStorageInfo of the folder (-1 when unknown).
    void setFreeBytesSource(FreeBytes source) { m_freeBytes = std::move(source); }
    static qint64 systemFreeBytes(const QString& folder);

    /// The chosen file format's bytes per second, for the default floor and the hours left.
    void setBytesPerSecond(qint64 bytesPerSecond) { m_bytesPerSecond = bytesPerSecond; }
    /// The floor in megabytes; 0 is the default: the larger of 500 MB and one hour of the format.
    void setFloorMegabytes(int megabytes) { m_floorMegabytes = megabytes; }
    qint64 floorBytes() const;

    /// Looks now, then every kIntervalMs.
    void start();
    void check();

    /// The free bytes at the last look; -1 when the disk could not be asked.
    qint64 freeBytes() const { return m_free; }
    bool low() const { return m_low; }
    /// Hours of recording in the chosen format until the floor; -1 when unknown.
    double hoursLeft() const;
    /// "12.5 hours of recording left (3.1 GB free)", or "Free space unknown".
    QString summary() const;
    /// While below the floor, the words `lowChanged` said; else empty.
    QString warning() const;

Q_SIGNALS:
    /// Once when the space falls below the floor, once when it is back; `message` says so in words.
    void lowChanged(bool low, const QString& message);
    /// At each look that finds the space below the floor.
    void floorReached();
    /// After each look, for the displays of the free space.
    void checked();

private:
    QString m_folder;
    FreeBytes m_freeBytes;
    qint64 m_bytesPerSecond = 8000;
    int m_floorMegabytes = 0;
    qint64 m_free = -1;
    bool m_low = false;
    QTimer m_timer;
};
