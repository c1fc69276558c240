// The main window "Orlamo": top bar, trace, controls, folder tree, recordings list, status bar, tray.
#pragma once

#include "gui/MainCommands.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class CallLogView;
class Catalogue;
class Config;
class DeveloperKeys;
class FolderListCommands;
class Logger;
class Prompter;
class QAction;
class QFrame;
class QHeaderView;
class QLabel;
class QMenu;
class QSlider;
class QSplitter;
class QTabWidget;
class QTableView;
class QToolButton;
class QTreeView;
class RecordingsListModel;
class RecordingsListView;
class SettingsModel;
class SignalTrace;
class TrayIcon;
struct StartOptions;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kMinimumWidth = 450;
    static constexpr int kMinimumHeight = 500;
    /// The folder panel's width at the design size of the window.
    static constexpr int kDesignFolderWidth = 113;

    /// Created once the program has opened the catalogue and the configuration: geometry, start in
    /// the tray, caption, playback device check; the folder tree and the recordings list show
    /// `catalogue`. The catalogue, the logger and the prompter outlive the window; the configuration
    /// is held until releaseConfiguration().
    MainWindow(Config& config, Catalogue& catalogue, Logger& logger, Prompter& prompter, const StartOptions& options,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    /// Set by the composition root once the controllers exist.
    std::function<bool()> isRecording;   ///< a recording is in progress
    std::function<void()> stopRecording; ///< the full Stop action
    std::function<void()> closeSequence; ///< the ordered close steps
    /// A logout or SIGTERM: a running recording is stopped without asking.
    bool forcedClose = false;

    /// The commands and the menu items the window handles; their objectNames are the component names.
    const MainActions& actions() const { return m_commands->actions(); }

    bool hasPlaybackDevice() const { return m_hasPlaybackDevice; }
    QTreeView* tree() const { return m_tree; }
    RecordingsListView* recordingsList() const { return m_list; }
    QHeaderView* recordingsHeader() const { return m_header; }
    /// The "Recordings" and "Calls" pages beside the lists, and the call log on the second.
    QTabWidget* pages() const { return m_pages; }
    CallLogView* callLogView() const { return m_callLogView; }
    TrayIcon* tray() const { return m_tray; }
    QSlider* positionBar() const { return m_position; }
    QSlider* volumeSlider() const { return m_volume; }
    SignalTrace* trace() const { return m_trace; }
    /// The Rewind and Fast forward buttons: held down, they seek on.
    QToolButton* rewindButton() const { return m_rewindButton; }
    QToolButton* fastForwardButton() const { return m_fastForwardButton; }
    int splitterWidth() const;
    /// The ids the user marked in the list, in marking order.
    QStringList markedIds() const;

    /// Volume, fonts, folder panel width and column widths from the configuration and `settings`
    /// (start and after the settings).
    void applyLayout(const SettingsModel& settings);
    /// After the configuration is applied: Rewind and Fast forward off, the first recording current,
    /// and the commands enabled by the recording count.
    void resetListControls();
    /// Geometry, volume, splitter and column widths to the configuration (close step).
    void writeGeometry();
    /// The program has released the configuration: the window reads and writes it no more.
    void releaseConfiguration() { m_config = nullptr; }
    void showFromTray();
    /// The first status panel: " Modem on" or " Modem off".
    void setModemStatus(const QString& text);
    QString modemStatus() const;
    /// The second and third panels: the configured port and modem model.
    void refreshModemPanels();
    QString statusPanel(int index) const;
    /// Whether Record may be used (the program decides: voice features, and the port not lost).
    /// What keeps the recorder from recording (empty: nothing), shown in the status bar and the
    /// tray icon's tool tip.
    void setRecordingProblem(const QString& problem);
    QString recordingProblem() const;
    /// The free space as hours of recording, in the status bar; while it is below the floor, `warning`
    /// is shown in red there and in the tray icon's tool tip.
    void setDiskSpace(const QString& summary, const QString& warning);
    QString diskSpace() const;
    void setRecordEnabled(bool on);
    /// A command failed with this text: shown as an error, the program goes on.
    void showError(const QString& text);
    /// The check marks of the modem menu items: On while the port is open, Off while it is closed.
    void setModemPortOpen(bool open);
    bool recordEnabled() const { return m_commandState.recordAvailable; }
    /// The Record button is down while a recording starts or runs; the modem menus are then locked.
    void setRecording(bool on);
    /// The recorder's word on Stop (taken away while a recording's start sequence runs).
    void setStopEnabled(bool on);
    /// Playback takes Record away while it plays (and gives it back at its end).
    void setPlaybackAllowsRecord(bool on);
    /// The playback controller's state: playing or paused, Rewind and Fast forward offered,
    /// post-processing allowed.
    void setPlaybackActive(bool on);
    void setSeekOffered(bool on);
    void setPlaybackAllowsPostProcessing(bool on);
    /// The rows of the view, for the commands that need a recording.
    void setRecordingCount(int rows);

Q_SIGNALS:
    void firstShown();
    void modemOnRequested();
    void modemOffRequested();
    void recordRequested();
    void stopRequested();
    /// "Volume level" or "Voice equalizer" was chosen for this recording file ("wav/<name>.wav",
    /// relative to the working folder; already migrated).
    void volumeLevelRequested(const QString& wavPath);
    void voiceEqualizerRequested(const QString& wavPath);
    /// The developer keys: Alt+2, Alt+3, Alt+4, Alt+6.
    void loggerWindowRequested();
    void queryModemWindowRequested();
    void reprobeRequested();
    void redirectionEnabled();
    /// The close sequence has run; the program ends.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    QWidget* buildTopBar(QWidget* parent);
    QWidget* buildControlBar(QWidget* parent);
    QWidget* buildMainArea(QWidget* parent);
    void buildStatusBar();
    QToolButton* button(QWidget* parent, const char* name, QAction* action, const QString& hint);
    void connectWindowCommands();
    void attachCatalogue(Catalogue& catalogue);
    void connectListCommands(Catalogue& catalogue);
    void updateCommands();
    void updateListCommands();
    void fitMemoColumn();
    void headerSectionResized(int section, int newSize);
    void postProcessing(bool equalizer);
    bool closeRequest();

    Config* m_config;
    Logger& m_logger;
    Prompter& m_prompter;
    MainCommands* m_commands = nullptr;
    QFrame* m_tracePanel = nullptr;
    QSlider* m_position = nullptr;
    QSlider* m_volume = nullptr;
    QSplitter* m_splitter = nullptr;
    QTreeView* m_tree = nullptr;
    QHeaderView* m_header = nullptr;
    QTabWidget* m_pages = nullptr;
    CallLogView* m_callLogView = nullptr;
    RecordingsListView* m_list = nullptr;
    RecordingsListModel* m_listModel = nullptr;
    QMenu* m_listMenu = nullptr;
    QMenu* m_treeMenu = nullptr;
    QLabel* m_diskSpace = nullptr;
    TrayIcon* m_tray = nullptr;
    SignalTrace* m_trace = nullptr;
    QToolButton* m_rewindButton = nullptr;
    QToolButton* m_fastForwardButton = nullptr;
    std::array<QToolButton*, 4> m_navigatorButtons{}; ///< first, prior, next, last recording
    QToolButton* m_deleteButton = nullptr;
    QToolButton* m_searchButton = nullptr;
    QToolButton* m_emailButton = nullptr;
    QToolButton* m_helpButton = nullptr;
    DeveloperKeys* m_developerKeys = nullptr;
    Catalogue* m_catalogue = nullptr;
    std::unique_ptr<FolderListCommands> m_listCommands;
    bool m_hasPlaybackDevice = false;
    bool m_shownOnce = false;
    bool m_closing = false;
    CommandState m_commandState;
    QLabel* m_recordingProblem = nullptr;
    bool m_storedLayoutTaken = false;                 ///< the volume, panel and column widths of tvk.ini were applied
    std::array<int, 3> m_columnWidths = {75, 70, 70}; ///< Date, Time, Duration
    std::array<QLabel*, 3> m_statusPanels{};
};
