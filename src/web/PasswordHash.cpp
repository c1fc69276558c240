// PBKDF2 over Qt's HMAC, and a comparison that takes the same time whatever differs.
#include "web/PasswordHash.h"

#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QStringList>

namespace {

constexpr int kKeyBytes = 32;
constexpr int kSaltBytes = 16;
constexpr int kMaxIterations = 10'000'000;

bool sameBytes(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

} // namespace

QByteArray PasswordHash::pbkdf2(const QByteArray& password, const QByteArray& salt, int iterations, int length) {
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, password);
    QByteArray key;
    for (quint32 block = 1; key.size() < length; ++block) {
        QByteArray index(4, 0);
        index[0] = char(block >> 24);
        index[1] = char(block >> 16);
        index[2] = char(block >> 8);
        index[3] = char(block);
        mac.reset();
        mac.addData(salt + index);
        QByteArray u = mac.result();
        QByteArray t = u;
        for (int i = 1; i < iterations; ++i) {
            mac.reset();
            mac.addData(u);
            u = mac.result();
            for (qsizetype j = 0; j < t.size(); ++j)
                t[j] = char(t[j] ^ u[j]);
        }
        key += t;
    }
    return key.left(length);
}

QString PasswordHash::make(const QString& password, int iterations) {
    QByteArray salt(kSaltBytes, 0);
    for (char& c : salt)
        c = char(QRandomGenerator::system()->bounded(256));
    const QByteArray key = pbkdf2(password.toUtf8(), salt, iterations, kKeyBytes);
    return QStringLiteral("pbkdf2-sha256$%1$%2$%3")
        .arg(iterations)
        .arg(QString::fromLatin1(salt.toBase64()), QString::fromLatin1(key.toBase64()));
}

bool PasswordHash::matches(const QString& password, const QString& stored) {
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 4 || parts.at(0) != QLatin1String("pbkdf2-sha256"))
        return false;
    bool ok = false;
    const int iterations = parts.at(1).toInt(&ok);
    if (!ok || iterations < 1 || iterations > kMaxIterations)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts.at(2).toLatin1());
    const QByteArray key = QByteArray::fromBase64(parts.at(3).toLatin1());
    if (salt.isEmpty() || key.isEmpty() || key.size() > 64)
        return false;
    return sameBytes(pbkdf2(password.toUtf8(), salt, iterations, int(key.size())), key);
}
