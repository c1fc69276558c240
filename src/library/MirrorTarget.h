// The mirror folder: a second working folder kept up to date file by file.
#pragma once

#include "library/CatalogueSnapshot.h"

/// Copies only what is new or changed (a recording by its size and time, a catalogue file by its
/// bytes), each through a temporary file and a rename; the recordings before the tables that name
/// them, and a recording the catalogue no longer has is removed after the tables. So the mirror
/// is at every moment a working folder that opens, with a file for every row.
class MirrorTarget : public SnapshotTarget {
public:
    explicit MirrorTarget(QString folder) : m_folder(std::move(folder)) {}
    void begin() override;
    bool copyRecording(const QString& source, const SnapshotFile& file) override;
    void writeCatalogueFile(const SnapshotFile& file, const QByteArray& bytes) override;
    void finish(const QList<SnapshotFile>& recordings) override;

    /// Files written and removed by the last attempt.
    int changes() const { return m_changes; }

private:
    QString m_folder;
    int m_changes = 0;
};
