// Digits are taken by key code, so the row of digits and the keypad both count, whatever the layout.
#include "gui/DeveloperKeys.h"

#include <QKeyEvent>

int DeveloperKeys::digitOf(const QKeyEvent& event) {
    if ((event.modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier)
        return 0;
    switch (event.key()) {
    case Qt::Key_2:
        return 2;
    case Qt::Key_3:
        return 3;
    case Qt::Key_4:
        return 4;
    case Qt::Key_6:
        return 6;
    default:
        return 0;
    }
}

bool DeveloperKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    switch (digitOf(*static_cast<QKeyEvent*>(event))) {
    case 2:
        Q_EMIT loggerWindowRequested();
        return true;
    case 3:
        Q_EMIT queryModemWindowRequested();
        return true;
    case 4:
        Q_EMIT reprobeRequested();
        return true;
    case 6:
        Q_EMIT redirectionRequested();
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}
