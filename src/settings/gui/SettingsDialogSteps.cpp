// The settings dialog at work: showing, OK, Cancel and the buttons.
#include "settings/gui/SettingsDialog.h"

#include "audio/gui/FormatChooserDialog.h"
#include "base/Prompter.h"
#include "settings/SettingsModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <memory>
#include <vector>

namespace {

/// A colour stored as 0x00BBGGRR.
QColor fromStored(int stored) {
    return QColor(stored & 0xFF, (stored >> 8) & 0xFF, (stored >> 16) & 0xFF);
}

int toStored(const QColor& colour) {
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

void paintSwatch(QLabel* swatch, int stored) {
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, fromStored(stored));
    swatch->setPalette(palette);
}

} // namespace

void SettingsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        prepareShow();
}

void SettingsDialog::prepareShow() {
    m_cancel->setEnabled(true);
    m_tabs->setCurrentIndex(General);
    try {
        m_editor.loadShownValues();
    } catch (const std::exception& e) {
        showError(e);
    }
    m_callerIdAvailable = m_editor.callerIdAvailable();
    const bool modem = m_editor.modemConfigured();
    showModemLabels(modem, 0);
    if (modem)
        fillCompressionList();
    m_compressionCombo->setEnabled(modem);
    showGains();
    m_fileFormatLabel->setText(m_model.fileCompression().formatDescription());
    m_fontsLabel->setText(m_editor.storedFontName());
    showModel();
    m_ok->setFocus(Qt::OtherFocusReason);
}

void SettingsDialog::showModemLabels(bool found, int defaultPort) {
    if (found) {
        m_modemModelLabel->setText(m_editor.modemModel());
        m_modemPortLabel->setText(QStringLiteral("Com ") + QString::number(m_editor.modemPort(defaultPort)));
    } else {
        m_modemModelLabel->setText(QStringLiteral("No modem detected"));
        m_modemPortLabel->setText(QStringLiteral("Com "));
    }
}

void SettingsDialog::fillCompressionList() {
    m_choices = m_modemSide ? m_modemSide->compressionChoices() : QList<CompressionChoice>();
    const QSignalBlocker quiet(m_compressionCombo);
    m_compressionCombo->clear();
    for (const CompressionChoice& choice : m_choices)
        m_compressionCombo->addItem(choice.text);
    const int index = m_editor.compressionIndex();
    m_compressionCombo->setCurrentIndex(index >= 0 && index < m_compressionCombo->count() ? index : -1);
}

void SettingsDialog::showGains() {
    // A gain the modem rejected ("none") leaves its slider where it was.
    if (const std::optional<int> level = m_editor.speakerLevel())
        m_speakerVolumeSlider->setValue(*level);
    if (const std::optional<int> level = m_editor.recordLevel())
        m_recordGainSlider->setValue(*level);
}

void SettingsDialog::parametersShown() {
    const std::pair<QSlider*, GainSpan> sliders[] = {{m_speakerVolumeSlider, m_editor.speakerSpan()},
                                                     {m_recordGainSlider, m_editor.recordSpan()}};
    for (const auto& [slider, span] : sliders) {
        slider->setRange(span.min, span.max);
        slider->setTickInterval(SettingsEditor::tickSpacing(span.max - span.min, slider->tickInterval()));
    }
    m_ok->setFocus(Qt::OtherFocusReason);
}

void SettingsDialog::showModel() {
    const SettingsModel& m = m_model;
    const QList<QObject*> controls = {
        m_loadAtStartupBox,  m_startToTrayBox,    m_callerIdBox,        m_timeOutSpin,   m_baudRateCombo,
        m_flowControlCombo,  m_externalPlayerBox, m_externalPlayerEdit, m_tracePlayBox,  m_traceRecordBox,
        m_tracePointsCombo,  m_autoModeBox,       m_disconnectTimeSpin, m_rejectCallBox, m_rejectRingsSpin,
        m_recordOutgoingBox, m_attachAsCombo,     m_diskFloorSpin};
    std::vector<std::unique_ptr<QSignalBlocker>> quiet;
    for (QObject* control : controls)
        quiet.push_back(std::make_unique<QSignalBlocker>(control));
    m_loadAtStartupBox->setChecked(m.startUp());
    m_startToTrayBox->setChecked(m.startToTray());
    m_callerIdBox->setChecked(m.callerId());
    m_timeOutSpin->setValue(m.timeout());
    m_baudRateCombo->setCurrentIndex(m.baudrateIndex());
    m_flowControlCombo->setCurrentIndex(m.flowControlIndex());
    m_externalPlayerBox->setChecked(m.extPlayer());
    if (m_externalPlayerEdit->text() != m.player())
        m_externalPlayerEdit->setText(m.player());
    m_tracePlayBox->setChecked(m.playTrace());
    m_traceRecordBox->setChecked(m.recordTrace());
    m_tracePointsCombo->setCurrentIndex(m.pointsIndex());
    paintSwatch(m_backColorLabel, m.backColor());
    paintSwatch(m_traceColorLabel, m.traceColor());
    m_autoModeBox->setChecked(m.autoRecord());
    m_recordOutgoingBox->setChecked(m.recordOutgoing());
    m_disconnectTimeSpin->setValue(m.discTime());
    m_rejectCallBox->setChecked(m.rejectCall());
    m_rejectRingsSpin->setValue(m.rejectRings());
    // setText() is no edit: the mirror's line needs no blocker.
    if (m_mirrorEdit->text() != m.mirrorFolder())
        m_mirrorEdit->setText(m.mirrorFolder());
    m_attachAsCombo->setCurrentIndex(m.attachAsIndex());
    m_diskFloorSpin->setValue(m.diskFloorMegabytes());
    if (m_homeCountryEdit->text().toUpper() != m.homeCountry())
        m_homeCountryEdit->setText(m.homeCountry());
    updateEnables();
}

void SettingsDialog::updateEnables() {
    const bool voice = !m_modemSide || m_modemSide->voiceFeatures();
    m_startToTrayBox->setEnabled(m_loadAtStartupBox->isChecked());
    m_callerIdBox->setEnabled(m_callerIdAvailable);
    m_externalPlayerEdit->setEnabled(m_externalPlayerBox->isChecked());
    m_browse->setEnabled(m_externalPlayerBox->isChecked());
    // Without voice features nothing is recorded, automatically or otherwise.
    m_autoModeBox->setEnabled(voice);
    // Calls the user makes are seen only by a modem that reports the handset.
    m_recordOutgoingBox->setEnabled(voice && m_modemSide && m_modemSide->reportsHandset());
    m_conditions->setEnabled(voice);
    for (QWidget* condition : {static_cast<QWidget*>(m_disconnectTimeSpin), static_cast<QWidget*>(m_rejectCallBox),
                               static_cast<QWidget*>(m_rejectRingsSpin)})
        condition->setEnabled(m_autoModeBox->isChecked());
    m_speakerVolumeSlider->setEnabled(voice);
    m_recordGainSlider->setEnabled(voice);
}

void SettingsDialog::accept() {
    SettingsConfirmation choice;
    choice.speakerLevel = m_speakerVolumeSlider->value();
    choice.recordLevel = m_recordGainSlider->value();
    const int line = m_compressionCombo->currentIndex();
    if (line >= 0 && line < m_choices.size()) {
        choice.compressionIndex = line;
        choice.compressionCommand = m_choices[line].vsmCommand;
    }
    try {
        if (!m_editor.confirm(choice, m_modemSide))
            return; // the matcher said why; another compression can be chosen
    } catch (const std::exception& e) {
        showError(e);
        return;
    }
    QDialog::accept();
}

void SettingsDialog::reject() {
    // After Find modems the profile is rewritten: Escape and the close button cannot go back either.
    if (!m_cancel->isEnabled())
        return;
    try {
        m_model.load();
        m_model.loadMediaPlayer();
    } catch (const std::exception& e) {
        showError(e);
    }
    QDialog::reject();
}

void SettingsDialog::chooseFileCompression() {
    if (!m_chooser) {
        m_ownChooser = std::make_unique<DialogFormatChooser>(this);
        m_chooser = m_ownChooser.get();
    }
    if (m_editor.chooseFileCompression(*m_chooser, m_prompter) == SettingsEditor::FormatChoice::Saved)
        m_fileFormatLabel->setText(m_model.fileCompression().formatDescription());
}

void SettingsDialog::chooseListFont() {
    const std::optional<QFont> font = chooseFont(QFont(m_model.fontName(), m_model.fontSize()));
    if (!font)
        return;
    const int size = font->pointSize() > 0 ? font->pointSize() : m_model.fontSize();
    m_model.setFont(font->family(), size, m_model.fontColor());
    m_fontsLabel->setText(font->family());
}

void SettingsDialog::chooseFontColour() {
    const std::optional<QColor> colour = chooseColour(fromStored(m_model.fontColor()));
    if (colour)
        m_model.setFont(m_model.fontName(), m_model.fontSize(), toStored(*colour));
}

void SettingsDialog::chooseTraceColour(bool background) {
    const int current = background ? m_model.backColor() : m_model.traceColor();
    const std::optional<QColor> colour = chooseColour(fromStored(current));
    if (!colour)
        return;
    if (background)
        m_model.setBackColor(toStored(*colour));
    else
        m_model.setTraceColor(toStored(*colour));
}

void SettingsDialog::browsePlayer() {
    const std::optional<QString> program =
        m_prompter.chooseOpenFile(QStringLiteral("Open"), QString(), QStringLiteral("Programs (*)"));
    if (!program)
        return;
    try {
        m_editor.setBrowsedPlayer(*program);
    } catch (const std::exception& e) {
        showError(e);
    }
}

void SettingsDialog::findModems() {
    if (!m_modemSide)
        return;
    int found = 0;
    try {
        found = m_modemSide->findModems();
    } catch (const std::exception& e) {
        showError(e);
    }
    // The modem profile is rewritten (or gone): there is nothing left for Cancel to go back to.
    m_cancel->setEnabled(false);
    const bool modem = found > 0 && m_editor.modemConfigured();
    showModemLabels(found > 0, 1);
    fillCompressionList();
    m_compressionCombo->setEnabled(modem);
    // The new modem's gains, within its own ranges.
    showGains();
    if (m_tabs->currentIndex() == Parameters)
        parametersShown();
    updateEnables();
}

void SettingsDialog::showError(const std::exception& e) {
    m_prompter.message(QString::fromUtf8(e.what()), Prompter::Icon::Error);
}
