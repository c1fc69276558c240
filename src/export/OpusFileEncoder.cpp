// Mono Opus in an Ogg file: voice signal type, the bit rate asked for, Vorbis comments for the tags.
#include "export/OpusFileEncoder.h"

#include "export/ExportError.h"
#include "export/TagFields.h"

#include <QFile>
#include <opusenc.h>

namespace {

[[noreturn]] void fail(const QString& path, int error) {
    throw ExportError(QStringLiteral("Cannot encode %1 as Opus: %2").arg(path, QString::fromUtf8(ope_strerror(error))));
}

// The stream runs at 48 kHz whatever the input; a telephone recording holds nothing above half its
// own rate, so the encoder need not look for it.
int bandwidthFor(int sampleRate) {
    if (sampleRate <= 8000)
        return OPUS_BANDWIDTH_NARROWBAND;
    if (sampleRate <= 12000)
        return OPUS_BANDWIDTH_MEDIUMBAND;
    if (sampleRate <= 16000)
        return OPUS_BANDWIDTH_WIDEBAND;
    return OPUS_BANDWIDTH_FULLBAND;
}

} // namespace

OpusFileEncoder::~OpusFileEncoder() {
    release();
}

void OpusFileEncoder::release() {
    if (m_encoder)
        ope_encoder_destroy(m_encoder);
    if (m_comments)
        ope_comments_destroy(m_comments);
    m_encoder = nullptr;
    m_comments = nullptr;
}

void OpusFileEncoder::open(const QString& path, int sampleRate, const RecordingTags& tags) {
    release();
    m_path = path;
    m_comments = ope_comments_create();
    if (!m_comments)
        fail(path, OPE_ALLOC_FAIL);
    for (const auto& [name, value] : tagFields(tags))
        if (const int error = ope_comments_add(m_comments, name.constData(), value.constData()); error != OPE_OK)
            fail(path, error);
    int error = OPE_OK;
    m_encoder = ope_encoder_create_file(QFile::encodeName(path).constData(), m_comments, sampleRate, 1, 0, &error);
    if (!m_encoder)
        fail(path, error);
    if ((error = ope_encoder_ctl(m_encoder, OPUS_SET_BITRATE(m_bitRate))) != OPE_OK ||
        (error = ope_encoder_ctl(m_encoder, OPUS_SET_SIGNAL(OPUS_SIGNAL_VOICE))) != OPE_OK ||
        (error = ope_encoder_ctl(m_encoder, OPUS_SET_MAX_BANDWIDTH(bandwidthFor(sampleRate)))) != OPE_OK)
        fail(path, error);
}

void OpusFileEncoder::write(std::span<const int16_t> samples) {
    if (samples.empty())
        return;
    if (const int error = ope_encoder_write(m_encoder, samples.data(), static_cast<int>(samples.size()));
        error != OPE_OK)
        fail(m_path, error);
}

void OpusFileEncoder::finish() {
    if (const int error = ope_encoder_drain(m_encoder); error != OPE_OK)
        fail(m_path, error);
    release();
}
