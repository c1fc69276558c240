// LAME writes the frames; the ID3v2 tag goes first and the Info frame (the exact length for
// players) is written over its placeholder at the end.
#include "export/Mp3FileEncoder.h"

#include "export/ExportError.h"
#include "library/RecordingTags.h"

#include <lame/lame.h>

namespace {

// The text frames take UTF-16 with a byte order mark, so callers' names keep every letter.
std::vector<unsigned short> utf16Text(const QString& text) {
    std::vector<unsigned short> units{0xFEFF};
    for (const QChar c : text)
        units.push_back(c.unicode());
    units.push_back(0);
    return units;
}

} // namespace

Mp3FileEncoder::~Mp3FileEncoder() {
    if (m_lame)
        lame_close(m_lame);
}

void Mp3FileEncoder::fail(const QString& why) const {
    throw ExportError(QStringLiteral("Cannot encode %1 as MP3: %2").arg(m_file.fileName(), why));
}

void Mp3FileEncoder::writeOut(const unsigned char* data, qint64 size) {
    if (size > 0 && m_file.write(reinterpret_cast<const char*>(data), size) != size)
        fail(m_file.errorString());
}

void Mp3FileEncoder::setTags(const RecordingTags& tags) {
    id3tag_init(m_lame);
    id3tag_v2_only(m_lame);
    const auto text = [this](const char* frame, const QString& value) {
        if (!value.isEmpty())
            id3tag_set_textinfo_utf16(m_lame, frame, utf16Text(value).data());
    };
    text("TIT2", tags.titleText());
    text("TPE1", tags.caller);
    if (tags.when.isValid()) {
        // ID3v2.3 keeps the date in three frames.
        text("TYER", tags.when.toString(QStringLiteral("yyyy")));
        text("TDAT", tags.when.toString(QStringLiteral("ddMM")));
        text("TIME", tags.when.toString(QStringLiteral("HHmm")));
    }
    if (!tags.memo.isEmpty())
        id3tag_set_comment_utf16(m_lame, "eng", utf16Text(QString()).data(), utf16Text(tags.memo).data());
}

void Mp3FileEncoder::open(const QString& path, int sampleRate, const RecordingTags& tags) {
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Truncate))
        fail(m_file.errorString());
    m_lame = lame_init();
    if (!m_lame)
        fail(QStringLiteral("out of memory"));
    lame_set_in_samplerate(m_lame, sampleRate);
    lame_set_out_samplerate(m_lame, outputRate(sampleRate));
    lame_set_num_channels(m_lame, 1);
    lame_set_mode(m_lame, MONO);
    lame_set_VBR(m_lame, vbr_off);
    lame_set_brate(m_lame, m_bitRate);
    setTags(tags);
    lame_set_write_id3tag_automatic(m_lame, 0);
    if (lame_init_params(m_lame) < 0)
        fail(QStringLiteral("the encoder does not take %1 Hz at %2 kbit/s").arg(sampleRate).arg(m_bitRate));
    m_buffer.resize(lame_get_id3v2_tag(m_lame, nullptr, 0));
    writeOut(m_buffer.data(), static_cast<qint64>(lame_get_id3v2_tag(m_lame, m_buffer.data(), m_buffer.size())));
    m_audioStart = m_file.pos();
}

void Mp3FileEncoder::write(std::span<const int16_t> samples) {
    // The size LAME's documentation gives for the worst case of one call.
    m_buffer.resize(samples.size() * 5 / 4 + 7200);
    const int got = lame_encode_buffer(m_lame, samples.data(), nullptr, static_cast<int>(samples.size()),
                                       m_buffer.data(), static_cast<int>(m_buffer.size()));
    if (got < 0)
        fail(QStringLiteral("error %1").arg(got));
    writeOut(m_buffer.data(), got);
}

void Mp3FileEncoder::finish() {
    m_buffer.resize(7200);
    const int got = lame_encode_flush(m_lame, m_buffer.data(), static_cast<int>(m_buffer.size()));
    if (got < 0)
        fail(QStringLiteral("error %1").arg(got));
    writeOut(m_buffer.data(), got);
    const size_t infoSize = lame_get_lametag_frame(m_lame, nullptr, 0);
    if (infoSize > 0) {
        m_buffer.resize(infoSize);
        lame_get_lametag_frame(m_lame, m_buffer.data(), m_buffer.size());
        if (!m_file.seek(m_audioStart))
            fail(m_file.errorString());
        writeOut(m_buffer.data(), static_cast<qint64>(infoSize));
    }
    if (!m_file.flush())
        fail(m_file.errorString());
    m_file.close();
}
