// The encoder of each compressed copy format.
#include "export/SoundEncoder.h"

#include "export/FlacFileEncoder.h"
#include "export/Mp3FileEncoder.h"
#include "export/OpusFileEncoder.h"

std::unique_ptr<SoundEncoder> makeSoundEncoder(CopyFormat format, const EncoderSettings& settings) {
    switch (format) {
    case CopyFormat::Opus:
        return std::make_unique<OpusFileEncoder>(settings.opusBitRate);
    case CopyFormat::Mp3:
        return std::make_unique<Mp3FileEncoder>(settings.mp3BitRate);
    case CopyFormat::Flac:
        return std::make_unique<FlacFileEncoder>(settings.flacLevel);
    case CopyFormat::Wav:
        break;
    }
    return nullptr;
}
