// Marks keep their order for the commands and a set for the list's painting, which asks row by row.
#include "library/RecordingMarks.h"

void RecordingMarks::add(const QString& id) {
    if (m_set.contains(id))
        return;
    m_set.insert(id);
    m_ids.append(id);
}

void RecordingMarks::toggle(const QString& id) {
    if (m_set.remove(id))
        m_ids.removeOne(id);
    else
        add(id);
}

void RecordingMarks::clear() {
    m_ids.clear();
    m_set.clear();
}
