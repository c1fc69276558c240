// One driver of the codec service: its format tags, the formats it offers and the conversions it opens.
#pragma once

#include "audio/CodecStream.h"
#include "audio/WaveFormat.h"

#include <QList>
#include <QString>
#include <memory>

class CodecDriver {
public:
    virtual ~CodecDriver() = default;
    virtual QString name() const = 0;
    /// The tag names of the tags this driver handles, e.g. "CCITT u-Law".
    virtual QString tagName(uint16_t tag) const = 0;
    virtual bool handlesTag(uint16_t tag) const = 0;
    /// Every format the driver offers, in its own order.
    virtual QList<WaveFormat> formats() const = 0;
    /// True and a PCM format in `pcm` when `source` is one of this driver's non-PCM tags.
    virtual bool suggestPcm(const WaveFormat& source, WaveFormat& pcm) const = 0;
    /// True when this driver converts directly from `source` to `destination`.
    virtual bool canConvert(const WaveFormat& source, const WaveFormat& destination) const = 0;
    /// The open stream (canConvert must hold).
    virtual std::unique_ptr<CodecStream> open(const WaveFormat& source, const WaveFormat& destination) const = 0;
};
