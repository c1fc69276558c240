// The format chooser dialog: starts from the given format, OK returns the selection, Cancel is 515.
#include "audio/gui/FormatChooserDialog.h"
#include "audio/AudioErrors.h"
#include "audio/WaveFormat.h"
#include "audio/drivers/ImaAdpcmDriver.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
/// Runs `action` on the chooser's dialog once it is shown.
void whenShown(const std::function<void(FormatChooserDialog*)>& action) {
    QTimer::singleShot(0, [action] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<FormatChooserDialog*>(w); d && d->isVisible())
                return action(d);
        ADD_FAILURE() << "no chooser shown";
    });
}
} // namespace

TEST(FormatChooserDialogTest, StartsFromTheGivenFormat) {
    FormatChooserDialog dialog;
    dialog.setFormat(ImaAdpcmDriver::imaFormat(11025, 2));
    EXPECT_EQ(dialog.findChild<QComboBox*>("cbTag")->currentText(), QStringLiteral("IMA ADPCM"));
    EXPECT_EQ(dialog.findChild<QListWidget*>("lbFormats")->currentItem()->text(),
              QStringLiteral("11.025 kHz, 4 Bit, Stereo"));
    EXPECT_TRUE(dialog.format().sameFormat(ImaAdpcmDriver::imaFormat(11025, 2)));
}

TEST(FormatChooserDialogTest, OkTakesTheSelectionAndCancelIs515) {
    DialogFormatChooser chooser;
    WaveFormat format = WaveFormat::workingFormat();
    whenShown([](FormatChooserDialog* d) {
        d->findChild<QComboBox*>("cbTag")->setCurrentText(QStringLiteral("GSM 6.10"));
        d->findChild<QListWidget*>("lbFormats")->setCurrentRow(1);
        d->accept();
    });
    ASSERT_TRUE(format.chooseFormat(QStringLiteral("Choose file compression format"), chooser));
    EXPECT_EQ(format.formatTag(), wavetag::Gsm610);
    EXPECT_EQ(format.samplesPerSec(), 8000u);

    whenShown([](FormatChooserDialog* d) { d->reject(); });
    WaveFormat kept = format;
    EXPECT_FALSE(kept.chooseFormat(QStringLiteral("x"), chooser));
    EXPECT_TRUE(kept.sameFormat(format));
}
