// The mail hand-over through an xdg-email stand-in: exact arguments, failures, refused attachments.
#include "library/MailHandOver.h"
#include "support/TestFiles.h"
#include "support/WaitUntil.h"
#include "support/XdgEmailStandIn.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct MailTest : ::testing::Test {
    QTemporaryDir root;
    QString work = root.filePath(QStringLiteral("my \"calls\" & 'notes'"));
    XdgEmailStandIn standIn;
    MailHandOver mail{work};

    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(work + QStringLiteral("/wav")));
        ASSERT_TRUE(standIn.valid());
        standIn.put();
    }
    QString file(const QString& name) {
        const QString path = QDir(work).filePath(name);
        writeFile(path, "RIFF");
        return path;
    }
};

} // namespace

TEST_F(MailTest, EveryPartIsItsOwnArgument) {
    MailMessage message;
    message.Subject = QStringLiteral("Report \"modem\" $(reboot) `id`");
    message.Body = QStringLiteral("Hello,\n\n; rm -rf ~\n");
    message.Recipients = {QStringLiteral("ann@example.org"), QStringLiteral("cc:bob@example.org"),
                          QStringLiteral("BCC:eve@example.org"), QStringLiteral("Cc:dan@example.org")};
    const QString sound = file(QStringLiteral("wav/1_20261208_131453 \"x\" 'y'.wav"));
    const QString report = file(QStringLiteral("Diagnostics.log"));
    message.Attachments = {sound, report};
    message.AttachmentNames = {QStringLiteral("shown name")};
    EXPECT_TRUE(mail.send(message));
    EXPECT_EQ(mail.result(), 0);
    EXPECT_EQ(mail.failure(), QString());
    EXPECT_EQ(
        standIn.arguments(),
        (QStringList{QStringLiteral("--utf8"), QStringLiteral("--subject"), message.Subject, QStringLiteral("--body"),
                     message.Body, QStringLiteral("--cc"), QStringLiteral("bob@example.org"), QStringLiteral("--bcc"),
                     QStringLiteral("eve@example.org"), QStringLiteral("--cc"), QStringLiteral("dan@example.org"),
                     QStringLiteral("--attach"), sound, QStringLiteral("--attach"), report,
                     QStringLiteral("ann@example.org")}));
    EXPECT_EQ(MailHandOver::arguments(message), standIn.arguments());
}

TEST_F(MailTest, AFailedHandOverIsAFailedSend) {
    MailMessage message;
    message.Body = QStringLiteral("Hello,\n");
    standIn.setExitCode(4);
    EXPECT_FALSE(mail.send(message));
    EXPECT_EQ(mail.result(), 4);
    EXPECT_EQ(mail.failure(), QStringLiteral("xdg-email ended with status 4"));

    // No xdg-email on the path at all.
    QTemporaryDir empty;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(empty.path()));
    standIn.clear();
    const bool sent = mail.send(message);
    qputenv("PATH", path);
    EXPECT_FALSE(sent);
    EXPECT_EQ(mail.result(), MailHandOver::kNotFound);
    EXPECT_TRUE(mail.failure().startsWith(QStringLiteral("xdg-email was not found")));
    EXPECT_FALSE(standIn.ran());

    standIn.setExitCode(0);
    EXPECT_TRUE(mail.send(message));
}

TEST_F(MailTest, OnlyFilesOfTheWorkingFolderAreAttached) {
    const QString outside = root.filePath(QStringLiteral("secret.txt"));
    writeFile(outside, "secret");
    ASSERT_TRUE(QFile::link(outside, QDir(work).filePath(QStringLiteral("wav/link.wav"))));
    const QString deeper = QDir(work).filePath(QStringLiteral("wav/sub/x.wav"));
    ASSERT_TRUE(QDir().mkpath(QDir(work).filePath(QStringLiteral("wav/sub"))));
    writeFile(deeper, "RIFF");
    for (const QString& path : {outside, QDir(work).filePath(QStringLiteral("wav/link.wav")),
                                QDir(work).filePath(QStringLiteral("wav/../../secret.txt")), deeper,
                                QDir(work).filePath(QStringLiteral("wav/missing.wav"))}) {
        MailMessage message;
        message.Attachments = {path};
        EXPECT_FALSE(mail.send(message)) << path.toStdString();
        EXPECT_EQ(mail.result(), MailHandOver::kRefused);
    }
    // A recipient xdg-email would take for an option.
    MailMessage message;
    message.Recipients = {QStringLiteral("--attach=/etc/passwd")};
    EXPECT_FALSE(mail.send(message));
    message.Recipients = {QStringLiteral("cc:-x")};
    EXPECT_FALSE(mail.send(message));
    EXPECT_FALSE(standIn.ran());
}

TEST_F(MailTest, AMailProgramThatKeepsXdgEmailWaitingHasTheMessage) {
    standIn.hold();
    mail.setWaitMs(200);
    MailMessage message;
    message.Attachments = {file(QStringLiteral("wav/a.wav"))};
    EXPECT_TRUE(mail.send(message));
    EXPECT_TRUE(waitUntil([this] { return standIn.ran(); }));
    EXPECT_FALSE(standIn.finished());
    standIn.release();
    EXPECT_TRUE(waitUntil([this] { return standIn.finished(); }));
}
