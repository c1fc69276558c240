// The "Modem initialization" window: modem discovery, identification and profile writing.
#pragma once

#include <QDialog>

/// Created once at start; its commands arrive with the work they do and are not reachable before.
class TSpecModemForm : public QDialog {
    Q_OBJECT
public:
    explicit TSpecModemForm(QWidget* parent = nullptr);
};
