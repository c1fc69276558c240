// The signal trace: a paint box showing 8-bit samples as a line, 0 at the bottom edge.
#pragma once

#include "audio/TraceGeometry.h"

#include <QImage>
#include <QWidget>

class Prompter;

/// A colour stored as 0x00BBGGRR in the configuration.
QColor colourFromStored(int stored);

class SignalTrace : public QWidget {
    Q_OBJECT
public:
    explicit SignalTrace(Prompter& prompter, QWidget* parent = nullptr);

    void setColours(const QColor& back, const QColor& trace);
    /// Draws one block of working-format samples over the whole width.
    void displayBlock(const QByteArray& block);
    /// Draws a whole stream of working-format samples over the whole width.
    void drawOverview(const QByteArray& stream);
    void clearDisplay();
    const QImage& bitmap() const { return m_bitmap; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void drawLine(const QList<QPoint>& points);

    Prompter& m_prompter;
    QImage m_bitmap;
    QColor m_back = Qt::black;
    QColor m_trace = Qt::green;
    bool m_reportedTooMany = false;
};
