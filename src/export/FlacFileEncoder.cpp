// Lossless mono 16-bit FLAC; libFLAC seeks back at the end to complete the stream information.
#include "export/FlacFileEncoder.h"

#include "export/ExportError.h"
#include "export/TagFields.h"

#include <FLAC/metadata.h>
#include <FLAC/stream_encoder.h>
#include <QFile>

FlacFileEncoder::~FlacFileEncoder() {
    release();
}

void FlacFileEncoder::release() {
    if (m_encoder)
        FLAC__stream_encoder_delete(m_encoder);
    if (m_comments)
        FLAC__metadata_object_delete(m_comments);
    m_encoder = nullptr;
    m_comments = nullptr;
}

void FlacFileEncoder::fail(const QString& why) const {
    throw ExportError(QStringLiteral("Cannot encode %1 as FLAC: %2").arg(m_path, why));
}

void FlacFileEncoder::open(const QString& path, int sampleRate, const RecordingTags& tags) {
    release();
    m_path = path;
    m_encoder = FLAC__stream_encoder_new();
    m_comments = FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT);
    if (!m_encoder || !m_comments)
        fail(QStringLiteral("out of memory"));
    for (const auto& [name, value] : tagFields(tags)) {
        FLAC__StreamMetadata_VorbisComment_Entry entry;
        if (!FLAC__metadata_object_vorbiscomment_entry_from_name_value_pair(&entry, name.constData(),
                                                                            value.constData()) ||
            !FLAC__metadata_object_vorbiscomment_append_comment(m_comments, entry, false))
            fail(QStringLiteral("the tag %1 cannot be written").arg(QString::fromLatin1(name)));
    }
    FLAC__stream_encoder_set_channels(m_encoder, 1);
    FLAC__stream_encoder_set_bits_per_sample(m_encoder, 16);
    FLAC__stream_encoder_set_sample_rate(m_encoder, static_cast<unsigned>(sampleRate));
    FLAC__stream_encoder_set_compression_level(m_encoder, static_cast<unsigned>(m_level));
    FLAC__stream_encoder_set_metadata(m_encoder, &m_comments, 1);
    const FLAC__StreamEncoderInitStatus status =
        FLAC__stream_encoder_init_file(m_encoder, QFile::encodeName(path).constData(), nullptr, nullptr);
    if (status != FLAC__STREAM_ENCODER_INIT_STATUS_OK) {
        const QString why = status == FLAC__STREAM_ENCODER_INIT_STATUS_ENCODER_ERROR
                                ? QString::fromUtf8(FLAC__stream_encoder_get_resolved_state_string(m_encoder))
                                : QString::fromUtf8(FLAC__StreamEncoderInitStatusString[status]);
        fail(why);
    }
}

void FlacFileEncoder::write(std::span<const int16_t> samples) {
    m_wide.assign(samples.begin(), samples.end());
    if (!FLAC__stream_encoder_process_interleaved(m_encoder, m_wide.data(), static_cast<unsigned>(m_wide.size())))
        fail(QString::fromUtf8(FLAC__stream_encoder_get_resolved_state_string(m_encoder)));
}

void FlacFileEncoder::finish() {
    if (!FLAC__stream_encoder_finish(m_encoder))
        fail(QString::fromUtf8(FLAC__stream_encoder_get_resolved_state_string(m_encoder)));
    release();
}
