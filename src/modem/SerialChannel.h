// The serial port channel to the modem: line settings, transmit queue and data notifications.
#pragma once

#include "settings/SerialLine.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QThread>
#include <array>
#include <functional>
#include <memory>

class QSerialPort;

/// One serial channel. All calls are made on the thread that created it (the user-interface
/// thread); a reader thread of its own owns the device, so bytes keep arriving while that thread is
/// busy and are announced by `bytesAvailable` when it comes back to its event loop.
///
/// Notification contract: a handler of `bytesAvailable(count)` reads exactly `count` bytes with
/// `readByte`. Bytes that arrive meanwhile come in a later notification, none lost and none twice.
/// A handler that has read its bytes may run a nested event loop (a command exchange); further
/// notifications are then delivered inside that loop, still in arrival order.
class SerialChannel : public QObject {
    Q_OBJECT
public:
    using FlowControl = SerialLine::FlowControl;

    /// Transmit and receive buffer size of the line, and what `outputRoom` reports when closed.
    static constexpr int kBufferSize = 4096;
    /// The largest count a single notification announces.
    static constexpr int kMaxNotification = 65535;
    /// Bytes the reader thread holds for a busy user-interface thread: 4 MiB, over four minutes of
    /// 8-bit audio at 8000 Hz (two of 16-bit). Bytes beyond are dropped and counted in `overrunBytes`.
    static constexpr qsizetype kMaxHeld = 4 * 1024 * 1024;

    explicit SerialChannel(QObject* parent = nullptr);
    ~SerialChannel() override;

    void setComNumber(int number) { m_comNumber = number; }
    int comNumber() const { return m_comNumber; }
    /// The device the port number stands for (PortMap).
    void setDevice(const QString& device) { m_device = device; }
    QString device() const { return m_device; }
    void setBaud(int baud) { m_baud = baud; }
    int baud() const { return m_baud; }
    void setFlowControl(FlowControl flow) { m_flow = flow; }
    FlowControl flowControl() const { return m_flow; }

    /// Opens the device with 8N1, the speed and flow control set, DTR and RTS raised. On success
    /// `opened` has been delivered when it returns; on failure `errorString` says why and no
    /// notification comes.
    bool openChannel();
    /// Closes the device; `closed` has been delivered when it returns. Unread bytes are dropped.
    bool closeChannel();
    bool isOpen() const { return m_open; }
    QString errorString() const { return m_error; }

    /// Room left in the transmit buffer; `kBufferSize` when closed.
    quint16 outputRoom() const;
    void sendText(const QByteArray& bytes);
    void sendByte(char byte);
    /// Drops every received byte not read yet, in the system's buffer and in the channel's own, and
    /// returns them, oldest first (the events among them may matter).
    QByteArray discardInput();
    /// The next received byte; only valid for the bytes announced by the notification being handled.
    char readByte();

    /// Received bytes held and not yet read (announced or not).
    qsizetype bytesHeld() const;
    /// Bytes dropped because the user-interface thread left more than `kMaxHeld` unread.
    qsizetype overrunBytes() const;

Q_SIGNALS:
    void opened();
    void closed();
    void bytesAvailable(int count);

private:
    struct Shared;

    void runInReader(const std::function<void()>& work);
    void setUpReader();
    bool openInReader(QString& error);
    void readInReader();
    void deliver();
    void deviceLost(const QString& reason);
    /// Forgets what was received and queued, and says the channel is closed.
    void markClosed();

    int m_comNumber = 0;
    QString m_device;
    int m_baud = 115200;
    FlowControl m_flow = FlowControl::Hardware;
    bool m_open = false;
    QString m_error;
    int m_allowance = 0; ///< bytes the current notification's handler may still read

    std::unique_ptr<Shared> m_shared;
    QThread m_reader;
    QObject* m_readerContext = nullptr; ///< lives in the reader thread
    QSerialPort* m_serial = nullptr;    ///< lives in the reader thread
};
