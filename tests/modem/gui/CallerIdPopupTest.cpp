// The caller identification pop-up: plain text, its place on the screen, following call detection.
#include "modem/gui/CallerIdPopup.h"
#include "base/Config.h"
#include "base/Logger.h"
#include "modem/CallDetector.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(CallerIdPopupTest, ShowsTheCallerAsPlainTextInTheCorner) {
    CallerIdPopup popup;
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

TEST(CallerIdPopupTest, FollowsCallDetection) {
    QTemporaryDir dir;
    Config config(dir.filePath(QStringLiteral("tvk.ini")));
    Logger logger;
    RealModemTiming timing;
    CallDetector calls(config, logger, timing);
    CallerIdPopup popup;
    popup.follow(calls);
    Q_EMIT calls.callerIdShown(QStringLiteral("0301"));
    EXPECT_TRUE(popup.isVisible());
    EXPECT_EQ(popup.callerText(), QStringLiteral("0301"));
    Q_EMIT calls.callerIdHidden();
    EXPECT_FALSE(popup.isVisible());

    // With a describing function (the contact's name added), the described text is shown.
    CallerIdPopup named;
    named.follow(calls, [](const QString& text) { return text + QStringLiteral(" <b>Ann</b>"); });
    Q_EMIT calls.callerIdShown(QStringLiteral("0301"));
    EXPECT_EQ(named.callerText(), QStringLiteral("0301 <b>Ann</b>"));
}
