// The output device list from Qt Multimedia and the volume kept per device.
#include "sound/OutputDevices.h"

#include "audio/AudioErrors.h"

#include <QMediaDevices>

OutputDevices::OutputDevices(QObject* parent) : QObject(parent), m_media(new QMediaDevices(this)) {
    connect(m_media, &QMediaDevices::audioOutputsChanged, this, [this] { m_built = false; });
}

OutputDevices::~OutputDevices() = default;

void OutputDevices::build() {
    if (m_built)
        return;
    m_devices = QMediaDevices::audioOutputs();
    m_built = true;
}

int OutputDevices::count() {
    build();
    return static_cast<int>(m_devices.size());
}

OutputDeviceInfo OutputDevices::device(int index) {
    build();
    OutputDeviceInfo info;
    if (index < 0 || index >= m_devices.size())
        return info;
    const QAudioDevice& d = m_devices.at(index);
    info.id = d.id();
    info.name = d.description();
    info.isDefault = d.isDefault();
    return info;
}

int OutputDevices::playbackIndex() {
    build();
    const QByteArray wanted = qgetenv(kDeviceVariable);
    auto find = [this, &wanted] {
        for (int i = 0; !wanted.isEmpty() && i < m_devices.size(); ++i)
            if (m_devices.at(i).id() == wanted)
                return i;
        return -1;
    };
    int index = find();
    if (index < 0 && !wanted.isEmpty()) {
        // A device that appeared since the list was built.
        m_built = false;
        build();
        index = find();
    }
    if (index >= 0)
        return index;
    if (m_devices.isEmpty())
        return -1;
    for (int i = 0; i < m_devices.size(); ++i)
        if (m_devices.at(i).isDefault())
            return i;
    return 0;
}

QAudioDevice OutputDevices::playbackDevice() {
    const int index = playbackIndex();
    return index < 0 ? QAudioDevice() : m_devices.at(index);
}

void OutputDevices::setVolume(int index, int value) {
    const OutputDeviceInfo info = device(index);
    if (info.id.isEmpty() || !info.volumeControl || value < 0 || value > kMaxVolume)
        throw AudioDeviceOutError(QStringLiteral("This device does not support volume control."));
    if (m_volumes.value(info.id, -1) == value)
        return;
    m_volumes.insert(info.id, value);
    Q_EMIT volumeChanged(info.id);
}
