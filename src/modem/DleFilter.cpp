// Removing the DLE shielding and the in-band events of the voice receive stream.
#include "modem/DleFilter.h"

void DleFilter::process(QByteArrayView chunk, QByteArray& audio, std::vector<char>& events) {
    audio.reserve(audio.size() + chunk.size());
    for (const char c : chunk) {
        if (!m_pendingDle) {
            if (c == kDle)
                m_pendingDle = true;
            else
                audio.append(c);
            continue;
        }
        m_pendingDle = false;
        if (c == kDle) {
            audio.append(kDle);
        } else if (c == kSub) {
            audio.append(kDle);
            audio.append(kDle);
        } else {
            events.push_back(c);
        }
    }
}

QString DleFilter::describe(char code) {
    switch (code) {
    case 'b':
        return QStringLiteral("busy tone");
    case 'd':
        return QStringLiteral("dial tone");
    case 'q':
        return QStringLiteral("quiet");
    case 's':
        return QStringLiteral("silence");
    case 'c':
        return QStringLiteral("calling tone");
    case 'e':
        return QStringLiteral("answer tone");
    case 'o':
        return QStringLiteral("receive buffer overrun");
    case kEtx:
        return QStringLiteral("end of stream");
    case 'H':
    case 'P':
        return QStringLiteral("handset lifted");
    case 'h':
    case 'p':
        return QStringLiteral("handset put down");
    default:
        break;
    }
    if (dtmfDigit(code))
        return QStringLiteral("DTMF digit %1").arg(QLatin1Char(code));
    if (code >= 0x21 && code < 0x7f)
        return QStringLiteral("code '%1'").arg(QLatin1Char(code));
    return QStringLiteral("code 0x%1").arg(static_cast<unsigned char>(code), 2, 16, QLatin1Char('0'));
}
