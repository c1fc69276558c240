// The simple-mail hand-over: a message with attachments handed to the user's mail program.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

/// What the mail component `MAPIMail` carries. Only Subject, Body, Recipients and Attachments reach
/// the mail program through xdg-email; it has no way to pass shown attachment names, a sender or a
/// non-editing send, and always opens the compose window, where the user resolves names.
struct MailMessage {
    QString Subject;
    QString Body;
    /// "CC:" or "BCC:" in front (any letter case) makes a copy or blind-copy recipient.
    QStringList Recipients;
    QStringList Attachments; ///< full paths
    QStringList AttachmentNames;
    bool EditDialog = true;
    bool ResolveNames = false;
    QString SenderName;
    QString SenderAddress;
};

/// Hands a message to the user's mail program with `xdg-email`, which opens its compose window
/// with the files attached. The arguments go to the program one by one, never through a shell.
///
///     MailHandOver mail(workDir);
///     MailMessage message;
///     message.Body = "Hello,\n";
///     message.Attachments << workDir + "/wav/1_20261208_131453.wav";
///     if (!mail.send(message))
///         prompter.message("Mail failed to be dispatched");   // mail.failure() says why
///
/// Attachments must be files of the working folder itself (the reports) or of its wav folder;
/// anything else (a symbolic link that leads out included) fails the Send.
class MailHandOver : public QObject {
    Q_OBJECT
public:
    /// Result codes besides xdg-email's own exit status (0 success, 1 to 5 its failures).
    static constexpr int kNotFound = -1;   ///< no xdg-email on PATH
    static constexpr int kNotStarted = -2; ///< it could not be run, or it crashed
    static constexpr int kRefused = -3;    ///< an attachment or recipient was refused
    static constexpr int kDefaultWaitMs = 15000;

    explicit MailHandOver(const QString& workDir, QObject* parent = nullptr);
    ~MailHandOver() override;

    /// True exactly when xdg-email took the message: it ended with status 0, or it was still
    /// running after the wait (some mail programs keep it waiting while their compose window is
    /// open; it is then left to finish on its own). Waits with a local event loop that leaves out
    /// user input, as a modal compose window would.
    bool send(const MailMessage& message);
    /// The result of the last Send: 0 on success, else xdg-email's status or one of the codes above.
    int result() const { return m_result; }
    /// Why the last Send failed, in one line; empty after a success.
    QString failure() const { return m_failure; }

    /// The arguments xdg-email gets for `message`, in order.
    static QStringList arguments(const MailMessage& message);

    /// How long Send waits for xdg-email to end before it counts the hand-over as done.
    void setWaitMs(int ms) { m_waitMs = ms; }

private:
    bool fail(int code, const QString& why);
    QString refusedAttachment(const QStringList& paths) const;

    QString m_workDir;
    int m_waitMs = kDefaultWaitMs;
    int m_result = 0;
    QString m_failure;
};
