// The event log and its file.
#include "base/Logger.h"

#include <QSaveFile>

Logger::Logger(QObject* parent) : QObject(parent) {}

void Logger::add(const QString& line) {
    if (m_lines.size() >= kMaxLines) {
        // Drop a tenth at once so trimming stays rare on a long run.
        const qsizetype drop = kMaxLines / 10;
        m_lines.remove(0, drop);
        m_dropped += drop;
    }
    m_lines.append(line);
    Q_EMIT appended(line);
}

QStringList Logger::lines() const {
    if (m_dropped == 0)
        return m_lines;
    QStringList all;
    all.reserve(m_lines.size() + 1);
    all.append(QStringLiteral("(%1 earlier lines dropped)").arg(m_dropped));
    all.append(m_lines);
    return all;
}

bool Logger::writeEventLog(const QString& path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray text;
    for (const QString& line : lines()) {
        text += line.toUtf8();
        text += "\r\n";
    }
    if (file.write(text) != text.size())
        return false;
    return file.commit();
}
