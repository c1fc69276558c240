// The developer keys: Alt+2, Alt+3, Alt+4 and Alt+6 on the main window, its folder tree and its list.
#pragma once

#include <QObject>

class QKeyEvent;

/// Watches the widgets it is installed on; only a program started with "ONIDE" installs it.
class DeveloperKeys : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    /// The key's digit when exactly Alt is held and the key is 2, 3, 4 or 6; otherwise 0.
    static int digitOf(const QKeyEvent& event);

Q_SIGNALS:
    void loggerWindowRequested();
    void queryModemWindowRequested();
    void reprobeRequested();
    void redirectionRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
