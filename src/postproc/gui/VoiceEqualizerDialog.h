// The "Voice equalizer" window: evens out the loudness of a recording's voice passages.
#pragma once

#include <QDialog>

/// Created once at start; its commands arrive with the work they do and are not reachable before.
class VoiceEqualizerDialog : public QDialog {
    Q_OBJECT
public:
    explicit VoiceEqualizerDialog(QWidget* parent = nullptr);
};
