// Random session values, their expiry, and the wait after wrong passwords.
#include "web/WebSessions.h"

#include <QRandomGenerator>

QByteArray WebSessions::randomToken() {
    QByteArray bytes(32, 0);
    for (char& c : bytes)
        c = char(QRandomGenerator::system()->bounded(256));
    return bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

QByteArray WebSessions::create(const QDateTime& now) {
    if (m_sessions.size() >= kMaxSessions) {
        auto oldest = m_sessions.begin();
        for (auto it = m_sessions.begin(); it != m_sessions.end(); ++it)
            if (it->lastUse < oldest->lastUse)
                oldest = it;
        m_sessions.erase(oldest);
    }
    const QByteArray cookie = randomToken();
    m_sessions.insert(cookie, Session{randomToken(), now});
    return cookie;
}

const WebSessions::Session* WebSessions::find(const QByteArray& cookie, const QDateTime& now) {
    auto it = m_sessions.find(cookie);
    if (cookie.isEmpty() || it == m_sessions.end())
        return nullptr;
    if (it->lastUse.secsTo(now) > m_lifetime) {
        m_sessions.erase(it);
        return nullptr;
    }
    it->lastUse = now;
    return &*it;
}

void WebSessions::end(const QByteArray& cookie) {
    m_sessions.remove(cookie);
}

qint64 WebSessions::waitBeforeLogin(const QHostAddress& address, const QDateTime& now) const {
    const auto it = m_failures.constFind(address.toString());
    if (it == m_failures.constEnd() || !it->until.isValid() || it->until <= now)
        return 0;
    return qMax<qint64>(1, now.secsTo(it->until));
}

void WebSessions::loginFailed(const QHostAddress& address, const QDateTime& now) {
    Failures& failures = m_failures[address.toString()];
    ++failures.count;
    if (failures.count > kFreeFailures) {
        const int doublings = qMin(failures.count - kFreeFailures - 1, 9);
        failures.until = now.addSecs(qMin<qint64>(kMaxWaitSeconds, qint64(1) << doublings));
    }
    // Addresses are few on a home network; a flood of made-up ones is capped all the same.
    if (m_failures.size() > 4096)
        m_failures.clear();
}

bool WebSessions::sameToken(const QByteArray& a, const QByteArray& b) {
    if (a.isEmpty() || a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}
