// The modem initialization, progress and Query Modem windows following the search, the writer and the box.
#include "modemsetup/gui/ModemChoiceWindow.h"
#include "modemsetup/gui/ProgressWindow.h"
#include "modemsetup/gui/QueryModemWindow.h"
#include "modemsetup/gui/ReportProblemDialog.h"
#include "support/ModemSetupFixture.h"
#include "support/ModemSim.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct ModemSetupWindowsTest : ModemSetupFixture {
    ModemChoiceWindow form;
    ProgressWindow progress;

    void SetUp() override {
        prepareSearch();
        form.attach(search, writer, config, prompter);
        progress.follow(search);
    }
};

} // namespace

TEST_F(ModemSetupWindowsTest, OkWritesTheProfileOfTheSelectedModem) {
    ModemSim first;
    ModemSim second({QStringLiteral("--profile"), QStringLiteral("usr5637")});
    ASSERT_TRUE(first.start());
    ASSERT_TRUE(second.start());
    mapPort(2, first.linkPath());
    mapPort(5, second.linkPath());
    QList<int> progressSeen;
    QObject::connect(&search, &ModemSearch::progressChanged, &progress, [&] { progressSeen << progress.progress(); });
    bool progressVisible = false;
    QObject::connect(&search, &ModemSearch::modemListed, &progress, [&] { progressVisible = progress.isVisible(); });

    ASSERT_EQ(search.searchModems(), 2);
    EXPECT_EQ(progress.windowTitle(), QStringLiteral("Finding modems... "));
    EXPECT_TRUE(progressVisible);
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(progressSeen, (QList<int>{12, 25, 38, 50, 62, 75, 88, 100}));
    auto* list = form.findChild<QListWidget*>(QStringLiteral("lsbModems"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("U.S. Robotics 56K FAX USB V1.2.23"));

    QStringList linesShown;
    bool gaugeHidden = false;
    QTimer::singleShot(0, &form, [&] {
        linesShown = form.textLines();
        list->setCurrentRow(1);
        auto* gauge = form.findChild<QProgressBar*>(QStringLiteral("Gauge1"));
        gaugeHidden = gauge != nullptr && !gauge->isVisible();
        form.findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
    });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_EQ(linesShown, (QStringList{QStringLiteral("Model: CX93001-EIS_V0.2013-V92"),
                                       QStringLiteral("Driver version: V0.2013-V92"),
                                       QStringLiteral("Manufacturer: CONEXANT"), QStringLiteral("Com port: com2")}));
    EXPECT_TRUE(gaugeHidden);
    EXPECT_EQ(form.textLines().last(), QStringLiteral("Com port: com5"));
    EXPECT_EQ(config.readInteger(QStringLiteral("Modem"), QStringLiteral("port"), 0), 5);
    EXPECT_EQ(config.readString(QStringLiteral("Modem"), QStringLiteral("MicGain"), QString()), QStringLiteral("none"));
    EXPECT_TRUE(form.findChild<QPushButton*>(QStringLiteral("btnOk"))->isEnabled());
    EXPECT_FALSE(form.findChild<QProgressBar*>(QStringLiteral("Gauge1"))->isVisible());
}

TEST_F(ModemSetupWindowsTest, NoModemFoundShowsTheMessageInsteadOfTheWindow) {
    ASSERT_EQ(search.searchModems(), 0);
    EXPECT_EQ(form.exec(), QDialog::Rejected);
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("        No modem detected        ")});
    EXPECT_FALSE(config.readBool(QStringLiteral("Params"), QStringLiteral("Voicefeatures"), true));
}

TEST(QueryModemWindowTest, ShowsTheRepliesAndHandsBackTheDevelopersEdit) {
    QueryModemBox box;
    QueryModemWindow window;
    window.follow(box);
    box.addText(QStringLiteral("128,\"8-BIT LINEAR\",(8000)\r\n<b>131</b>"));
    auto* memo = window.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("128,\"8-BIT LINEAR\",(8000)\n<b>131</b>"));
    memo->setPlainText(QStringLiteral("1,\"SIGNED PCM\",8000"));
    EXPECT_EQ(box.lines(), QStringList{QStringLiteral("1,\"SIGNED PCM\",8000")});
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Query Modem"));
}

TEST(ReportProblemDialogTest, AReportNotHandedOverKeepsTheDescriptionAndTheWindow) {
    ReportProblemDialog dialog;
    QSignalSpy requested(&dialog, &ReportProblemDialog::sendRequested);
    dialog.show();
    dialog.memo()->setPlainText(QStringLiteral("Calls are silent since Monday"));
    dialog.findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
    ASSERT_EQ(requested.count(), 1);
    EXPECT_EQ(requested.at(0).at(0).toString(), QStringLiteral("Calls are silent since Monday"));
    dialog.sendingFinished(false);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.memo()->toPlainText(), QStringLiteral("Calls are silent since Monday"));
    dialog.sendingFinished(true);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.memo()->toPlainText().isEmpty());
}
