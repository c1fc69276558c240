// The "Voice equalizer" window.
#include "postproc/gui/VoiceEqualizerDialog.h"

VoiceEqualizerDialog::VoiceEqualizerDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmVoEqzer"));
    setWindowTitle(QStringLiteral("Voice equalizer"));
}
