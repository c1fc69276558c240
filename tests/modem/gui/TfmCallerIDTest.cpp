// The caller identification pop-up: plain text, its place on the screen, following the controller.
#include "modem/gui/TfmCallerID.h"
#include "app/Config.h"
#include "app/Logger.h"
#include "modem/TfmModem.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(TfmCallerIDTest, ShowsTheCallerAsPlainTextInTheCorner) {
    TfmCallerID popup;
    popup.showCaller(QStringLiteral("<img src=x><b>5551234</b>\r\nNAME=ACME"));
    EXPECT_TRUE(popup.isVisible());
    auto* caller = popup.findChild<QLabel*>(QStringLiteral("lbCaller"));
    ASSERT_NE(caller, nullptr);
    EXPECT_EQ(caller->textFormat(), Qt::PlainText);
    EXPECT_EQ(popup.callerText(), QStringLiteral("<img src=x><b>5551234</b> NAME=ACME"));
    auto* title = popup.findChild<QLabel*>(QStringLiteral("lbIncoming"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), QStringLiteral("INCOMING CALL"));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(popup.pos(), QPoint(screen.right() + 1 - 200, screen.bottom() + 1 - 105));
    EXPECT_EQ(popup.size(), QSize(152, 70));
}

TEST(TfmCallerIDTest, FollowsTheController) {
    QTemporaryDir dir;
    Config config(dir.filePath(QStringLiteral("tvk.ini")));
    Logger logger;
    TfmModem modem(config, logger);
    TfmCallerID popup;
    popup.follow(modem);
    Q_EMIT modem.callerIdShown(QStringLiteral("0301"));
    EXPECT_TRUE(popup.isVisible());
    EXPECT_EQ(popup.callerText(), QStringLiteral("0301"));
    Q_EMIT modem.callerIdHidden();
    EXPECT_FALSE(popup.isVisible());
}
