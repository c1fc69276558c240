// The caller identification pop-up: shaped gradient panel with shadow, picture and two text lines.
#include "modem/gui/CallerIdPopup.h"

#include "modem/CallDetector.h"

#include <QApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>

namespace {

QFont tahoma(bool bold) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(12);
    font.setBold(bold);
    return font;
}

} // namespace

CallerIdPopup::CallerIdPopup(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      m_picture(new QLabel(this)), m_title(new QLabel(this)), m_caller(new QLabel(this)) {
    setObjectName(QStringLiteral("fmCallerID"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(kWidth, kHeight);

    m_picture->setObjectName(QStringLiteral("imgCaller"));
    m_picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(24, 24));
    m_picture->setGeometry(8, 10, 24, 24);

    m_title->setObjectName(QStringLiteral("lbIncoming"));
    m_title->setTextFormat(Qt::PlainText);
    m_title->setText(QStringLiteral("INCOMING CALL"));
    m_title->setFont(tahoma(true));
    m_title->setGeometry(38, 12, kWidth - kShadow - 42, 18);

    m_caller->setObjectName(QStringLiteral("lbCaller"));
    m_caller->setTextFormat(Qt::PlainText);
    m_caller->setTextInteractionFlags(Qt::NoTextInteraction);
    m_caller->setFont(tahoma(false));
    m_caller->setGeometry(10, 38, kWidth - kShadow - 16, 18);
}

void CallerIdPopup::follow(CallDetector& calls, std::function<QString(const QString&)> describe) {
    if (describe)
        connect(&calls, &CallDetector::callerIdShown, this,
                [this, describe = std::move(describe)](const QString& text) { showCaller(describe(text)); });
    else
        connect(&calls, &CallDetector::callerIdShown, this, &CallerIdPopup::showCaller);
    connect(&calls, &CallDetector::callerIdHidden, this, &QWidget::hide);
}

void CallerIdPopup::showCaller(const QString& text) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
    move(area.x() + area.width() - 200, area.y() + area.height() - 105);
    // A report of several lines shows on the one line there is.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
    m_caller->setText(shown);
    show();
    raise();
}

QString CallerIdPopup::callerText() const {
    return m_caller->text();
}

void CallerIdPopup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF panel(0.5, 0.5, kWidth - kShadow - 1, kHeight - kShadow - 1);
    QPainterPath shape;
    shape.addRoundedRect(panel, 8, 8);
    painter.fillPath(shape.translated(kShadow, kShadow), QColor(0, 0, 0, 90));
    QLinearGradient fill(panel.topLeft(), panel.bottomLeft());
    fill.setColorAt(0, QColor(255, 255, 240));
    fill.setColorAt(1, QColor(200, 215, 245));
    painter.fillPath(shape, fill);
    painter.setPen(QColor(90, 110, 150));
    painter.drawPath(shape);
}
