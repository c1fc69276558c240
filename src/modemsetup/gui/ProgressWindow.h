// The "Finding Modems..." window: progress of the modem search.
#pragma once

#include <QDialog>

class ModemSearch;
class QProgressBar;

/// A bar from 0 to 100, at 0 whenever the window is shown; it stays above other windows. The search
/// sets its caption; the diagnostics report shows it with its own.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent = nullptr);

    /// Shows, moves and closes the window as `search` reports.
    void follow(ModemSearch& search);
    void setProgress(int percent);
    int progress() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QProgressBar* m_bar;
};
