// Where the samples of the signal trace land: one block over the width, or a whole stream in overview.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <cstdint>
#include <optional>
#include <span>

/// Drawing more than this many samples per pixel of width would be a smear: a block that dense is refused.
constexpr int kTraceSamplesPerPixel = 50;

/// The vertical position of a sample value: 0 at the bottom edge, 254 at the top (H - round(v * H / 254)).
int traceY(int value, int height);
/// Where each sample of a block lands in a trace of the given size: sample i at x = round(i * W / N),
/// with W / N held in single precision and ties rounded to even. Empty when the block has more than
/// 50 samples per pixel of width: nothing is drawn then.
std::optional<QList<QPoint>> tracePoints(std::span<const uint8_t> block, int width, int height);
/// The polyline of a whole stream of working-format samples: every sample when there are at most 50 per
/// pixel, else every step-th one (step = S div (50 W)), each at round(index * W / S); a point past the
/// end repeats the sample before it. Empty for an empty stream or a trace without width.
QList<QPoint> overviewPoints(std::span<const uint8_t> stream, int width, int height);
