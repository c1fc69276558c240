// The decoding thread of the working copy and the hand-over of its blocks to the owner's thread.
#include "audio/WorkingCopyDecoder.h"

#include "audio/AudioConverter.h"
#include "audio/WavReader.h"

#include <QFile>
#include <QThread>
#include <stdexcept>
#include <vector>

WorkingCopyDecoder::WorkingCopyDecoder(QObject* parent) : QObject(parent) {}

WorkingCopyDecoder::~WorkingCopyDecoder() {
    stop();
}

void WorkingCopyDecoder::start(const QString& fileName, qint64 expectedBytes) {
    stop();
    clear();
    m_expected = expectedBytes;
    m_copy.reserve(static_cast<qsizetype>(std::max<qint64>(expectedBytes, 0)));
    const quint64 generation = ++m_generation;
    m_cancel = false;
    m_thread.reset(QThread::create([this, fileName, generation] { run(fileName, generation); }));
    m_thread->start(QThread::LowPriority);
}

void WorkingCopyDecoder::stop() {
    if (!m_thread)
        return;
    m_cancel = true;
    m_thread->wait();
    m_thread.reset();
    // Blocks already posted belong to a finished run; the generation check drops them.
    ++m_generation;
}

void WorkingCopyDecoder::clear() {
    m_copy = QByteArray();
    m_expected = 0;
    m_done = false;
    m_failed = false;
}

// On the decoding thread: nothing here touches the object's members but the cancel flag.
void WorkingCopyDecoder::run(const QString& fileName, quint64 generation) {
    bool ok = true;
    try {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("cannot open");
        WavReader reader(file);
        AudioConverter converter;
        converter.setFormatIn(reader.format());
        converter.setFormatOut(WaveFormat::workingFormat());
        QByteArray out;
        QObject::connect(&converter, &AudioConverter::audioConverted, [&out](const QByteArray& d) { out += d; });
        converter.open();
        const qint64 align = std::max<qint64>(1, reader.format().blockAlign());
        const qint64 block = std::max<qint64>(align, kBlockBytes / align * align);
        std::vector<char> buffer(static_cast<size_t>(block));
        reader.seekItem(0);
        for (qint64 got; !m_cancel && (got = reader.readNext(buffer.data(), block)) > 0;) {
            converter.convert(buffer.data(), got);
            if (!out.isEmpty()) {
                QMetaObject::invokeMethod(
                    this, [this, generation, out] { received(generation, out); }, Qt::QueuedConnection);
                out.clear();
            }
        }
        converter.close();
    } catch (...) {
        ok = false;
    }
    if (!m_cancel)
        QMetaObject::invokeMethod(
            this, [this, generation, ok] { ended(generation, ok); }, Qt::QueuedConnection);
}

void WorkingCopyDecoder::received(quint64 generation, const QByteArray& block) {
    if (generation == m_generation)
        m_copy.append(block);
}

void WorkingCopyDecoder::ended(quint64 generation, bool ok) {
    if (generation != m_generation)
        return;
    m_thread->wait();
    m_thread.reset();
    m_done = ok;
    m_failed = !ok;
    if (ok)
        Q_EMIT finished();
    else
        Q_EMIT decodingFailed();
}
