// The "Query Modem" window: the developer's modem query window.
#pragma once

#include <QDialog>

/// Created once at start; its commands arrive with the work they do and are not reachable before.
class TfmQueryModem : public QDialog {
    Q_OBJECT
public:
    explicit TfmQueryModem(QWidget* parent = nullptr);
};
