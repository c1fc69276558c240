// The "Volume level" window: raises or lowers a recording's volume.
#pragma once

#include "postproc/gui/PostProcessingWindow.h"

class QLabel;
class QSlider;

/// A vertical slider from -50 to 100 percent; each Apply multiplies the work file's distance from
/// the mid level by 1 + percent / 100, so gains accumulate.
class VolumeLevelDialog : public PostProcessingWindow {
    Q_OBJECT
public:
    explicit VolumeLevelDialog(QWidget* parent = nullptr);

protected:
    QString apply() override;
    void resetControls() override;

private:
    QSlider* m_slider; ///< trb
    QLabel* m_label;   ///< Label1
};
