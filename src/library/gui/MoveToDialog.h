// The "Move" window: the folder picker of the move command.
#pragma once

#include <QDialog>

/// Created once at start; its commands arrive with the work they do and are not reachable before.
class MoveToDialog : public QDialog {
    Q_OBJECT
public:
    explicit MoveToDialog(QWidget* parent = nullptr);
};
