// The "Volume level" window: raises or lowers a recording's volume.
#pragma once

#include <QDialog>

/// Created once at start; its commands arrive with the work they do and are not reachable before.
class VolumeLevelDialog : public QDialog {
    Q_OBJECT
public:
    explicit VolumeLevelDialog(QWidget* parent = nullptr);
};
