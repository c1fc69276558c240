// The signal trace: a paint box showing one block of 8-bit samples as a line, 0 at the bottom edge.
#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <span>

class Prompter;

/// Where each sample of a block lands in a trace of the given size. Empty when the block has more
/// than 50 samples per pixel of width: such a trace would be a smear, so nothing is drawn.
std::optional<QList<QPoint>> tracePoints(std::span<const uint8_t> block, int width, int height);
/// The vertical position of a sample value: 0 at the bottom edge, 254 at the top.
int traceY(int value, int height);
/// A colour stored as 0x00BBGGRR in the configuration.
QColor colourFromStored(int stored);

class SignalTrace : public QWidget {
    Q_OBJECT
public:
    explicit SignalTrace(Prompter& prompter, QWidget* parent = nullptr);

    void setColours(const QColor& back, const QColor& trace);
    /// Draws one block of working-format samples over the whole width.
    void DisplayData(const QByteArray& block);
    void ClearDisplay();
    const QImage& bitmap() const { return m_bitmap; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Prompter& m_prompter;
    QImage m_bitmap;
    QColor m_back = Qt::black;
    QColor m_trace = Qt::green;
    bool m_reportedTooMany = false;
};
