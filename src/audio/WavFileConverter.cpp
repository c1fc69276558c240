// Whole-file conversion: one block loop, or two threads on the two halves of a fixed-ratio conversion.
#include "audio/WavFileConverter.h"

#include "audio/AudioConverter.h"
#include "audio/AudioErrors.h"
#include "audio/WavReader.h"
#include "audio/WavWriter.h"
#include "audio/codecs/Gsm610.h"
#include "audio/codecs/ImaAdpcm.h"
#include "audio/codecs/MsAdpcm.h"

#include <QFile>
#include <exception>
#include <functional>
#include <limits>
#include <numeric>
#include <thread>
#include <vector>

namespace {

constexpr qint64 kBlockBytes = 64 * 1024;
constexpr int kAgreementSeconds = 1;

/// Frames in one whole block of the format, or 0 for a format without a fixed block.
qint64 framesPerBlock(const WaveFormat& f) {
    switch (f.formatTag()) {
    case wavetag::Pcm:
    case wavetag::Alaw:
    case wavetag::Mulaw:
        return 1;
    case wavetag::ImaAdpcm:
        return ima::samplesPerBlock(f.blockAlign(), f.channels());
    case wavetag::MsAdpcm:
        return msadpcm::samplesPerBlock(f.blockAlign(), f.channels());
    case wavetag::Gsm610:
        return gsm610::kSamplesPerBlock;
    default:
        return 0;
    }
}

/// Feeds a converter from an input file range; output goes to `sink`. Exceptions stay on this side.
class Pass {
public:
    Pass(const WaveFormat& in, const WaveFormat& out, std::function<void(const QByteArray&)> sink)
        : m_sink(std::move(sink)) {
        m_converter.setFormatIn(in);
        m_converter.setFormatOut(out);
        QObject::connect(&m_converter, &AudioConverter::audioConverted, [this](const QByteArray& d) { m_sink(d); });
        m_converter.open();
    }
    /// Converts `length` bytes of `file` from `offset`, in reads of `block` bytes.
    void run(QFile& file, qint64 offset, qint64 length, qint64 block) {
        std::vector<char> buffer(static_cast<size_t>(block));
        if (!file.seek(offset))
            throw AudioReadError(QStringLiteral("Invalid file format."));
        while (length > 0) {
            const qint64 got = file.read(buffer.data(), std::min<qint64>(length, static_cast<qint64>(buffer.size())));
            if (got <= 0)
                break;
            m_converter.convert(buffer.data(), got);
            length -= got;
        }
    }
    void finish() {
        m_converter.flush();
        m_converter.close();
    }
    void setSink(std::function<void(const QByteArray&)> sink) { m_sink = std::move(sink); }

private:
    AudioConverter m_converter;
    std::function<void(const QByteArray&)> m_sink;
};

struct Layout {
    WaveFormat in;
    qint64 dataPosition = 0;
    qint64 dataBytes = 0; ///< what the file really holds of the data chunk
};

Layout readLayout(QFile& file) {
    WavReader reader(file);
    Layout l{reader.format(), reader.dataPosition(), 0};
    l.dataBytes = std::max<qint64>(0, std::min(reader.itemSize(0), file.size() - l.dataPosition));
    return l;
}

/// Input bytes per read: a whole number of input blocks whose output, and 16-bit PCM between stages, stay
/// near kBlockBytes. A stage keeps buffers of three times its first input, so a decoder fed by 64 kB of
/// GSM (ten times as much PCM) would hold megabytes.
qint64 readBlockBytes(const WaveFormat& source, const WaveFormat& target, qint64 inAlign) {
    const double in = std::max<double>(1, source.avgBytesPerSec());
    const double widest = std::max({in, static_cast<double>(target.avgBytesPerSec()),
                                    2.0 * source.samplesPerSec() * std::max<int>(1, source.channels())});
    const auto bytes = static_cast<qint64>(kBlockBytes * in / widest);
    return std::max(inAlign, bytes / inAlign * inAlign);
}

} // namespace

WavConversionReport convertWavFile(const QString& inPath, const QString& outPath, const WaveFormat& target,
                                   const WavConversionOptions& options) {
    QFile in(inPath);
    if (!in.open(QIODevice::ReadOnly))
        throw FileOpenError(inPath);
    const Layout layout = readLayout(in);
    const WaveFormat& source = layout.in;
    const qint64 inAlign = std::max<qint64>(1, source.blockAlign());
    const qint64 readBlock = readBlockBytes(source, target, inAlign);

    QFile out(outPath);
    if (!out.open(QIODevice::ReadWrite | QIODevice::Truncate))
        throw FileOpenError(outPath);
    WavWriter writer(out);
    writer.setFormat(target);
    bool writeFailed = false;
    auto toWriter = [&](const QByteArray& d) {
        try {
            writer.write(d.constData(), d.size());
        } catch (const StreamWriteError&) {
            writeFailed = true;
        }
    };

    // A unit is the shortest stretch both sides cut into whole blocks.
    const qint64 inFrames = framesPerBlock(source);
    const qint64 outFrames = framesPerBlock(target);
    const qint64 unitFrames = inFrames > 0 && outFrames > 0 ? std::lcm(inFrames, outFrames) : 0;
    const qint64 inUnit = unitFrames > 0 ? unitFrames / inFrames * inAlign : 0;
    const qint64 outUnit = unitFrames > 0 ? unitFrames / outFrames * target.blockAlign() : 0;
    const qint64 rate = source.samplesPerSec();
    const bool twoThreads = options.allowTwoThreads && unitFrames > 0 &&
                            source.samplesPerSec() == target.samplesPerSec() &&
                            std::thread::hardware_concurrency() > 1 &&
                            layout.dataBytes / inAlign * inFrames > rate * options.twoThreadMinimumSeconds;

    WavConversionReport report;
    Pass first(source, target, toWriter);
    if (!twoThreads) {
        first.run(in, layout.dataPosition, layout.dataBytes, readBlock);
        first.finish();
    } else {
        const qint64 units = layout.dataBytes / inUnit;
        const qint64 split = units / 2 * inUnit;
        const qint64 warmUnits =
            std::min(units / 2, (rate * std::max(0, options.warmUpSeconds) + unitFrames - 1) / unitFrames);
        const qint64 checkUnits = std::max<qint64>(1, (rate * kAgreementSeconds + unitFrames - 1) / unitFrames);
        const qint64 headerBytes = 28 + WavWriter::fmtSize(target);
        const qint64 secondOffset = headerBytes + split / inUnit * outUnit;

        // The second half, on its own thread with its own file handles.
        std::exception_ptr secondError;
        std::thread second([&] {
            try {
                QFile input(inPath);
                QFile output(outPath);
                if (!input.open(QIODevice::ReadOnly) || !output.open(QIODevice::ReadWrite))
                    throw FileOpenError(outPath);
                bool writeFailedHere = false; // never thrown across the converter's signal
                qint64 skip = warmUnits * outUnit;
                if (!output.seek(secondOffset))
                    throw StreamWriteError();
                Pass pass(source, target, [&](const QByteArray& d) {
                    QByteArrayView view(d);
                    const qint64 dropped = std::min<qint64>(skip, view.size());
                    skip -= dropped;
                    view = view.sliced(dropped);
                    if (!view.isEmpty() && output.write(view.data(), view.size()) != view.size())
                        writeFailedHere = true;
                });
                pass.run(input, layout.dataPosition + split - warmUnits * inUnit,
                         layout.dataBytes - split + warmUnits * inUnit, readBlock);
                pass.finish();
                if (writeFailedHere || !output.flush())
                    throw StreamWriteError();
            } catch (...) {
                secondError = std::current_exception();
            }
        });
        try {
            first.run(in, layout.dataPosition, split, readBlock);
        } catch (...) {
            second.join();
            throw;
        }
        second.join();
        if (secondError)
            std::rethrow_exception(secondError);

        // This thread goes on into the second half, over what the other wrote, until both have agreed for
        // a whole check window; from there on the codec states are taken to be in step. A decoder never in
        // step converts the rest itself; an encoder stops checking after its limit and keeps the other's.
        QFile written(outPath);
        if (!written.open(QIODevice::ReadOnly) || !written.seek(secondOffset))
            throw FileOpenError(outPath);
        const qint64 window = checkUnits * outUnit;
        qint64 agreeing = 0; // output bytes at the end of what this thread converted that match the other's
        qint64 checked = 0;
        first.setSink([&](const QByteArray& d) {
            const QByteArray theirs = written.read(d.size());
            qsizetype last = -1;
            for (qsizetype i = 0; i < d.size(); ++i)
                if (i >= theirs.size() || d[i] != theirs[i])
                    last = i;
            if (last >= 0) {
                report.divergedBytes = checked + last + 1;
                agreeing = d.size() - last - 1;
            } else {
                agreeing += d.size();
            }
            checked += d.size();
            toWriter(d);
        });
        const qint64 stepUnits = std::max<qint64>(1, readBlock / inUnit);
        qint64 done = split;
        const bool encoding = source.formatTag() == wavetag::Pcm && target.formatTag() != wavetag::Pcm;
        const qint64 limit = encoding ? std::max(0, options.encoderCheckSeconds) * target.avgBytesPerSec()
                                      : std::numeric_limits<qint64>::max();
        while (agreeing < window && checked < limit && done < layout.dataBytes) {
            const qint64 step = std::min(stepUnits * inUnit, layout.dataBytes - done);
            first.run(in, layout.dataPosition + done, step, readBlock);
            done += step;
        }
        report.threads = 2;
        report.segmentsAgreed = agreeing >= window;
        if (agreeing >= window || done < layout.dataBytes)
            report.splicedAt = split / inUnit * outUnit + checked;
        else
            first.finish();
        if (!out.seek(out.size()))
            throw StreamWriteError();
    }
    if (writeFailed)
        throw StreamWriteError();
    if (writer.writtenBytes() > 0)
        writer.finish();
    if (!out.flush())
        throw StreamWriteError();
    return report;
}
