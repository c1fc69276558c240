// The "Voice equalizer" window: evens out the loudness of a recording's voice passages.
#pragma once

#include "postproc/gui/PostProcessingWindow.h"

/// No controls of its own: Apply raises every voice passage quieter than the average voice frame to
/// 1.3 times that average. Applying again equalizes the equalized samples.
class VoiceEqualizerDialog : public PostProcessingWindow {
    Q_OBJECT
public:
    explicit VoiceEqualizerDialog(QWidget* parent = nullptr);

    /// Shown when Apply finds no voice frame (nothing was changed).
    static QString noVoiceText();

protected:
    QString apply() override;
    void resetControls() override;
};
