// Drawing of the signal trace into its bitmap.
#include "recorder/gui/SignalTrace.h"

#include "base/Prompter.h"

#include <QPainter>
#include <cmath>

namespace {

// Rounding to nearest with ties to even, as the trace has always been drawn.
int roundEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

} // namespace

int traceY(int value, int height) {
    return height - roundEven(static_cast<double>(value) * height / 254.0);
}

std::optional<QList<QPoint>> tracePoints(std::span<const uint8_t> block, int width, int height) {
    const auto n = static_cast<qsizetype>(block.size());
    if (n == 0)
        return QList<QPoint>{};
    if (n > 50 * static_cast<qsizetype>(std::max(width, 0)))
        return std::nullopt;
    const float step = static_cast<float>(width) / static_cast<float>(n);
    QList<QPoint> points;
    points.reserve(n);
    points.append(QPoint(0, traceY(block[0], height)));
    for (qsizetype i = 1; i < n; ++i)
        points.append(QPoint(roundEven(static_cast<double>(i) * step), traceY(block[static_cast<size_t>(i)], height)));
    return points;
}

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
    ClearDisplay();
}

void SignalTrace::DisplayData(const QByteArray& block) {
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
    if (!points->isEmpty()) {
        QPainter painter(&m_bitmap);
        painter.setPen(QPen(m_trace, 1));
        painter.drawPolyline(points->constData(), static_cast<int>(points->size()));
    }
    update();
}

void SignalTrace::ClearDisplay() {
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
    ClearDisplay();
}
