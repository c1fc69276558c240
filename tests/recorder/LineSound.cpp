#include "recorder/LineSound.h"

#include "audio/WaveFormat.h"

#include <QFile>
#include <QtEndian>
#include <cmath>
#include <vector>

bool writeLinePcm16(const QString& path, const QByteArray& pcm) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    auto le32 = [](quint32 v) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    QByteArray header = "RIFF" + le32(static_cast<quint32>(36 + pcm.size())) + "WAVEfmt " + le32(16);
    header.append(reinterpret_cast<const char*>(WaveFormat::pcm(8000, 16, 1).raw()), 16);
    header += "data" + le32(static_cast<quint32>(pcm.size()));
    return file.write(header + pcm) == header.size() + pcm.size();
}

QByteArray writeLineNoise(const QString& path, int seconds) {
    QByteArray expected;
    QByteArray pcm;
    quint32 seed = 12345;
    for (int i = 0; i < seconds * 8000 / 4; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const int level = static_cast<int>((seed >> 16) % 241) - 120; // bytes 8..248
        for (int k = 0; k < 4; ++k) {
            const auto v = static_cast<qint16>(level * 256 + 128);
            pcm.append(static_cast<char>(v & 0xff));
            pcm.append(static_cast<char>((v >> 8) & 0xff));
            expected.append(static_cast<char>(level + 128));
        }
    }
    return writeLinePcm16(path, pcm) ? expected : QByteArray();
}

LineMatch bestMatch(const QByteArray& window, const QByteArray& source) {
    auto centred = [](const QByteArray& bytes) {
        std::vector<double> v(static_cast<size_t>(bytes.size()));
        for (qsizetype i = 0; i < bytes.size(); ++i)
            v[static_cast<size_t>(i)] = static_cast<unsigned char>(bytes[i]) - 128.0;
        return v;
    };
    const std::vector<double> w = centred(window);
    const std::vector<double> s = centred(source);
    double ww = 0;
    for (const double x : w)
        ww += x * x;
    LineMatch best;
    for (size_t lag = 0; lag + w.size() <= s.size(); ++lag) {
        double ws = 0, ss = 0;
        for (size_t i = 0; i < w.size(); ++i) {
            ws += w[i] * s[lag + i];
            ss += s[lag + i] * s[lag + i];
        }
        if (ss > 0 && ww > 0 && ws / std::sqrt(ww * ss) > best.correlation)
            best = {static_cast<qsizetype>(lag), ws / std::sqrt(ww * ss)};
    }
    return best;
}

double bestCorrelation(const QByteArray& window, const QByteArray& source) {
    return bestMatch(window, source).correlation;
}
