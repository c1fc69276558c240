// The "Settings" window: the settings dialog.
#pragma once

#include <QDialog>

/// Created once at start; its commands arrive with the work they do and are not reachable before.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget* parent = nullptr);
};
