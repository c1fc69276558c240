// The program's one running trace of the modem dialogue and the user's main actions.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

/// The event log: an ordered list of lines for the run, shown by the logger window and written to
/// Events.log. Lines carry no time stamp; lines recording a user's command begin with "-- ".
class Logger : public QObject {
    Q_OBJECT
public:
    /// A long unattended run (a recorder on a home server) would otherwise grow without end: past this
    /// many lines the oldest are dropped and a single marker line stands in for them.
    static constexpr qsizetype kMaxLines = 200000;

    explicit Logger(QObject* parent = nullptr);

    /// Appends one line. Never fails, never blocks.
    void add(const QString& line);
    QStringList lines() const;
    qsizetype droppedLines() const { return m_dropped; }

    /// Replaces `path` with all lines, each ended by CR LF. Returns false when the file system refuses.
    bool writeEventLog(const QString& path) const;

Q_SIGNALS:
    void appended(const QString& line);

private:
    QStringList m_lines;
    qsizetype m_dropped = 0;
};
