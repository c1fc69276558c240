// One running copy per user and working folder.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

/// The first copy listens on a local socket named after the user and the working folder; a later
/// copy finds it there, asks it to come forward and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    /// What a second copy says before it ends.
    static constexpr const char* kAlreadyLoaded =
        "TVK already loaded Maybe minimized on the taskbar (lower right side)";

    explicit SingleInstance(const QString& workDir, QObject* parent = nullptr);
    ~SingleInstance() override;

    /// True when another copy answered and was asked to come forward.
    bool notifyRunningCopy(int timeoutMs = 1000);
    /// Starts listening; false when the socket could not be made (the program then runs without the check).
    bool listen();

    static QString serverName(const QString& workDir);

Q_SIGNALS:
    /// A second copy asked this one to come forward.
    void raiseRequested();

private:
    QString m_name;
    QLocalServer* m_server = nullptr;
};
