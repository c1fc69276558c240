// The trace's coordinates, rounded to the nearest pixel with ties to even as the trace has always been drawn.
#include "audio/TraceGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

int roundEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

// The horizontal scale, kept in single precision: the rounding of every x follows from it.
float scale(int width, qsizetype count) {
    return static_cast<float>(static_cast<double>(width) / static_cast<double>(count));
}

} // namespace

int traceY(int value, int height) {
    return height - roundEven(static_cast<double>(value) * height / 254.0);
}

std::optional<QList<QPoint>> tracePoints(std::span<const uint8_t> block, int width, int height) {
    const auto n = static_cast<qsizetype>(block.size());
    if (n == 0)
        return QList<QPoint>{};
    if (n > kTraceSamplesPerPixel * static_cast<qsizetype>(std::max(width, 0)))
        return std::nullopt;
    const float step = scale(width, n);
    QList<QPoint> points;
    points.reserve(n);
    points.append(QPoint(0, traceY(block[0], height)));
    for (qsizetype i = 1; i < n; ++i)
        points.append(QPoint(roundEven(static_cast<double>(i) * step), traceY(block[static_cast<size_t>(i)], height)));
    return points;
}

QList<QPoint> overviewPoints(std::span<const uint8_t> stream, int width, int height) {
    const auto size = static_cast<qsizetype>(stream.size());
    QList<QPoint> points;
    if (size == 0 || width <= 0)
        return points;
    const float s = scale(width, size);
    int previous = stream[0];
    auto sampleAt = [&](qsizetype index) {
        if (index < size)
            previous = stream[static_cast<size_t>(index)];
        return previous;
    };
    points.append(QPoint(0, traceY(previous, height)));
    const qsizetype dense = static_cast<qsizetype>(kTraceSamplesPerPixel) * width;
    if (size > dense) {
        const qsizetype step = size / dense;
        const qsizetype count = size / step;
        points.reserve(count + 1);
        for (qsizetype j = 1; j <= count; ++j)
            points.append(QPoint(roundEven(static_cast<double>(j * step) * s), traceY(sampleAt(1 + j * step), height)));
    } else {
        points.reserve(size + 1);
        for (qsizetype k = 1; k <= size; ++k)
            points.append(QPoint(roundEven(static_cast<double>(k) * s), traceY(sampleAt(k), height)));
    }
    return points;
}
