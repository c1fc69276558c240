// Who is logged in to the page: session cookies, their tokens against cross-site requests, and the
// slowing down of wrong passwords.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QHostAddress>
#include <optional>

/// A session is a random cookie value with a second random value, the token every POST must carry
/// in X-CSRF-Token; another site's page can make the browser send the cookie but cannot read the
/// token. A session ends at logout or after `lifetime` without a request.
class WebSessions {
public:
    static constexpr int kMaxSessions = 64;
    /// Wrong passwords from one address before each further one waits.
    static constexpr int kFreeFailures = 3;
    static constexpr qint64 kMaxWaitSeconds = 300;

    struct Session {
        QByteArray csrfToken;
        QDateTime lastUse;
    };

    explicit WebSessions(qint64 lifetimeSeconds) : m_lifetime(lifetimeSeconds) {}

    /// A new session; the oldest goes when there are too many. Returns its cookie value.
    QByteArray create(const QDateTime& now);
    /// The session of a cookie value, renewed; null when unknown or expired.
    const Session* find(const QByteArray& cookie, const QDateTime& now);
    void end(const QByteArray& cookie);
    void endAll() { m_sessions.clear(); }

    /// Seconds `address` must still wait before its next password is checked; 0 when it may try.
    qint64 waitBeforeLogin(const QHostAddress& address, const QDateTime& now) const;
    /// A wrong password from `address`: from the fourth on, each doubles the wait (to five minutes).
    void loginFailed(const QHostAddress& address, const QDateTime& now);
    void loginSucceeded(const QHostAddress& address) { m_failures.remove(address.toString()); }

    qint64 lifetimeSeconds() const { return m_lifetime; }
    /// Whether two tokens are equal, in a time that does not tell where they differ.
    static bool sameToken(const QByteArray& a, const QByteArray& b);

private:
    struct Failures {
        int count = 0;
        QDateTime until;
    };
    static QByteArray randomToken();

    qint64 m_lifetime;
    QHash<QByteArray, Session> m_sessions;
    QHash<QString, Failures> m_failures;
};
