// Byte layout of a compression record.
#include "modemsetup/CompressionRecord.h"

#include <algorithm>

QString CompressionRecord::displayText() const {
    return Description + QLatin1Char(' ') + bps + QStringLiteral("bit ") + vsr + QStringLiteral("Hz");
}

QString* CompressionRecord::fields(int i) {
    return const_cast<QString*>(static_cast<const CompressionRecord*>(this)->fields(i));
}

const QString* CompressionRecord::fields(int i) const {
    switch (i) {
    case 0:
        return &Description;
    case 1:
        return &cml;
    case 2:
        return &cmid;
    case 3:
        return &bps;
    case 4:
        return &tm;
    case 5:
        return &vsr;
    case 6:
        return &scs;
    case 7:
        return &sel;
    case 8:
        return &VsmCommand;
    default:
        return nullptr;
    }
}

QByteArray CompressionRecord::toBytes() const {
    QByteArray out(kRecordBytes, '\0');
    for (int i = 0; i < kFieldCount; ++i) {
        const QByteArray text = fields(i)->left(kFieldChars).toLatin1();
        const int offset = i * kFieldBytes;
        out[offset] = static_cast<char>(text.size());
        std::copy(text.begin(), text.end(), out.begin() + offset + 1);
    }
    return out;
}

CompressionRecord CompressionRecord::fromBytes(const QByteArray& bytes) {
    QByteArray raw = bytes.left(kRecordBytes);
    raw.resize(kRecordBytes, '\0');
    CompressionRecord record;
    for (int i = 0; i < kFieldCount; ++i) {
        const int offset = i * kFieldBytes;
        const int length = std::min<int>(static_cast<unsigned char>(raw[offset]), kFieldChars);
        *record.fields(i) = QString::fromLatin1(raw.constData() + offset + 1, length);
    }
    return record;
}
