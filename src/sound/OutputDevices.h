// The sound output devices in the system's order, with a playback volume per device.
#pragma once

#include <QAudioDevice>
#include <QHash>
#include <QList>
#include <QObject>

class QMediaDevices;

struct OutputDeviceInfo {
    QByteArray id;
    QString name;
    /// Every device takes a volume here: the wave outputs opened on it scale their sound.
    bool volumeControl = true;
    bool isDefault = false;
};

/// Built on first use and again after the system's device list changed. The volume of a device
/// applies to every wave output opened on it (there is no system-wide volume per device to set, so
/// the sound Orlamo plays is scaled instead; other programs are not affected).
class OutputDevices : public QObject {
    Q_OBJECT
public:
    /// Names the device playback uses instead of the system's default output (tests, headless setups).
    static constexpr const char* kDeviceVariable = "ORLAMO_OUTPUT_DEVICE";
    static constexpr int kMaxVolume = 65535;

    explicit OutputDevices(QObject* parent = nullptr);
    ~OutputDevices() override;

    int count();
    OutputDeviceInfo device(int index);
    /// The device of the playback: ORLAMO_OUTPUT_DEVICE when it names a device, else the system's
    /// default output, else the first device; -1 when there is none.
    int playbackIndex();
    QAudioDevice playbackDevice();

    /// 0 to 65535, the same on both channels. AudioDeviceOutError "This device does not support volume
    /// control." for a device without volume control, one that does not exist, or a value out of range.
    void setVolume(int index, int value);
    /// 0 to 65535; full volume for a device never set.
    int volume(const QByteArray& id) const { return m_volumes.value(id, kMaxVolume); }
    /// The linear gain a wave output on this device applies.
    double volumeOf(const QByteArray& id) const { return static_cast<double>(volume(id)) / kMaxVolume; }

Q_SIGNALS:
    void volumeChanged(const QByteArray& id);

private:
    void build();

    QMediaDevices* m_media = nullptr;
    QList<QAudioDevice> m_devices;
    bool m_built = false;
    QHash<QByteArray, int> m_volumes;
};
