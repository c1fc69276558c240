// The codec service: fixed drivers (PCM, G.711, IMA ADPCM, MS ADPCM, GSM 6.10), format texts,
// PCM suggestion and block-wise conversion streams, reporting failures with the audio result codes.
#pragma once

#include "audio/CodecStream.h"
#include "audio/WaveFormat.h"

#include <QList>
#include <QString>
#include <memory>

class CodecDriver;

/// One format of a driver: its text and a copy of the format (18 + extra size bytes).
struct CodecFormatEntry {
    QString text;
    QByteArray format;
};

struct CodecListEntry {
    QString driverName;
    QList<CodecFormatEntry> formats;
};

/// The conversion header handed to the stream: source and destination buffers.
struct AcmStreamHeader {
    uint8_t* source = nullptr;
    size_t sourceCapacity = 0;
    size_t sourceLength = 0; ///< bytes to convert, set before each convert
    uint8_t* destination = nullptr;
    size_t destinationCapacity = 0;
    size_t sourceUsed = 0;        ///< set by convert
    size_t destinationLength = 0; ///< set by convert
    bool prepared = false;
};

namespace CodecService {
constexpr int kMaxTagNameLength = 48;
constexpr int kMaxFormatTextLength = 128;

/// Every driver, in enumeration order.
const QList<const CodecDriver*>& drivers();

/// The tag's name; AcmResult::NotSupported for an unknown tag.
int formatTagDetails(uint16_t tag, QString* name);
/// "8.000 kHz, 8 Bit, Mono"; AcmResult::NotSupported for a format no driver offers or converts.
int formatDetails(const WaveFormat& format, QString* text);
/// Fills `destination` (whose tag must be PCM) with the PCM format `source` converts to.
int formatSuggest(const WaveFormat& source, WaveFormat& destination);
/// Opens a stream; with `stream` null only asks whether the conversion exists (0 when it does,
/// AcmResult::NotPossible when not).
int streamOpen(std::unique_ptr<CodecStream>* stream, const WaveFormat& source, const WaveFormat& destination,
               bool nonRealTime);
int streamClose(std::unique_ptr<CodecStream>& stream);
/// Destination bytes for `sourceBytes`; 0 means there is not enough input yet.
int streamSize(CodecStream* stream, size_t sourceBytes, size_t* destinationBytes);
int streamPrepareHeader(CodecStream* stream, AcmStreamHeader& header);
int streamUnprepareHeader(CodecStream* stream, AcmStreamHeader& header);
/// Converts header.sourceLength bytes; with `wholeBlocks` only whole source blocks are consumed.
int streamConvert(CodecStream* stream, AcmStreamHeader& header, bool wholeBlocks);
int streamReset(CodecStream* stream);

/// The format text of a format, used by the list and the chooser.
QString formatText(const WaveFormat& format);
/// Every driver with its formats, in enumeration order.
QList<CodecListEntry> codecList();
} // namespace CodecService
