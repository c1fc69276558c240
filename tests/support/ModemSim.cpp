// The modemsim harness for tests.
#include "ModemSim.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcessEnvironment>

ModemSim::ModemSim(QStringList extraArgs) : m_extraArgs(std::move(extraArgs)) {
    // The simulator's complaints about bad control lines show up in the test's output.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

ModemSim::~ModemSim() {
    stop();
}

bool ModemSim::writeFirstStartConfig(const QString& iniPath, const QByteArray& more) const {
    QFile ini(iniPath);
    if (!ini.open(QIODevice::WriteOnly))
        return false;
    QByteArray text = "[Ports]\r\nCom1=" + linkPath().toUtf8() + "\r\n";
    for (int n = 2; n <= 8; ++n)
        text += "Com" + QByteArray::number(n) + "=\r\n";
    return ini.write(text + more) == text.size() + more.size();
}

QString ModemSim::linkPath() const {
    return m_dir.filePath(QStringLiteral("modem"));
}

QString ModemSim::device() const {
    return m_device;
}

bool ModemSim::start(int timeoutMs) {
    if (!m_dir.isValid())
        return false;
    QString binDir = qEnvironmentVariable("ORLAMO_BIN_DIR");
    if (binDir.isEmpty())
        binDir = QStringLiteral(".");
    QStringList args{QStringLiteral("--link"), linkPath()};
    args += m_extraArgs;
    // MODEMSIM_LOG=FILE keeps the dialogue of a failing test (each simulator appends to the file).
    const QString dialogue = qEnvironmentVariable("MODEMSIM_LOG");
    if (!dialogue.isEmpty())
        args << QStringLiteral("--log") << dialogue;
    m_process.start(QDir(binDir).filePath(QStringLiteral("modemsim")), args);
    if (!m_process.waitForStarted(timeoutMs))
        return false;
    return readUntil(true, timeoutMs);
}

bool ModemSim::readUntil(bool wantDevice, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (wantDevice && m_newDevice) {
            m_newDevice = false;
            return true;
        }
        m_pending += m_process.readAllStandardOutput();
        const qsizetype eol = m_pending.indexOf('\n');
        if (eol >= 0) {
            const QByteArray line = m_pending.left(eol).trimmed();
            m_pending.remove(0, eol + 1);
            if (line.startsWith("modemsim: /")) {
                m_device = QString::fromUtf8(line.mid(10));
                m_newDevice = true;
            } else if (!wantDevice && line == "modemsim: done") {
                return true;
            }
            continue;
        }
        if (m_process.state() != QProcess::Running || deadline.hasExpired())
            return false;
        m_process.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
    }
}

bool ModemSim::waitForDevice(int timeoutMs) {
    return readUntil(true, timeoutMs);
}

bool ModemSim::command(const QString& line, int timeoutMs) {
    if (m_process.state() != QProcess::Running)
        return false;
    m_process.write(line.toUtf8() + '\n');
    m_process.waitForBytesWritten(timeoutMs);
    if (line.trimmed() == QLatin1String("quit"))
        return true;
    return readUntil(false, timeoutMs);
}

void ModemSim::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    command(QStringLiteral("quit"));
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}
