// Decoding of UTF-8 with the Windows-1252 fallback.
#include "base/LegacyText.h"

#include <QStringDecoder>
#include <array>

namespace LegacyText {

QChar fromWindows1252(unsigned char byte) {
    // 0x80..0x9F; 0 where the code page assigns nothing (0x81, 0x8D, 0x8F, 0x90, 0x9D).
    static constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                                       0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    if (byte >= 0x80 && byte <= 0x9F) {
        const char16_t mapped = kHigh[static_cast<size_t>(byte - 0x80)];
        return QChar(mapped != 0 ? mapped : char16_t(byte));
    }
    return QChar(char16_t(byte));
}

std::optional<QByteArray> toWindows1252(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        int byte = -1;
        if (c.unicode() < 0x80 || (c.unicode() >= 0xA0 && c.unicode() <= 0xFF)) {
            byte = c.unicode();
        } else {
            for (int b = 0x80; b <= 0x9F && byte < 0; ++b)
                if (fromWindows1252(static_cast<unsigned char>(b)) == c)
                    byte = b;
        }
        if (byte < 0)
            return std::nullopt;
        bytes.append(static_cast<char>(byte));
    }
    return bytes;
}

QString decode(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    text.clear();
    text.reserve(bytes.size());
    for (const char c : bytes)
        text.append(fromWindows1252(static_cast<unsigned char>(c)));
    return text;
}

} // namespace LegacyText
