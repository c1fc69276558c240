// The caller identification pop-up: a small borderless panel above the taskbar corner.
#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class CallDetector;

/// Shows "INCOMING CALL" and the caller text the modem reported. The caller text comes from the
/// telephone line and is shown as plain text only.
class CallerIdPopup : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 152;
    static constexpr int kHeight = 70;
    static constexpr int kShadow = 4;

    explicit CallerIdPopup(QWidget* parent = nullptr);

    /// Follows call detection: shown with each caller identification, hidden when it says so.
    /// `describe`, when given, turns the reported text into the one shown (the contact's name added).
    void follow(CallDetector& calls, std::function<QString(const QString&)> describe = {});
    /// Places the pop-up 200 pixels left of the screen's right edge and 105 above its bottom, puts
    /// `text` into the second line and shows it.
    void showCaller(const QString& text);
    QString callerText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_picture;
    QLabel* m_title;
    QLabel* m_caller;
};
