// What the "Volume level" and "Voice equalizer" windows share: the work file, Save, the preview, the gauge.
#include "postproc/gui/PostProcessingWindow.h"

#include "audio/AudioErrors.h"
#include "base/Prompter.h"
#include "postproc/OverviewDisplay.h"
#include "postproc/PreviewOutput.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// How often the preview is watched while it plays.
constexpr int kPreviewTimerMs = 200;

// The hourglass for as long as an operation runs, also when it raises.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

PostProcessingWindow::PostProcessingWindow(QWidget* parent) : QDialog(parent) {
    m_apply = new QPushButton(QStringLiteral("Apply"), this);
    m_apply->setObjectName(QStringLiteral("btnApply"));
    m_save = new QPushButton(QStringLiteral("Save"), this);
    m_save->setObjectName(QStringLiteral("btnSave"));
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("btnClose"));
    m_play = new QToolButton(this);
    m_play->setObjectName(QStringLiteral("tbPlay"));
    m_play->setText(QStringLiteral("Play"));
    m_play->setCheckable(true);
    m_stop = new QToolButton(this);
    m_stop->setObjectName(QStringLiteral("tbStop"));
    m_stop->setText(QStringLiteral("Stop"));
    m_gauge = new QProgressBar(this);
    m_gauge->setObjectName(QStringLiteral("Gauge1"));
    m_gauge->setRange(0, 100);
    m_gauge->setValue(0);
    m_gauge->hide();
    m_previewWatch.setObjectName(QStringLiteral("Timer1"));
    m_previewWatch.setInterval(kPreviewTimerMs);

    auto* previewButtons = new QHBoxLayout;
    previewButtons->addWidget(m_play);
    previewButtons->addWidget(m_stop);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_apply);
    buttons->addWidget(m_save);
    buttons->addLayout(previewButtons);
    buttons->addStretch();
    buttons->addWidget(m_close);
    m_controls = new QVBoxLayout;
    auto* top = new QHBoxLayout;
    top->addLayout(m_controls);
    top->addLayout(buttons);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(m_gauge);
    // A fixed-size dialog; the gauge takes its room only while it is shown.
    main->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_apply, &QPushButton::clicked, this, &PostProcessingWindow::applyClicked);
    connect(m_save, &QPushButton::clicked, this, &PostProcessingWindow::saveClicked);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_play, &QToolButton::clicked, this, &PostProcessingWindow::playClicked);
    connect(m_stop, &QToolButton::clicked, this, &PostProcessingWindow::stopClicked);
    connect(&m_previewWatch, &QTimer::timeout, this, &PostProcessingWindow::checkPreview);
}

PostProcessingWindow::~PostProcessingWindow() {
    if (m_play->isChecked() && previewActive())
        m_preview->stop();
}

void PostProcessingWindow::attach(Prompter& prompter, PreviewOutput& preview, OverviewDisplay* overview,
                                  const QString& workFilePath) {
    m_prompter = &prompter;
    m_session = std::make_unique<PostProcessingSession>(prompter, workFilePath);
    disconnect(m_previewEnded);
    disconnect(m_previewFailed);
    m_preview = &preview;
    m_previewEnded = connect(m_preview, &PreviewOutput::finished, this, &PostProcessingWindow::checkPreview);
    // Both windows share the preview; the one that is open says why it stopped.
    m_previewFailed = connect(m_preview, &PreviewOutput::failed, this, [this](const QString& text) {
        if (isVisible())
            m_prompter->message(text, Prompter::Icon::Error);
    });
    m_overview = overview;
}

bool PostProcessingWindow::previewActive() const {
    return m_preview && m_preview->active();
}

bool PostProcessingWindow::load(const QString& fileName) {
    if (!m_session || !m_session->open(fileName))
        return false;
    drawOverview();
    return true;
}

bool PostProcessingWindow::openRecording(const QString& fileName) {
    if (!load(fileName))
        return false;
    exec();
    return true;
}

void PostProcessingWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        resetControls();
    QDialog::showEvent(event);
}

void PostProcessingWindow::closeEvent(QCloseEvent* event) {
    if (m_applying) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void PostProcessingWindow::done(int result) {
    if (m_applying)
        return;
    if (previewActive()) {
        releasePlay();
        m_preview->stop();
    }
    m_previewWatch.stop();
    if (m_overview)
        m_overview->clearDisplay();
    if (m_session)
        m_session->close();
    QDialog::done(result);
}

void PostProcessingWindow::disableControls() {
    // The whole window but the gauge, which would be greyed out while it is the one thing that moves.
    m_disabled.clear();
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != m_gauge && child->isEnabled()) {
            child->setEnabled(false);
            m_disabled.append(child);
        }
    }
}

void PostProcessingWindow::restoreControls() {
    for (QWidget* child : std::as_const(m_disabled))
        child->setEnabled(true);
    m_disabled.clear();
}

void PostProcessingWindow::beginApply() {
    m_applying = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    disableControls();
    m_gauge->show();
}

void PostProcessingWindow::endApply() {
    drawOverview();
    m_gauge->hide();
    m_gauge->setValue(0);
    QApplication::restoreOverrideCursor();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    restoreControls();
    m_applying = false;
}

void PostProcessingWindow::showProgress(int percent) {
    m_gauge->setValue(percent);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void PostProcessingWindow::applyClicked() {
    if (m_applying || !m_session || !m_session->isOpen())
        return;
    beginApply();
    QString failure;
    try {
        failure = apply();
    } catch (const std::exception& error) {
        failure = QString::fromStdString(error.what());
    }
    endApply();
    if (failure.isEmpty())
        m_save->setEnabled(true);
    else
        m_prompter->message(failure, Prompter::Icon::Error);
}

void PostProcessingWindow::saveClicked() {
    if (m_applying || !m_session)
        return;
    bool saved = false;
    QString failure;
    {
        const BusyCursor busy;
        try {
            saved = m_session->save();
        } catch (const FileOpenError& error) {
            failure = error.text();
        }
    }
    if (saved) {
        m_save->setEnabled(false);
        Q_EMIT recordingSaved(m_session->recordingPath());
        return;
    }
    if (failure.isEmpty())
        failure =
            QStringLiteral("Error was created during ") + m_session->recordingPath() + QStringLiteral(" file saving");
    m_prompter->message(failure, Prompter::Icon::Error);
}

void PostProcessingWindow::playClicked() {
    if (!m_preview || !m_session) {
        m_play->setChecked(false);
        return;
    }
    // Play while playing starts again from the beginning.
    if (m_preview->active())
        m_preview->stop();
    m_play->setChecked(true);
    m_previewWatch.start();
    try {
        m_preview->play(m_session->samples());
    } catch (const std::exception& error) {
        releasePlay();
        m_prompter->message(QString::fromStdString(error.what()), Prompter::Icon::Error);
    }
}

void PostProcessingWindow::stopClicked() {
    if (m_preview)
        m_preview->stop();
}

void PostProcessingWindow::checkPreview() {
    if (!previewActive())
        releasePlay();
}

void PostProcessingWindow::releasePlay() {
    m_previewWatch.stop();
    m_play->setChecked(false);
}

void PostProcessingWindow::drawOverview() {
    if (m_overview && m_session)
        m_overview->drawOverview(m_session->samples());
}
