// The web password as a salted, slow hash: PBKDF2 with HMAC-SHA256.
#pragma once

#include <QByteArray>
#include <QString>

/// Only the hash is stored ("pbkdf2-sha256$<iterations>$<salt>$<key>", base64), never the password.
/// Checking one takes a noticeable fraction of a second on purpose: run it off the event loop.
class PasswordHash {
public:
    static constexpr int kIterations = 210000;

    /// A new random salt and the key of `password`.
    static QString make(const QString& password, int iterations = kIterations);
    /// Whether `password` gives the stored key; false for a stored text that is not a hash.
    static bool matches(const QString& password, const QString& stored);
    /// PBKDF2-HMAC-SHA256 (RFC 8018) of `length` bytes.
    static QByteArray pbkdf2(const QByteArray& password, const QByteArray& salt, int iterations, int length);
};
