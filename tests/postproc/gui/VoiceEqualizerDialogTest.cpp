// The "Voice equalizer" window: Apply from the start, Save after a pass that changed something.
#include "postproc/gui/VoiceEqualizerDialog.h"

#include "FakePreview.h"
#include "postproc/RecordingFiles.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

struct VoiceEqualizerWindow : ::testing::Test {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    FakePreview preview;
    FakeOverview overview;
    VoiceEqualizerDialog dialog;
    QString recording = dir.filePath(QStringLiteral("call.wav"));

    VoiceEqualizerWindow() { dialog.attach(prompter, preview, &overview, dir.filePath(QStringLiteral("temp.wav"))); }

    QPushButton* button(const char* name) {
        QPushButton* b = dialog.findChild<QPushButton*>(QLatin1String(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    void open(const QByteArray& samples) {
        ASSERT_TRUE(recordings::writeWav(recording, WaveFormat::workingFormat(), samples));
        ASSERT_TRUE(dialog.load(recording));
        dialog.show();
    }
};

// Silence, a quiet passage, silence, a loud passage, silence: 200-sample frames.
QByteArray quietAndLoud() {
    QByteArray s;
    s += QByteArray(200, '\x7f');
    s += QByteArray(400, '\x83'); // level 4
    s += QByteArray(400, '\x7f');
    s += QByteArray(400, '\x8f'); // level 16
    s += QByteArray(400, '\x7f');
    return s;
}

} // namespace

TEST_F(VoiceEqualizerWindow, ApplyIsEnabledFromTheStartAndSaveAfterAnApply) {
    open(quietAndLoud());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Voice equalizer"));
    EXPECT_TRUE(button("btnApply")->isEnabled());
    EXPECT_FALSE(button("btnSave")->isEnabled());
    button("btnApply")->click();
    EXPECT_TRUE(button("btnSave")->isEnabled());
    EXPECT_TRUE(button("btnApply")->isEnabled());
    EXPECT_FALSE(dialog.findChild<QProgressBar*>(QStringLiteral("Gauge1"))->isVisible());
    ASSERT_EQ(overview.drawn.size(), 2);
    // Average 10, quiet passage level 4 (with the silent sample after it a little less): raised.
    EXPECT_GT(static_cast<uint8_t>(overview.drawn[1][300]), 0x83);
    EXPECT_EQ(overview.drawn[1].mid(1001), quietAndLoud().mid(1001));
    button("btnSave")->click();
    EXPECT_FALSE(button("btnSave")->isEnabled());
    EXPECT_EQ(readAll(recording).mid(44), overview.drawn[1]);
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('\n').toStdString();
}

TEST_F(VoiceEqualizerWindow, NoVoiceIsAnErrorAndLeavesSaveDisabled) {
    open(QByteArray(4000, '\x80'));
    button("btnApply")->click();
    EXPECT_EQ(prompter.shown, QStringList({VoiceEqualizerDialog::noVoiceText()}));
    EXPECT_FALSE(button("btnSave")->isEnabled());
    EXPECT_TRUE(button("btnApply")->isEnabled());
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("temp.wav"))), QByteArray(4000, '\x80'));
}

TEST_F(VoiceEqualizerWindow, ReopeningStartsAfreshAndClosingLeavesTheRecording) {
    open(quietAndLoud());
    button("btnApply")->click();
    const QByteArray before = readAll(recording);
    dialog.reject();
    EXPECT_EQ(readAll(recording), before);
    EXPECT_EQ(overview.clears, 1);
    // The one window serves the next recording with its states reset.
    ASSERT_TRUE(dialog.load(recording));
    dialog.show();
    EXPECT_FALSE(button("btnSave")->isEnabled());
    EXPECT_EQ(dialog.session()->samples(), quietAndLoud());
}
