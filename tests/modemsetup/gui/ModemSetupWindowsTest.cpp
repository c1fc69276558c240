// The modem initialization, progress and Query Modem windows following the search, the writer and the box.
#include "base/Config.h"
#include "base/Logger.h"
#include "modem/ModemController.h"
#include "modemsetup/CurrentCompression.h"
#include "modemsetup/ModemProfile.h"
#include "modemsetup/ModemProfileWriter.h"
#include "modemsetup/ModemSearch.h"
#include "modemsetup/QueryModemBox.h"
#include "modemsetup/VoiceCapabilityProbe.h"
#include "modemsetup/gui/ModemChoiceWindow.h"
#include "modemsetup/gui/ProgressWindow.h"
#include "modemsetup/gui/QueryModemWindow.h"
#include "support/ModemSim.h"
#include "support/ScriptedPrompter.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct ModemSetupWindowsTest : ::testing::Test {
    QTemporaryDir dir;
    Config config{dir.filePath(QStringLiteral("tvk.ini"))};
    Logger logger;
    ScriptedPrompter prompter;
    ModemController modem{config, logger};
    ModemProfile profile;
    QueryModemBox box;
    VoiceCapabilityProbe parse{config, logger, prompter, profile, box, dir.path()};
    CurrentCompression current;
    ModemSearch search{config, logger, modem};
    ModemProfileWriter writer{config, logger, prompter, modem, profile, parse, current, search, dir.path()};
    ModemChoiceWindow form;
    ProgressWindow progress;

    void SetUp() override {
        ModemSettings settings;
        settings.flow = SerialChannel::FlowControl::None;
        settings.replyTimeoutSeconds = 2;
        modem.setSettings(settings);
        parse.setQuery(
            [this](const QString& command, QString& reply) { return modem.exchange().sendQuery(command, reply); });
        for (int port = 1; port <= 8; ++port)
            config.writeString(QStringLiteral("Ports"), QStringLiteral("Com%1").arg(port),
                               dir.filePath(QStringLiteral("absent%1").arg(port)));
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
    config.writeString(QStringLiteral("Ports"), QStringLiteral("Com2"), first.linkPath());
    config.writeString(QStringLiteral("Ports"), QStringLiteral("Com5"), second.linkPath());
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
