// The codec service: driver table, format texts, suggestion, stream calls with their result codes.
#include "audio/CodecService.h"

#include "audio/AudioErrors.h"
#include "audio/CodecDriver.h"
#include "audio/drivers/G711Driver.h"
#include "audio/drivers/GsmDriver.h"
#include "audio/drivers/ImaAdpcmDriver.h"
#include "audio/drivers/MsAdpcmDriver.h"
#include "audio/drivers/PcmDriver.h"

namespace CodecService {

const QList<const CodecDriver*>& drivers() {
    // Stateless and constant: one table for the whole run.
    static const PcmDriver pcmDriver;
    static const G711Driver g711Driver;
    static const ImaAdpcmDriver imaDriver;
    static const MsAdpcmDriver msDriver;
    static const GsmDriver gsmDriver;
    static const QList<const CodecDriver*> list = {&pcmDriver, &g711Driver, &imaDriver, &msDriver, &gsmDriver};
    return list;
}

namespace {

const CodecDriver* driverForTag(uint16_t tag) {
    for (const CodecDriver* driver : drivers())
        if (driver->handlesTag(tag))
            return driver;
    return nullptr;
}

const CodecDriver* driverFor(const WaveFormat& source, const WaveFormat& destination) {
    for (const CodecDriver* driver : drivers())
        if (driver->canConvert(source, destination))
            return driver;
    return nullptr;
}

} // namespace

int formatTagDetails(uint16_t tag, QString* name) {
    const CodecDriver* driver = driverForTag(tag);
    if (!driver)
        return AcmResult::NotSupported;
    if (name)
        *name = driver->tagName(tag);
    return AcmResult::NoError;
}

QString formatText(const WaveFormat& format) {
    const uint32_t rate = format.samplesPerSec();
    QString text = QStringLiteral("%1.%2 kHz").arg(rate / 1000).arg(rate % 1000, 3, 10, QLatin1Char('0'));
    if (format.bitsPerSample() != 0)
        text += QStringLiteral(", %1 Bit").arg(format.bitsPerSample());
    switch (format.channels()) {
    case 1:
        text += QStringLiteral(", Mono");
        break;
    case 2:
        text += QStringLiteral(", Stereo");
        break;
    default:
        text += QStringLiteral(", %1 Channels").arg(format.channels());
    }
    return text;
}

int formatDetails(const WaveFormat& format, QString* text) {
    if (!driverForTag(format.formatTag()))
        return AcmResult::NotSupported;
    if (text)
        *text = formatText(format);
    return AcmResult::NoError;
}

int formatSuggest(const WaveFormat& source, WaveFormat& destination) {
    if (destination.formatTag() != wavetag::Pcm)
        return AcmResult::NotPossible;
    for (const CodecDriver* driver : drivers())
        if (driver->suggestPcm(source, destination))
            return AcmResult::NoError;
    return AcmResult::NotPossible;
}

int streamOpen(std::unique_ptr<CodecStream>* stream, const WaveFormat& source, const WaveFormat& destination,
               bool nonRealTime) {
    (void)nonRealTime; // every conversion here is fast enough for real time
    const CodecDriver* driver = driverFor(source, destination);
    if (!driver)
        return AcmResult::NotPossible;
    if (!stream)
        return AcmResult::NoError;
    try {
        *stream = driver->open(source, destination);
    } catch (const std::bad_alloc&) {
        return AcmResult::NoMemory;
    }
    return AcmResult::NoError;
}

int streamClose(std::unique_ptr<CodecStream>& stream) {
    if (!stream)
        return AcmResult::InvalidHandle;
    stream.reset();
    return AcmResult::NoError;
}

int streamSize(CodecStream* stream, size_t sourceBytes, size_t* destinationBytes) {
    if (!stream)
        return AcmResult::InvalidHandle;
    if (!destinationBytes)
        return AcmResult::InvalidParam;
    *destinationBytes = stream->destinationBytes(sourceBytes);
    return AcmResult::NoError;
}

int streamPrepareHeader(CodecStream* stream, AcmStreamHeader& header) {
    if (!stream)
        return AcmResult::InvalidHandle;
    if (!header.source || !header.destination || header.sourceCapacity == 0 || header.destinationCapacity == 0)
        return AcmResult::InvalidParam;
    if (header.prepared)
        return AcmResult::Busy;
    header.prepared = true;
    return AcmResult::NoError;
}

int streamUnprepareHeader(CodecStream* stream, AcmStreamHeader& header) {
    if (!stream)
        return AcmResult::InvalidHandle;
    if (!header.prepared)
        return AcmResult::StreamUnprepared;
    header.prepared = false;
    return AcmResult::NoError;
}

int streamConvert(CodecStream* stream, AcmStreamHeader& header, bool wholeBlocks) {
    (void)wholeBlocks; // every stream consumes whole source blocks only
    if (!stream)
        return AcmResult::InvalidHandle;
    if (!header.prepared)
        return AcmResult::StreamUnprepared;
    if (header.sourceLength > header.sourceCapacity)
        return AcmResult::InvalidParam;
    size_t used = 0;
    header.destinationLength =
        stream->convert({header.source, header.sourceLength}, {header.destination, header.destinationCapacity}, used);
    header.sourceUsed = used;
    return AcmResult::NoError;
}

int streamReset(CodecStream* stream) {
    if (!stream)
        return AcmResult::InvalidHandle;
    stream->reset();
    return AcmResult::NoError;
}

QList<CodecListEntry> codecList() {
    QList<CodecListEntry> list;
    for (const CodecDriver* driver : drivers()) {
        CodecListEntry entry{driver->name(), {}};
        for (const WaveFormat& format : driver->formats()) {
            const int size = WaveFormat::kHeaderSize + format.extraSize();
            entry.formats.append({formatText(format), format.bytes().left(size)});
        }
        list.append(entry);
    }
    return list;
}

} // namespace CodecService
