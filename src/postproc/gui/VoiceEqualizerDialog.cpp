// The "Voice equalizer" window.
#include "postproc/gui/VoiceEqualizerDialog.h"

#include <QPushButton>

VoiceEqualizerDialog::VoiceEqualizerDialog(QWidget* parent) : PostProcessingWindow(parent) {
    setObjectName(QStringLiteral("fmVoEqzer"));
    setWindowTitle(QStringLiteral("Voice equalizer"));
}

QString VoiceEqualizerDialog::noVoiceText() {
    return QStringLiteral("No voice was found in this recording, so there is nothing to equalize. "
                          "The recording was not changed.");
}

void VoiceEqualizerDialog::resetControls() {
    m_apply->setEnabled(true);
    m_save->setEnabled(false);
}

QString VoiceEqualizerDialog::apply() {
    const VoiceEqualizer::Result result = m_session->equalize([this](int percent) { showProgress(percent); });
    return result.noVoice() ? noVoiceText() : QString();
}
