// The "Settings" window: six tabs over the one settings model.
#pragma once

#include "settings/SettingsEditor.h"
#include "settings/SettingsModemAccess.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QList>
#include <functional>
#include <memory>
#include <optional>

class FormatChooser;
class Prompter;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class SettingsModel;

/// Created once at start and shown modally any number of times. The controls show the settings
/// model and edit it as the user works; OK stores it (SettingsEditor::confirm), Cancel reloads it.
/// Gains and the compression choice are the dialog's own until OK, as they are part of the modem
/// profile rather than settings.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    enum Tab { General, Modem, Parameters, MediaPlayer, Monitor, AutoRecord };

    SettingsDialog(SettingsModel& model, Prompter& prompter, QWidget* parent = nullptr);
    ~SettingsDialog() override;

    /// The compression list, the voice-features flag and "Find modems"; without it the dialog
    /// offers no compressions and finds no modems.
    void setModemSide(SettingsModemAccess* side) { m_modemSide = side; }
    /// The format chooser of "Choose"; the codec service's chooser dialog when null.
    void setFormatChooser(FormatChooser* chooser) { m_chooser = chooser; }
    /// The font and colour choosers ("Choose", "Background", "Trace"); Qt's dialogs unless replaced.
    std::function<std::optional<QFont>(const QFont& current)> chooseFont;
    std::function<std::optional<QColor>(const QColor& current)> chooseColour;

    QTabWidget* tabs() const { return m_tabs; }

public Q_SLOTS:
    /// OK: stores the settings; the dialog stays open when the codec matcher refuses the compression.
    void accept() override;
    /// Cancel (and Escape or the close button): the settings are loaded again, edits are dropped.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildGeneral();
    QWidget* buildModem();
    QWidget* buildParameters();
    QWidget* buildMediaPlayer();
    QWidget* buildMonitor();
    QWidget* buildAutoRecord();
    /// The mirror folder's row of the General tab (SettingsDialogMirror.cpp).
    QWidget* buildMirror(QWidget* page);
    void browseMirror();
    void connectControls();

    void prepareShow();
    void showModel();
    void updateEnables();
    void fillCompressionList();
    void showGains();
    void parametersShown();
    void showModemLabels(bool found, int defaultPort);

    void chooseFileCompression();
    void chooseListFont();
    /// The lists' text colour, stored as FontColor with the font.
    void chooseFontColour();
    void chooseTraceColour(bool background);
    void browsePlayer();
    void findModems();
    void showError(const std::exception& e);

    SettingsModel& m_model;
    SettingsEditor m_editor;
    Prompter& m_prompter;
    SettingsModemAccess* m_modemSide = nullptr;
    FormatChooser* m_chooser = nullptr;
    std::unique_ptr<FormatChooser> m_ownChooser;
    QList<CompressionChoice> m_choices; ///< the records behind the compression list
    bool m_callerIdAvailable = true;

    QTabWidget* m_tabs = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    // General
    QLabel* m_fileFormatLabel = nullptr;
    QLabel* m_fontsLabel = nullptr;
    QCheckBox* m_loadAtStartupBox = nullptr;
    QCheckBox* m_startToTrayBox = nullptr;
    QCheckBox* m_callerIdBox = nullptr;
    QComboBox* m_attachAsCombo = nullptr;
    QSpinBox* m_diskFloorSpin = nullptr;
    QLineEdit* m_homeCountryEdit = nullptr;
    // Modem
    QLabel* m_modemModelLabel = nullptr;
    QLabel* m_modemPortLabel = nullptr;
    QSpinBox* m_timeOutSpin = nullptr;
    QComboBox* m_compressionCombo = nullptr;
    QComboBox* m_baudRateCombo = nullptr;
    QComboBox* m_flowControlCombo = nullptr;
    QPushButton* m_findModemsButton = nullptr;
    // Parameters
    QSlider* m_speakerVolumeSlider = nullptr;
    QSlider* m_recordGainSlider = nullptr;
    // Media player
    QCheckBox* m_externalPlayerBox = nullptr;
    QLineEdit* m_externalPlayerEdit = nullptr;
    QPushButton* m_browse = nullptr;
    // Monitor
    QCheckBox* m_tracePlayBox = nullptr;
    QCheckBox* m_traceRecordBox = nullptr;
    QComboBox* m_tracePointsCombo = nullptr;
    QLabel* m_backColorLabel = nullptr;
    QLabel* m_traceColorLabel = nullptr;
    // Auto record
    QCheckBox* m_autoModeBox = nullptr;
    QCheckBox* m_recordOutgoingBox = nullptr;
    QGroupBox* m_conditions = nullptr;
    QSpinBox* m_disconnectTimeSpin = nullptr;
    QCheckBox* m_rejectCallBox = nullptr;
    QSpinBox* m_rejectRingsSpin = nullptr;
    // Mirror folder
    QLineEdit* m_mirrorEdit = nullptr;
};
