// What the "Volume level" and "Voice equalizer" windows share: the work file, Save, the preview, the gauge.
#pragma once

#include "postproc/PostProcessingSession.h"

#include <QDialog>
#include <QTimer>
#include <memory>

class OverviewDisplay;
class PreviewOutput;
class Prompter;
class QBoxLayout;
class QProgressBar;
class QPushButton;
class QToolButton;

/// A fixed-size dialog on a recording decoded into the work file. Subclasses add their controls to
/// controlsLayout() and implement apply(). The window is created once at start; what it works with is
/// attached once afterwards, and each menu command opens it on a recording:
///
///     volumeLevel.attach(prompter, preview, &trace, program.path("temp.wav"));
///     ...
///     volumeLevel.openRecording("wav/" + name + ".wav");  // modal; false when decoding failed
class PostProcessingWindow : public QDialog {
    Q_OBJECT
public:
    explicit PostProcessingWindow(QWidget* parent = nullptr);
    ~PostProcessingWindow() override;

    /// What the window works with: the prompter for its messages, the wave output for the preview,
    /// the trace (may be null) and the work file, which is created at each opening. The prompter, the
    /// preview and the trace must outlive the window or the next attach().
    void attach(Prompter& prompter, PreviewOutput& preview, OverviewDisplay* overview, const QString& workFilePath);

    /// Decodes the recording into the work file and shows the window modally. False when decoding
    /// failed (the message was shown) or nothing is attached; the window then does not open.
    bool openRecording(const QString& fileName);
    /// The decoding half of openRecording(): the window is ready to be shown (tests show it themselves).
    bool load(const QString& fileName);

    /// The session of the last attach(); null before.
    PostProcessingSession* session() const { return m_session.get(); }
    /// True while Apply runs.
    bool applying() const { return m_applying; }
    /// True while the preview plays.
    bool previewActive() const;

    /// Closing (by btnClose, the title bar or Escape): a running preview is stopped, the trace cleared,
    /// the work file closed. The recording stays as it was last saved. Refused while Apply runs.
    void done(int result) override;

Q_SIGNALS:
    /// Save wrote the recording `path` (its length may have changed).
    void recordingSaved(const QString& path);

protected:
    /// Runs the window's own pass over the work file, between beginApply() and endApply(). Returns
    /// the text to show when the pass could not change the work file (Save then stays as it was);
    /// empty when it ran, which enables Save.
    virtual QString apply() = 0;
    /// The button states the window shows with.
    virtual void resetControls() = 0;

    QBoxLayout* controlsLayout() const { return m_controls; }
    /// Hourglass, gauge shown, every control disabled (nothing may touch the work file meanwhile).
    void beginApply();
    /// Redraws the trace, hides and resets the gauge, restores the cursor and the controls.
    void endApply();
    /// Sets the gauge and lets the window repaint.
    void showProgress(int percent);

    Prompter* m_prompter = nullptr;
    std::unique_ptr<PostProcessingSession> m_session;
    QPushButton* m_apply;
    QPushButton* m_save;
    QPushButton* m_close;
    QToolButton* m_play;
    QToolButton* m_stop;
    QProgressBar* m_gauge;
    QTimer m_previewWatch; ///< watches the preview while it plays

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void applyClicked();
    void saveClicked();
    void playClicked();
    void stopClicked();
    void checkPreview();
    void releasePlay();
    void drawOverview();
    /// While Apply runs every control but the gauge is disabled; afterwards each is as it was.
    void disableControls();
    void restoreControls();

    PreviewOutput* m_preview = nullptr;
    OverviewDisplay* m_overview = nullptr;
    QMetaObject::Connection m_previewEnded;
    QMetaObject::Connection m_previewFailed;
    QList<QWidget*> m_disabled; ///< the controls disableControls() turned off
    QBoxLayout* m_controls;
    bool m_applying = false;
};
