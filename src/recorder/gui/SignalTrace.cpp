// Drawing of the signal trace into its bitmap.
#include "recorder/gui/SignalTrace.h"

#include "base/Prompter.h"

#include <QPainter>

QColor colourFromStored(int stored) {
    return QColor(stored & 0xff, (stored >> 8) & 0xff, (stored >> 16) & 0xff);
}

SignalTrace::SignalTrace(Prompter& prompter, QWidget* parent) : QWidget(parent), m_prompter(prompter) {
    setObjectName(QStringLiteral("pBox"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SignalTrace::setColours(const QColor& back, const QColor& trace) {
    m_back = back;
    m_trace = trace;
    clearDisplay();
}

void SignalTrace::displayBlock(const QByteArray& block) {
    if (m_bitmap.size() != size())
        m_bitmap = QImage(size(), QImage::Format_RGB32);
    m_bitmap.fill(m_back);
    const auto* samples = reinterpret_cast<const uint8_t*>(block.constData());
    const auto points = tracePoints(std::span(samples, static_cast<size_t>(block.size())), width(), height());
    if (!points) {
        // Shown once until a block fits again: a recording hands over several blocks a second.
        if (!m_reportedTooMany) {
            m_reportedTooMany = true;
            m_prompter.message(QStringLiteral("Error \"DisplayData(a1:TDisp)\" Contact Brenmark support"),
                               Prompter::Icon::Error);
        }
        update();
        return;
    }
    m_reportedTooMany = false;
    drawLine(*points);
}

void SignalTrace::drawOverview(const QByteArray& stream) {
    if (m_bitmap.size() != size())
        m_bitmap = QImage(size(), QImage::Format_RGB32);
    m_bitmap.fill(m_back);
    const auto* samples = reinterpret_cast<const uint8_t*>(stream.constData());
    drawLine(overviewPoints(std::span(samples, static_cast<size_t>(stream.size())), width(), height()));
}

void SignalTrace::drawLine(const QList<QPoint>& points) {
    if (!points.isEmpty()) {
        QPainter painter(&m_bitmap);
        painter.setPen(QPen(m_trace, 1));
        painter.drawPolyline(points.constData(), static_cast<int>(points.size()));
    }
    update();
}

void SignalTrace::clearDisplay() {
    if (m_bitmap.size() != size())
        m_bitmap = QImage(size(), QImage::Format_RGB32);
    m_bitmap.fill(m_back);
    update();
}

void SignalTrace::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_bitmap.isNull())
        painter.fillRect(rect(), m_back);
    else
        painter.drawImage(0, 0, m_bitmap);
}

void SignalTrace::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    clearDisplay();
}
