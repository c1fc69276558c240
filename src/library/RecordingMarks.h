// The recordings the user has marked in the list: their Id texts, in marking order, each once.
#pragma once

#include <QSet>
#include <QStringList>

/// The delete, move, copy and e-mail commands work on these when there are any, else on the
/// current row.
class RecordingMarks {
public:
    const QStringList& ids() const { return m_ids; }
    bool isEmpty() const { return m_ids.isEmpty(); }
    qsizetype size() const { return m_ids.size(); }
    bool contains(const QString& id) const { return m_set.contains(id); }

    /// Adds `id` unless it is marked already.
    void add(const QString& id);
    /// Adds `id` when absent, removes it when present.
    void toggle(const QString& id);
    void clear();

private:
    QStringList m_ids;
    QSet<QString> m_set;
};
