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

double bestCorrelation(const QByteArray& window, const QByteArray& source) {
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
    double best = 0;
    for (size_t lag = 0; lag + w.size() <= s.size(); ++lag) {
        double ws = 0, ss = 0;
        for (size_t i = 0; i < w.size(); ++i) {
            ws += w[i] * s[lag + i];
            ss += s[lag + i] * s[lag + i];
        }
        if (ss > 0 && ww > 0)
            best = std::max(best, ws / std::sqrt(ww * ss));
    }
    return best;
}
