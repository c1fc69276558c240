// The converter's chain building (direct, through one or two PCM formats) and its block pass.
#include "audio/AudioConverter.h"

#include "audio/AudioErrors.h"
#include "audio/CodecService.h"

namespace {
const QString kWhileActive = QStringLiteral("Cannot perform this action while active.");
const QString kWhileNotActive = QStringLiteral("Cannot perform this action while not active.");
const QString kNotPossible = QStringLiteral("Conversion not possible.");
} // namespace

AudioConverter::AudioConverter(QObject* parent) : QObject(parent) {}

AudioConverter::~AudioConverter() {
    if (m_active)
        close();
}

void AudioConverter::setRequestRealTime(bool value) {
    if (m_active)
        throw AudioConversionError(kWhileActive);
    m_requestRealTime = value;
}

void AudioConverter::setActive(bool value) {
    if (value == m_active)
        return;
    if (value)
        open();
    else
        close();
}

bool AudioConverter::query(const WaveFormat& from, const WaveFormat& to) const {
    return CodecService::streamOpen(nullptr, from, to, !m_requestRealTime) == AcmResult::NoError;
}

WaveFormat AudioConverter::suggestPcm(const WaveFormat& source, const WaveFormat& start) const {
    WaveFormat suggestion = start;
    suggestion.setFormatTag(wavetag::Pcm);
    acmCheck<AudioConversionError>(CodecService::formatSuggest(source, suggestion));
    return suggestion;
}

void AudioConverter::buildChain() {
    const WaveFormat a = m_formatIn;
    const WaveFormat b = m_formatOut;
    m_chain = {a};
    if (!query(a, b)) {
        const WaveFormat p1 = suggestPcm(a, a);
        if (!query(a, p1))
            throw AudioConversionError(kNotPossible);
        if (!p1.sameFormat(a) && !p1.sameFormat(b))
            m_chain.append(p1);
        if (!query(p1, b)) {
            const WaveFormat p2 = suggestPcm(b, p1);
            if (!query(p1, p2) || !query(p2, b))
                throw AudioConversionError(kNotPossible);
            if (!p2.sameFormat(p1) && !p2.sameFormat(b))
                m_chain.append(p2);
        }
    }
    m_chain.append(b);
}

void AudioConverter::open() {
    if (m_active)
        throw AudioConversionError(kWhileActive);
    buildChain();
    m_stages.clear();
    for (qsizetype i = 0; i + 1 < m_chain.size(); ++i)
        m_stages.push_back(
            std::make_unique<ConverterStage>(m_chain[i], m_chain[i + 1], m_requestRealTime, m_masksFpuExceptions));
    try {
        for (auto& stage : m_stages)
            stage->open();
    } catch (...) {
        m_stages.clear(); // closes the stages already opened
        m_chain.clear();
        throw;
    }
    m_active = true;
}

void AudioConverter::close() {
    if (!m_active)
        throw AudioConversionError(kWhileNotActive);
    m_stages.clear();
    m_chain.clear();
    m_active = false;
}

void AudioConverter::pushFrom(size_t stage, const uint8_t* data, size_t count) {
    for (size_t i = stage; i < m_stages.size() && count > 0; ++i) {
        count = m_stages[i]->convert(data, count);
        data = m_stages[i]->output();
    }
    if (count > 0)
        emit audioConverted(
            QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(count)));
}

void AudioConverter::convert(const void* buffer, qint64 count) {
    if (!m_active)
        throw AudioConversionError(kWhileNotActive);
    pushFrom(0, static_cast<const uint8_t*>(buffer), static_cast<size_t>(count));
}

void AudioConverter::flush() {
    if (!m_active)
        throw AudioConversionError(kWhileNotActive);
    // Stage by stage: what a padded stage gives travels through the later stages, which are then
    // padded in turn. Output is gathered so the owner hears of it once.
    QByteArray gathered;
    for (size_t i = 0; i < m_stages.size(); ++i) {
        size_t count = m_stages[i]->flushPadded();
        const uint8_t* data = m_stages[i]->output();
        for (size_t j = i + 1; j < m_stages.size() && count > 0; ++j) {
            count = m_stages[j]->convert(data, count);
            data = m_stages[j]->output();
        }
        if (count > 0)
            gathered.append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(count));
    }
    if (!gathered.isEmpty())
        emit audioConverted(gathered);
}
