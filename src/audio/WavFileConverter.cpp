// Whole-file conversion: one block loop, or two threads on the two halves of a fixed-ratio conversion.
#include "audio/WavFileConverter.h"

#include "audio/AcmErrors.h"
#include "audio/TdeAudioConvertor.h"
#include "audio/TdeRIFFAudioReader.h"
#include "audio/TdeRIFFAudioWriter.h"
#include "audio/codecs/Gsm610.h"
#include "audio/codecs/ImaAdpcm.h"
#include "audio/codecs/MsAdpcm.h"

#include <QFile>
#include <exception>
#include <functional>
#include <numeric>
#include <thread>
#include <vector>

namespace {

constexpr qint64 kBlockBytes = 64 * 1024;
constexpr int kWarmUpSeconds = 2;
constexpr int kAgreementSeconds = 1;

/// Frames in one whole block of the format, or 0 for a format without a fixed block.
qint64 framesPerBlock(const TdeWaveFormat& f) {
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
    Pass(const TdeWaveFormat& in, const TdeWaveFormat& out, std::function<void(const QByteArray&)> sink)
        : m_sink(std::move(sink)) {
        m_converter.SetFormatIn(in);
        m_converter.SetFormatOut(out);
        QObject::connect(&m_converter, &TdeAudioConvertor::OnAudioConverted,
                         [this](const QByteArray& d) { m_sink(d); });
        m_converter.Open();
    }
    /// Converts `length` bytes of `file` from `offset`, in blocks of a whole number of `align` bytes.
    void run(QFile& file, qint64 offset, qint64 length, qint64 align) {
        std::vector<char> buffer(static_cast<size_t>(std::max(align, kBlockBytes / align * align)));
        if (!file.seek(offset))
            throw EACMAudioReadError(QStringLiteral("Invalid file format."));
        while (length > 0) {
            const qint64 got = file.read(buffer.data(), std::min<qint64>(length, static_cast<qint64>(buffer.size())));
            if (got <= 0)
                break;
            m_converter.Convert(buffer.data(), got);
            length -= got;
        }
    }
    void finish() {
        m_converter.Flush();
        m_converter.Close();
    }
    void setSink(std::function<void(const QByteArray&)> sink) { m_sink = std::move(sink); }

private:
    TdeAudioConvertor m_converter;
    std::function<void(const QByteArray&)> m_sink;
};

struct Layout {
    TdeWaveFormat in;
    qint64 dataPosition = 0;
    qint64 dataBytes = 0; ///< what the file really holds of the data chunk
};

Layout readLayout(QFile& file) {
    TdeRIFFAudioReader reader(file);
    Layout l{reader.Format(), reader.DataPosition(), 0};
    l.dataBytes = std::max<qint64>(0, std::min(reader.ItemSize(0), file.size() - l.dataPosition));
    return l;
}

} // namespace

void convertWavFile(const QString& inPath, const QString& outPath, const TdeWaveFormat& target,
                    const WavConversionOptions& options) {
    QFile in(inPath);
    if (!in.open(QIODevice::ReadOnly))
        throw EFOpenError(inPath);
    const Layout layout = readLayout(in);
    const TdeWaveFormat& source = layout.in;
    const qint64 inAlign = std::max<qint64>(1, source.blockAlign());

    QFile out(outPath);
    if (!out.open(QIODevice::ReadWrite | QIODevice::Truncate))
        throw EFOpenError(outPath);
    TdeRIFFAudioWriter writer(out);
    writer.SetFormat(target);
    bool writeFailed = false;
    auto toWriter = [&](const QByteArray& d) {
        try {
            writer.Write(d.constData(), d.size());
        } catch (const EWriteError&) {
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

    const bool encoding = source.formatTag() == wavetag::Pcm && target.formatTag() != wavetag::Pcm;
    Pass first(source, target, toWriter);
    if (!twoThreads) {
        first.run(in, layout.dataPosition, layout.dataBytes, inAlign);
        first.finish();
    } else {
        const qint64 units = layout.dataBytes / inUnit;
        const qint64 split = units / 2 * inUnit;
        const qint64 warmUnits = std::min(units / 2, (rate * kWarmUpSeconds + unitFrames - 1) / unitFrames);
        const qint64 checkUnits = std::max<qint64>(1, (rate * kAgreementSeconds + unitFrames - 1) / unitFrames);
        const qint64 headerBytes = 28 + TdeRIFFAudioWriter::FmtSize(target);
        const qint64 secondOffset = headerBytes + split / inUnit * outUnit;

        // The second half, on its own thread with its own file handles.
        QByteArray secondStart; // its first checkUnits of output, for the agreement test
        std::exception_ptr secondError;
        std::thread second([&] {
            try {
                QFile input(inPath);
                QFile output(outPath);
                if (!input.open(QIODevice::ReadOnly) || !output.open(QIODevice::ReadWrite))
                    throw EFOpenError(outPath);
                bool writeFailedHere = false; // never thrown across the converter's signal
                qint64 skip = warmUnits * outUnit;
                const qint64 keep = checkUnits * outUnit;
                if (!output.seek(secondOffset))
                    throw EWriteError();
                Pass pass(source, target, [&](const QByteArray& d) {
                    QByteArrayView view(d);
                    const qint64 dropped = std::min<qint64>(skip, view.size());
                    skip -= dropped;
                    view = view.sliced(dropped);
                    if (secondStart.size() < keep)
                        secondStart += view.first(std::min<qint64>(view.size(), keep - secondStart.size()));
                    if (!view.isEmpty() && output.write(view.data(), view.size()) != view.size())
                        writeFailedHere = true;
                });
                pass.run(input, layout.dataPosition + split - warmUnits * inUnit,
                         layout.dataBytes - split + warmUnits * inUnit, inAlign);
                pass.finish();
                if (writeFailedHere || !output.flush())
                    throw EWriteError();
            } catch (...) {
                secondError = std::current_exception();
            }
        });
        try {
            first.run(in, layout.dataPosition, split, inAlign);
        } catch (...) {
            second.join();
            throw;
        }
        second.join();
        if (secondError)
            std::rethrow_exception(secondError);

        // A decoder must give exactly the samples of a single pass: go on into the second half until both
        // agree for a whole check window. An encoder's second half is already a sound encoding after the
        // warm-up (an encoder's output is not unique), so it is taken as it is.
        if (!encoding) {
            QByteArray ours;
            first.setSink([&](const QByteArray& d) { ours += d; });
            first.run(in, layout.dataPosition + split, std::min(checkUnits * inUnit, layout.dataBytes - split),
                      inAlign);
            const bool agree = ours.size() == secondStart.size() && ours == secondStart;
            toWriter(ours);
            if (!agree) {
                // Never in step: this thread converts the rest itself, over what the other wrote.
                first.setSink(toWriter);
                const qint64 done = split + checkUnits * inUnit;
                first.run(in, layout.dataPosition + done, std::max<qint64>(0, layout.dataBytes - done), inAlign);
                first.finish();
            }
        }
        if (!out.seek(out.size()))
            throw EWriteError();
    }
    if (writeFailed)
        throw EWriteError();
    if (writer.WrittenBytes() > 0)
        writer.Finish();
    if (!out.flush())
        throw EWriteError();
}
