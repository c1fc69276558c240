// The text of the Query Modem window: modem replies, one reply line per text line.
#pragma once

#include <QObject>
#include <QStringList>

/// Probes put replies in here and read the lines back; in developer mode the developer edits the
/// text before a probe re-reads it. The window only shows this text.
class QueryModemBox : public QObject {
    Q_OBJECT
public:
    explicit QueryModemBox(QObject* parent = nullptr);

    const QStringList& lines() const { return m_lines; }
    void clear();
    /// Appends a reply; a reply of several lines (CR, LF or CR LF) becomes several lines.
    void addText(const QString& text);
    /// Replaces the whole text (the developer's edit).
    void setText(const QString& text);
    QString text() const { return m_lines.join(QLatin1Char('\n')); }

Q_SIGNALS:
    void changed();

private:
    QStringList m_lines;
};
