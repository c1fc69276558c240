// The container that gives its tables a folder.
#pragma once

#include <QString>

class TableFolder {
public:
    QString folderPath() const { return m_path; }
    /// A non-empty path gets a trailing separator when it has none.
    void setDatabasePath(const QString& path) {
        m_path = path;
        if (!m_path.isEmpty() && !m_path.endsWith(QLatin1Char('/')) && !m_path.endsWith(QLatin1Char('\\')))
            m_path += QLatin1Char('/');
    }

private:
    QString m_path;
};
