// The "Voice equalizer" window.
#include "postproc/gui/TfmVoEqzer.h"

TfmVoEqzer::TfmVoEqzer(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmVoEqzer"));
    setWindowTitle(QStringLiteral("Voice equalizer"));
}
