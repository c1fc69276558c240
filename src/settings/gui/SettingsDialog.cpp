// The "Settings" window.
#include "settings/gui/SettingsDialog.h"

SettingsDialog::SettingsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmSettings"));
    setWindowTitle(QStringLiteral("Settings"));
}
