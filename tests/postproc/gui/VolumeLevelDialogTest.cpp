// The "Volume level" window: its controls' states through opening, slider, Apply, Save and closing.
#include "postproc/gui/VolumeLevelDialog.h"

#include "FakePreview.h"
#include "postproc/RecordingFiles.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"
#include "support/WaitUntil.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

struct VolumeLevelWindow : ::testing::Test {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    FakePreview preview;
    FakeOverview overview;
    VolumeLevelDialog dialog;
    QString recording = dir.filePath(QStringLiteral("call.wav"));

    VolumeLevelWindow() { dialog.attach(prompter, preview, &overview, dir.filePath(QStringLiteral("temp.wav"))); }

    template <class W> W* find(const char* name) {
        W* widget = dialog.findChild<W*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QSlider* slider() { return find<QSlider>("trb"); }
    QLabel* label() { return find<QLabel>("Label1"); }
    QPushButton* apply() { return find<QPushButton>("btnApply"); }
    QPushButton* save() { return find<QPushButton>("btnSave"); }
    QToolButton* play() { return find<QToolButton>("tbPlay"); }
    QProgressBar* gauge() { return find<QProgressBar>("Gauge1"); }

    /// A working-format recording, so the saved samples can be compared exactly.
    void open(const QByteArray& samples) {
        ASSERT_TRUE(recordings::writeWav(recording, WaveFormat::workingFormat(), samples));
        ASSERT_TRUE(dialog.load(recording));
        dialog.show();
    }
};

} // namespace

TEST_F(VolumeLevelWindow, OpensWithApplyAndSaveDisabledAndTheTraceDrawn) {
    open(QByteArray(1000, '\x82'));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Volume level"));
    EXPECT_EQ(slider()->minimum(), -50);
    EXPECT_EQ(slider()->maximum(), 100);
    EXPECT_EQ(slider()->value(), 0);
    EXPECT_EQ(label()->text(), QStringLiteral("0%"));
    EXPECT_FALSE(apply()->isEnabled());
    EXPECT_FALSE(save()->isEnabled());
    EXPECT_FALSE(gauge()->isVisible());
    ASSERT_EQ(overview.drawn.size(), 1);
    EXPECT_EQ(overview.drawn[0], QByteArray(1000, '\x82'));
}

TEST_F(VolumeLevelWindow, SliderApplyAndSaveEnableEachOther) {
    open(QByteArray(1000, '\x82'));
    slider()->setValue(50);
    EXPECT_EQ(label()->text(), QStringLiteral("50%"));
    EXPECT_TRUE(apply()->isEnabled());
    EXPECT_FALSE(save()->isEnabled());
    apply()->click();
    EXPECT_TRUE(save()->isEnabled());
    EXPECT_TRUE(apply()->isEnabled());
    EXPECT_FALSE(gauge()->isVisible());
    EXPECT_EQ(gauge()->value(), 0);
    ASSERT_EQ(overview.drawn.size(), 2);
    EXPECT_EQ(overview.drawn[1], QByteArray(1000, '\x83')); // 3 * 1.5 = 4.5 rounds to 4
    // The recording changes only with Save, which then disables itself.
    EXPECT_EQ(readAll(recording).mid(44), QByteArray(1000, '\x82'));
    save()->click();
    EXPECT_FALSE(save()->isEnabled());
    EXPECT_EQ(readAll(recording).mid(44), QByteArray(1000, '\x83'));
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('\n').toStdString();
}

TEST_F(VolumeLevelWindow, WhileApplyRunsTheGaugeShowsAndNothingElseCanBeUsed) {
    open(QByteArray(1'000'000, '\x82'));
    slider()->setValue(20);
    int steps = 0;
    bool gaugeShown = true;
    bool controlsOff = true;
    QObject::connect(gauge(), &QProgressBar::valueChanged, [&](int value) {
        if (value == 0)
            return; // the reset after the pass, with the gauge hidden again
        ++steps;
        gaugeShown = gaugeShown && gauge()->isVisible();
        controlsOff = controlsOff && !apply()->isEnabled() && !save()->isEnabled() && !play()->isEnabled() &&
                      !slider()->isEnabled() && !find<QPushButton>("btnClose")->isEnabled();
    });
    apply()->click();
    EXPECT_GE(steps, 5);
    EXPECT_TRUE(gaugeShown);
    EXPECT_TRUE(controlsOff);
    // Afterwards each control is as it was, and Save is offered.
    EXPECT_TRUE(apply()->isEnabled());
    EXPECT_TRUE(slider()->isEnabled());
    EXPECT_TRUE(play()->isEnabled());
    EXPECT_TRUE(save()->isEnabled());
    EXPECT_FALSE(dialog.applying());
}

TEST_F(VolumeLevelWindow, ZeroPercentStillEnablesSave) {
    open(QByteArray(1000, '\x82'));
    slider()->setValue(10);
    slider()->setValue(0);
    EXPECT_EQ(label()->text(), QStringLiteral("0%"));
    ASSERT_TRUE(apply()->isEnabled());
    apply()->click();
    EXPECT_TRUE(save()->isEnabled());
    EXPECT_EQ(overview.drawn.last(), QByteArray(1000, '\x82'));
}

TEST_F(VolumeLevelWindow, AFailedSaveSaysSoAndKeepsSaveEnabled) {
    open(QByteArray(1000, '\x82'));
    slider()->setValue(20);
    apply()->click();
    // The folder of the recording is gone: the new file cannot be created next to it.
    const QByteArray before = readAll(recording);
    QDir(dir.path()).rename(QStringLiteral("call.wav"), QStringLiteral("kept.wav"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("call.wav")));
    save()->click();
    EXPECT_TRUE(save()->isEnabled());
    EXPECT_EQ(prompter.shown,
              QStringList({QStringLiteral("Error was created during ") + recording + QStringLiteral(" file saving")}));
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("kept.wav"))), before);
}

TEST_F(VolumeLevelWindow, PlayIsReleasedWhenThePreviewEnds) {
    open(QByteArray(1000, '\x82'));
    play()->click();
    EXPECT_TRUE(play()->isChecked());
    ASSERT_EQ(preview.played.size(), 1);
    EXPECT_EQ(preview.played[0], QByteArray(1000, '\x82'));
    preview.end(); // the last buffer played; only the preview watch notices
    EXPECT_TRUE(waitUntil([&] { return !play()->isChecked(); }, 10000));

    play()->click();
    find<QToolButton>("tbStop")->click();
    EXPECT_FALSE(play()->isChecked());
    EXPECT_FALSE(preview.active());
}

TEST_F(VolumeLevelWindow, APreviewThatCannotPlayIsReported) {
    open(QByteArray(1000, '\x82'));
    preview.failure = QStringLiteral("Error opening audio device for output.");
    play()->click();
    EXPECT_FALSE(play()->isChecked());
    EXPECT_EQ(prompter.shown, QStringList({QStringLiteral("Error opening audio device for output.")}));
}

TEST_F(VolumeLevelWindow, ClosingStopsThePreviewClearsTheTraceAndLeavesTheRecording) {
    open(QByteArray(1000, '\x82'));
    const QByteArray before = readAll(recording);
    slider()->setValue(100);
    apply()->click();
    play()->click();
    find<QPushButton>("btnClose")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(preview.active());
    EXPECT_FALSE(play()->isChecked());
    EXPECT_EQ(overview.clears, 1);
    EXPECT_FALSE(dialog.session()->isOpen());
    EXPECT_EQ(readAll(recording), before);
    // The work file stays behind with the applied samples.
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("temp.wav"))), QByteArray(1000, '\x85'));
}

TEST_F(VolumeLevelWindow, AnUndecodableRecordingDoesNotOpen) {
    writeFile(recording, "RIFF junk");
    EXPECT_FALSE(dialog.openRecording(recording));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(prompter.shown, QStringList({QStringLiteral("Error was created during pcm conversion")}));
    EXPECT_TRUE(overview.drawn.isEmpty());
}

TEST(VolumeLevelWindowAlone, NothingOpensBeforeTheWindowIsAttached) {
    // The windowed program creates the window at start and attaches what it works with later.
    VolumeLevelDialog dialog;
    EXPECT_EQ(dialog.objectName(), QStringLiteral("fmVolLevel"));
    EXPECT_EQ(dialog.session(), nullptr);
    EXPECT_FALSE(dialog.openRecording(QStringLiteral("wav/1_20240101_120000.wav")));
    EXPECT_FALSE(dialog.isVisible());
}
