// The main window "Orlamo": trace, controls, folder tree, recordings list, status bar, tray.
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>

class Catalogue;
class Program;
class QAction;
class QFrame;
class QSlider;
class QSplitter;
class QStatusBar;
class QTableView;
class QTreeView;
class SignalTrace;
class TrayIcon;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    /// Created once the program has opened the catalogue and the configuration: geometry, start in
    /// the tray, caption, playback device check.
    explicit MainWindow(Program& program, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// Set by the composition root once the controllers exist.
    std::function<bool()> isRecording;   ///< a recording is in progress
    std::function<void()> stopRecording; ///< the full Stop action
    std::function<void()> closeSequence; ///< the ordered close steps
    /// A logout or SIGTERM: a running recording is stopped without asking.
    bool forcedClose = false;

    bool hasPlaybackDevice() const { return m_hasPlaybackDevice; }
    QTreeView* tree() const { return m_tree; }
    QTableView* recordingsList() const { return m_list; }
    TrayIcon* tray() const { return m_tray; }
    int splitterWidth() const;
    /// The folder tree and the recordings list show this catalogue from now on.
    void attachCatalogue(Catalogue& catalogue);
    /// Volume, folder panel width and column widths from the configuration (start and after the settings).
    void applyLayout();
    /// Geometry, splitter and column widths to the configuration (close step).
    void writeGeometry();
    void showFromTray();
    /// The first status panel: " Modem on" or " Modem off".
    void setModemStatus(const QString& text);
    /// Whether Record may be used (the program decides: voice features, and the port not lost).
    void setRecordEnabled(bool on);
    /// The check marks of the modem menu items: On while the port is open, Off while it is closed.
    void setModemPortOpen(bool open);
    bool recordEnabled() const { return m_recordEnabled; }
    /// The Record button is down while a recording starts or runs; the modem menus are then locked.
    void setRecording(bool on);
    void setStopEnabled(bool on);
    QString modemStatus() const;

    QAction* acModemOn() const { return m_acModemOn; }
    QAction* acModemOff() const { return m_acModemOff; }
    QAction* acRecord() const { return m_acRecord; }
    QAction* acStop() const { return m_acStop; }
    SignalTrace* trace() const { return m_trace; }

Q_SIGNALS:
    void firstShown();
    void modemOnRequested();
    void modemOffRequested();
    void recordRequested();
    void stopRequested();
    /// The close sequence has run; the program ends.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildLayout();
    QAction* itemFor(QAction* action, const QString& name);
    void buildActions();
    void updateRecordControls();
    bool closeRequest();

    Program& m_program;
    QFrame* m_tracePanel = nullptr;
    QSlider* m_position = nullptr;
    QSlider* m_volume = nullptr;
    QSplitter* m_splitter = nullptr;
    QTreeView* m_tree = nullptr;
    QTableView* m_list = nullptr;
    TrayIcon* m_tray = nullptr;
    QAction* m_acModemOn = nullptr;
    QAction* m_acModemOff = nullptr;
    QAction* m_acRecord = nullptr;
    QAction* m_acStop = nullptr;
    QAction* m_on1 = nullptr;
    QAction* m_off1 = nullptr;
    QAction* m_trayModemOn = nullptr;
    QAction* m_trayModemOff = nullptr;
    SignalTrace* m_trace = nullptr;
    bool m_hasPlaybackDevice = false;
    bool m_shownOnce = false;
    bool m_closing = false;
    bool m_recordEnabled = false;
    bool m_recording = false;
    std::array<int, 3> m_columnWidths = {75, 70, 70}; ///< Date, Time, Duration
    QList<class QLabel*> m_statusPanels;
};
