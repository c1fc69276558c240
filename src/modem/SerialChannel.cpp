// The serial channel: a reader thread owns the device, the user-interface thread reads and sends.
#include "modem/SerialChannel.h"

#include <QFileInfo>

#include <QMutex>
#include <QMutexLocker>
#include <QSerialPort>
#include <QtDebug>
#include <algorithm>

struct SerialChannel::Shared {
    mutable QMutex mutex;
    QByteArray received;   ///< bytes from the device not yet read, from `readPos` on
    qsizetype readPos = 0; ///< first unread byte of `received`
    qint64 txPending = 0;  ///< bytes handed to the reader thread and not yet written to the device
    bool posted = false;   ///< a delivery is queued for the user-interface thread
    qsizetype overrun = 0; ///< bytes dropped for lack of room
    qsizetype held() const { return received.size() - readPos; }
};

SerialChannel::SerialChannel(QObject* parent) : QObject(parent), m_shared(std::make_unique<Shared>()) {
    m_reader.setObjectName(QStringLiteral("ComPort reader"));
    m_readerContext = new QObject;
    m_readerContext->moveToThread(&m_reader);
    m_reader.start();
    runInReader([this] { setUpReader(); });
}

SerialChannel::~SerialChannel() {
    runInReader([this] {
        delete m_serial;
        m_serial = nullptr;
    });
    m_reader.quit();
    m_reader.wait();
    delete m_readerContext;
}

void SerialChannel::runInReader(const std::function<void()>& work) {
    QMetaObject::invokeMethod(m_readerContext, work, Qt::BlockingQueuedConnection);
}

// Runs in the reader thread: the device object and its notifications belong to it.
void SerialChannel::setUpReader() {
    m_serial = new QSerialPort(m_readerContext);
    m_serial->setReadBufferSize(0);
    connect(m_serial, &QSerialPort::readyRead, m_readerContext, [this] { readInReader(); });
    connect(m_serial, &QSerialPort::bytesWritten, m_readerContext, [this](qint64 written) {
        QMutexLocker lock(&m_shared->mutex);
        m_shared->txPending = std::max<qint64>(0, m_shared->txPending - written);
    });
    connect(m_serial, &QSerialPort::errorOccurred, m_readerContext, [this](QSerialPort::SerialPortError error) {
        // A USB modem pulled out, or the far side of a pseudo-terminal gone: the device is lost.
        if (!m_serial->isOpen())
            return;
        if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError && error != QSerialPort::WriteError)
            return;
        // A read or write that came back empty is reported with whatever errno was left behind (often
        // the refused DTR ioctl of a pseudo-terminal); only a device that is gone from the system is lost.
        if (error != QSerialPort::ResourceError && QFileInfo::exists(m_device)) {
            m_serial->clearError();
            return;
        }
        const QString reason = m_serial->errorString();
        m_serial->close();
        QMetaObject::invokeMethod(
            this, [this, reason] { deviceLost(reason); }, Qt::QueuedConnection);
    });
}

bool SerialChannel::openInReader(QString& error) {
    m_serial->setPortName(m_device);
    if (!m_serial->open(QIODevice::ReadWrite)) {
        error = m_serial->errorString();
        // The lock of a device another program has open is reported as a permission error; a device
        // this user may open says which it is.
        const QFileInfo device(m_device);
        if (m_serial->error() == QSerialPort::PermissionError && device.isReadable() && device.isWritable())
            error = QStringLiteral("the device is in use by another program (it holds the device's lock)");
        return false;
    }
    const bool lineSet = m_serial->setBaudRate(m_baud) && m_serial->setDataBits(QSerialPort::Data8) &&
                         m_serial->setParity(QSerialPort::NoParity) && m_serial->setStopBits(QSerialPort::OneStop);
    QSerialPort::FlowControl flow = QSerialPort::NoFlowControl;
    if (m_flow == FlowControl::Hardware)
        flow = QSerialPort::HardwareControl;
    else if (m_flow == FlowControl::Software)
        flow = QSerialPort::SoftwareControl;
    if (!lineSet || !m_serial->setFlowControl(flow)) {
        error = QStringLiteral("line settings refused: ") + m_serial->errorString();
        m_serial->close();
        return false;
    }
    // A pseudo-terminal has no modem control lines and refuses these with "Inappropriate ioctl for
    // device"; that leaves a usable channel. Under RTS/CTS handshake the driver owns RTS.
    m_serial->setDataTerminalReady(true);
    if (m_flow != FlowControl::Hardware)
        m_serial->setRequestToSend(true);
    m_serial->clearError();
    m_serial->clear(QSerialPort::AllDirections);
    QMutexLocker lock(&m_shared->mutex);
    m_shared->received.clear();
    m_shared->readPos = 0;
    m_shared->txPending = 0;
    return true;
}

void SerialChannel::readInReader() {
    const QByteArray bytes = m_serial->readAll();
    if (bytes.isEmpty())
        return;
    QMutexLocker lock(&m_shared->mutex);
    Shared& s = *m_shared;
    const qsizetype room = std::max<qsizetype>(0, kMaxHeld - s.held());
    if (bytes.size() > room) {
        s.overrun += bytes.size() - room;
        s.received.append(bytes.constData(), room);
    } else {
        s.received.append(bytes);
    }
    if (!s.posted && s.held() > 0) {
        s.posted = true;
        QMetaObject::invokeMethod(
            this, [this] { deliver(); }, Qt::QueuedConnection);
    }
}

bool SerialChannel::openChannel() {
    if (m_open) {
        m_error = QStringLiteral("the channel is already open");
        return false;
    }
    if (m_device.isEmpty()) {
        m_error = QStringLiteral("no device is configured for this port");
        return false;
    }
    bool done = false;
    QString error;
    runInReader([&] { done = openInReader(error); });
    if (!done) {
        m_error = error;
        return false;
    }
    m_error.clear();
    m_open = true;
    m_allowance = 0;
    Q_EMIT opened();
    return true;
}

bool SerialChannel::closeChannel() {
    if (!m_open)
        return true;
    runInReader([this] { m_serial->close(); });
    markClosed();
    return true;
}

void SerialChannel::markClosed() {
    {
        QMutexLocker lock(&m_shared->mutex);
        m_shared->received.clear();
        m_shared->readPos = 0;
        m_shared->txPending = 0;
    }
    m_open = false;
    m_allowance = 0;
    Q_EMIT closed();
}

void SerialChannel::deviceLost(const QString& reason) {
    if (!m_open)
        return;
    m_error = reason;
    markClosed();
}

quint16 SerialChannel::outputRoom() const {
    if (!m_open)
        return kBufferSize;
    QMutexLocker lock(&m_shared->mutex);
    return static_cast<quint16>(kBufferSize - std::min<qint64>(m_shared->txPending, kBufferSize));
}

void SerialChannel::sendText(const QByteArray& bytes) {
    if (!m_open || bytes.isEmpty())
        return;
    {
        QMutexLocker lock(&m_shared->mutex);
        m_shared->txPending += bytes.size();
    }
    QMetaObject::invokeMethod(
        m_readerContext,
        [this, bytes] {
            if (m_serial->isOpen())
                m_serial->write(bytes);
        },
        Qt::QueuedConnection);
}

void SerialChannel::sendByte(char byte) {
    sendText(QByteArray(1, byte));
}

QByteArray SerialChannel::discardInput() {
    m_allowance = 0;
    if (!m_open)
        return {};
    QByteArray dropped;
    // In the reader thread, so nothing it read before is appended afterwards.
    runInReader([this, &dropped] {
        // Read out, not flushed: what the system holds may be events (the digits of a number being
        // dialled) that the caller still takes from the dropped bytes. Each read lands in the
        // channel's own buffer (readInReader), which is emptied below.
        // A modem that streams at line speed never leaves nothing to read: a few reads take what
        // was there when the discard began.
        if (m_serial->isOpen()) {
            for (int read = 0; read < 8 && m_serial->waitForReadyRead(0); ++read) {
            }
            readInReader();
        }
        QMutexLocker lock(&m_shared->mutex);
        dropped = m_shared->received.mid(m_shared->readPos);
        m_shared->received.clear();
        m_shared->readPos = 0;
    });
    return dropped;
}

char SerialChannel::readByte() {
    if (m_allowance <= 0) {
        qWarning("SerialChannel::readByte: read beyond the count announced by the data notification");
        return 0;
    }
    QMutexLocker lock(&m_shared->mutex);
    Shared& s = *m_shared;
    if (s.held() == 0) {
        m_allowance = 0;
        return 0;
    }
    --m_allowance;
    const char byte = s.received.at(s.readPos++);
    if (s.readPos == s.received.size()) {
        s.received.clear();
        s.readPos = 0;
    } else if (s.readPos >= 65536) {
        s.received.remove(0, s.readPos);
        s.readPos = 0;
    }
    return byte;
}

qsizetype SerialChannel::bytesHeld() const {
    QMutexLocker lock(&m_shared->mutex);
    return m_shared->held();
}

qsizetype SerialChannel::overrunBytes() const {
    QMutexLocker lock(&m_shared->mutex);
    return m_shared->overrun;
}

void SerialChannel::deliver() {
    qsizetype held = 0;
    {
        QMutexLocker lock(&m_shared->mutex);
        m_shared->posted = false;
        held = m_shared->held();
    }
    // A handler still holding unread announced bytes: the rest comes after it returns, so the
    // order of the bytes is kept.
    if (!m_open || m_allowance > 0 || held == 0)
        return;
    const int count = static_cast<int>(std::min<qsizetype>(held, kMaxNotification));
    m_allowance = count;
    Q_EMIT bytesAvailable(count);
    // Bytes the handler left unread stay first in line and are announced with the next arrival.
    const int unread = m_allowance;
    m_allowance = 0;
    QMutexLocker lock(&m_shared->mutex);
    if (m_open && m_shared->held() > unread && !m_shared->posted) {
        m_shared->posted = true;
        QMetaObject::invokeMethod(
            this, [this] { deliver(); }, Qt::QueuedConnection);
    }
}
