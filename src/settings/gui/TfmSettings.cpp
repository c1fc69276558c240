// The "Settings" window.
#include "settings/gui/TfmSettings.h"

TfmSettings::TfmSettings(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmSettings"));
    setWindowTitle(QStringLiteral("Settings"));
}
