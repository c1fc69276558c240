// The "Volume level" window.
#include "postproc/gui/VolumeLevelDialog.h"

#include "postproc/VolumeLevel.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace {
constexpr int kTickPercent = 10;
constexpr int kScaleLabelPercent = 25;

QString percentText(int percent) {
    return QString::number(percent) + QLatin1Char('%');
}
} // namespace

VolumeLevelDialog::VolumeLevelDialog(QWidget* parent) : PostProcessingWindow(parent) {
    setObjectName(QStringLiteral("fmVolLevel"));
    setWindowTitle(QStringLiteral("Volume level"));
    m_slider = new QSlider(Qt::Vertical, this);
    m_slider->setObjectName(QStringLiteral("trb"));
    m_slider->setAccessibleName(QStringLiteral("Volume level"));
    m_slider->setAccessibleDescription(QStringLiteral("Percent louder or quieter, from -50 to 100"));
    m_slider->setRange(VolumeLevel::kMinPercent, VolumeLevel::kMaxPercent);
    m_slider->setTickInterval(kTickPercent);
    m_slider->setTickPosition(QSlider::TicksRight);
    m_slider->setPageStep(kTickPercent);
    m_label = new QLabel(percentText(0), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setTextFormat(Qt::PlainText);

    // The scale beside the slider: one label every 25 percent, the highest at the top.
    auto* scale = new QGridLayout;
    const int rows = (VolumeLevel::kMaxPercent - VolumeLevel::kMinPercent) / kScaleLabelPercent;
    scale->addWidget(m_slider, 0, 0, rows + 1, 1);
    for (int row = 0; row <= rows; ++row) {
        auto* mark = new QLabel(
            QString::number(VolumeLevel::kMaxPercent - row * kScaleLabelPercent) + QStringLiteral(" %"), this);
        const Qt::Alignment edge = row == 0 ? Qt::AlignTop : row == rows ? Qt::AlignBottom : Qt::AlignVCenter;
        scale->addWidget(mark, row, 1, edge | Qt::AlignLeft);
    }
    m_slider->setMinimumHeight(rows * 2 * fontMetrics().height());
    controlsLayout()->addLayout(scale);
    controlsLayout()->addWidget(m_label, 0, Qt::AlignHCenter);

    connect(m_slider, &QSlider::valueChanged, this, [this](int position) {
        m_label->setText(percentText(position));
        m_apply->setEnabled(true);
    });
}

void VolumeLevelDialog::resetControls() {
    m_slider->setValue(0);
    m_label->setText(percentText(0));
    m_apply->setEnabled(false);
    m_save->setEnabled(false);
}

QString VolumeLevelDialog::apply() {
    m_session->applyGain(m_slider->value(), [this](int percent) { showProgress(percent); });
    return {};
}
