// The "Settings" window: its tabs, captions, ranges and the wiring of the controls to the model.
#include "settings/gui/SettingsDialog.h"

#include "base/ConfigKeys.h"

#include "audio/FormatChooser.h"
#include "settings/SerialLine.h"
#include "settings/SettingsModel.h"
#include "settings/gui/RemoteAccessPage.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QLabel* plainLabel(const QString& text, QWidget* parent, const char* name = nullptr) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText); // model names and paths come from outside
    if (name)
        label->setObjectName(QLatin1String(name));
    return label;
}

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QSpinBox* spinEdit(const char* name, int min, int max, QWidget* parent) {
    auto* spin = named(new QSpinBox(parent), name);
    spin->setRange(min, max);
    return spin;
}

QSlider* gainSlider(const char* name, QWidget* parent) {
    auto* slider = named(new QSlider(Qt::Horizontal, parent), name);
    slider->setRange(0, 255);
    slider->setValue(128);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(8);
    slider->setMinimumWidth(260);
    return slider;
}

QLabel* swatch(const char* name, QWidget* parent) {
    auto* label = named(new QLabel(parent), name);
    label->setFixedSize(60, 20);
    label->setAutoFillBackground(true);
    label->setFrameShape(QFrame::Box);
    return label;
}

} // namespace

SettingsDialog::SettingsDialog(SettingsModel& model, Prompter& prompter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_model(model), m_editor(model), m_prompter(prompter) {
    setObjectName(QStringLiteral("fmSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    setModal(true);
    chooseFont = [this](const QFont& current) -> std::optional<QFont> {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, current, this);
        return ok ? std::optional<QFont>(font) : std::nullopt;
    };
    chooseColour = [this](const QColor& current) -> std::optional<QColor> {
        const QColor colour = QColorDialog::getColor(current, this);
        return colour.isValid() ? std::optional<QColor>(colour) : std::nullopt;
    };

    m_tabs = named(new QTabWidget(this), "PageControl1");
    m_tabs->setUsesScrollButtons(false); // every tab's caption in view
    m_tabs->addTab(buildGeneral(), QStringLiteral("General"));
    m_tabs->addTab(buildModem(), QStringLiteral("Modem"));
    m_tabs->addTab(buildParameters(), QStringLiteral("Parameters"));
    m_tabs->addTab(buildMediaPlayer(), QStringLiteral("Media player"));
    m_tabs->addTab(buildMonitor(), QStringLiteral("Monitor"));
    m_tabs->addTab(buildAutoRecord(), QStringLiteral("Auto record"));
    m_tabs->addTab(new RemoteAccessPage(m_model), QStringLiteral("Remote access"));

    m_ok = named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    m_ok->setDefault(true);
    m_cancel = named(new QPushButton(QStringLiteral("Cancel"), this), "CancelBtn");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize); // a dialog border: not resizable

    connectControls();
    showModel();
}

SettingsDialog::~SettingsDialog() = default;

QWidget* SettingsDialog::buildGeneral() {
    auto* page = named(new QWidget, "tsGeneral");
    auto* format = named(new QGroupBox(QStringLiteral("File  compression format  "), page), "gbFormat");
    m_fileFormatLabel = plainLabel(QString(), format, "lbFormat");
    m_fileFormatLabel->setMinimumWidth(260);
    auto* choose = named(new QPushButton(QStringLiteral("Choose"), format), "BtnChoose");
    auto* formatRow = new QHBoxLayout(format);
    formatRow->addWidget(m_fileFormatLabel, 1);
    formatRow->addWidget(choose);
    connect(choose, &QPushButton::clicked, this, &SettingsDialog::chooseFileCompression);

    auto* fonts = named(new QGroupBox(QStringLiteral(" Fonts "), page), "gbFonts");
    m_fontsLabel = plainLabel(QString(), fonts, "lbFonts");
    auto* fontsBtn = named(new QPushButton(QStringLiteral("Choose"), fonts), "FontsBtn");
    auto* fontsRow = new QHBoxLayout(fonts);
    // Qt's font dialog has no colour: the lists' text colour has a button of its own.
    auto* colourBtn = named(new QPushButton(QStringLiteral("Colour"), fonts), "FontColorBtn");
    fontsRow->addWidget(m_fontsLabel, 1);
    fontsRow->addWidget(fontsBtn);
    fontsRow->addWidget(colourBtn);
    connect(fontsBtn, &QPushButton::clicked, this, &SettingsDialog::chooseListFont);
    connect(colourBtn, &QPushButton::clicked, this, &SettingsDialog::chooseFontColour);

    m_loadAtStartupBox = named(new QCheckBox(QStringLiteral("Load at startup"), page), "cbStartup");
    m_startToTrayBox = named(new QCheckBox(QStringLiteral("Start to system tray"), page), "cbStartToTray");
    m_callerIdBox = named(new QCheckBox(QStringLiteral("Enable caller ID"), page), "cbCallerID");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(format);
    layout->addWidget(fonts);
    layout->addWidget(m_loadAtStartupBox);
    layout->addWidget(m_startToTrayBox);
    layout->addWidget(m_callerIdBox);
    layout->addWidget(buildMirror(page));
    // The order of SettingsModel::attachFormats().
    m_attachAsCombo = named(new QComboBox(page), "cbAttachAs");
    m_attachAsCombo->addItems({QStringLiteral("WAV (as recorded)"), QStringLiteral("Opus"), QStringLiteral("MP3")});
    m_attachAsCombo->setAccessibleName(QStringLiteral("Attach to e-mail as"));
    auto* attachRow = new QHBoxLayout;
    attachRow->addWidget(plainLabel(QStringLiteral("Attach to e-mail as"), page));
    attachRow->addWidget(m_attachAsCombo);
    attachRow->addStretch();
    layout->addLayout(attachRow);
    m_diskFloorSpin = named(new QSpinBox(page), "seDiskFloor");
    m_diskFloorSpin->setRange(0, ConfigKeys::kDiskFloorMaxMegabytes);
    m_diskFloorSpin->setSuffix(QStringLiteral(" MB"));
    // 0: the larger of 500 MB and one hour of the chosen file format.
    m_diskFloorSpin->setSpecialValueText(QStringLiteral("automatic"));
    m_diskFloorSpin->setAccessibleName(QStringLiteral("Keep free on disk"));
    m_homeCountryEdit = named(new QLineEdit(page), "edHomeCountry");
    m_homeCountryEdit->setMaxLength(2);
    m_homeCountryEdit->setPlaceholderText(QStringLiteral("system"));
    m_homeCountryEdit->setAccessibleName(QStringLiteral("Home country of phone numbers"));
    auto* keepRow = new QHBoxLayout;
    keepRow->addWidget(plainLabel(QStringLiteral("Keep free on disk"), page));
    keepRow->addWidget(m_diskFloorSpin);
    keepRow->addSpacing(12);
    keepRow->addWidget(plainLabel(QStringLiteral("Home country of phone numbers"), page));
    keepRow->addWidget(m_homeCountryEdit);
    keepRow->addStretch();
    layout->addLayout(keepRow);
    layout->addStretch();
    return page;
}

QWidget* SettingsDialog::buildModem() {
    auto* page = named(new QWidget, "tsModem");
    auto* model = named(new QGroupBox(QStringLiteral(" Model "), page), "gbModel");
    m_modemModelLabel = plainLabel(QString(), model, "Label1");
    m_modemPortLabel = plainLabel(QString(), model, "Label2");
    auto* modelLayout = new QVBoxLayout(model);
    modelLayout->addWidget(m_modemModelLabel);
    modelLayout->addWidget(m_modemPortLabel);

    m_timeOutSpin = spinEdit("seTimeOut", 1, 6, page);
    m_compressionCombo = named(new QComboBox(page), "cbVsm");
    m_compressionCombo->setMinimumWidth(200);
    m_baudRateCombo = named(new QComboBox(page), "cbBaudrate");
    for (int speed : SerialLine::kSpeeds)
        m_baudRateCombo->addItem(QString::number(speed));
    m_flowControlCombo = named(new QComboBox(page), "cbFlowCntr");
    m_flowControlCombo->addItems({QStringLiteral("Hardware"), QStringLiteral("Software"), QStringLiteral("None")});
    m_findModemsButton = named(new QPushButton(QStringLiteral("Find modems"), page), "btnFindModems");
    connect(m_findModemsButton, &QPushButton::clicked, this, &SettingsDialog::findModems);

    auto* grid = new QGridLayout;
    // Each label names its control for a screen reader too (its buddy).
    auto row = [&](int at, const QString& caption, QWidget* control, Qt::Alignment alignment = {}) {
        QLabel* label = plainLabel(caption, page);
        label->setBuddy(control);
        grid->addWidget(label, at, 0);
        grid->addWidget(control, at, 1, alignment);
    };
    row(0, QStringLiteral("Time out (sec)"), m_timeOutSpin, Qt::AlignLeft);
    row(1, QStringLiteral("Voice Compression"), m_compressionCombo);
    row(2, QStringLiteral("Baudrate"), m_baudRateCombo);
    row(3, QStringLiteral("Flow control"), m_flowControlCombo);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(model);
    layout->addLayout(grid);
    layout->addWidget(m_findModemsButton, 0, Qt::AlignLeft);
    layout->addStretch();
    return page;
}

QWidget* SettingsDialog::buildParameters() {
    auto* page = named(new QWidget, "tsParameters");
    auto group = [page](const QString& caption, const char* name, QSlider* slider) {
        auto* box = named(new QGroupBox(caption, page), name);
        auto* row = new QHBoxLayout(box);
        row->addWidget(plainLabel(QStringLiteral("Low"), box));
        row->addWidget(slider, 1);
        row->addWidget(plainLabel(QStringLiteral("High"), box));
        return box;
    };
    m_speakerVolumeSlider = gainSlider("SpkVolTr", page);
    m_recordGainSlider = gainSlider("RecGainTr", page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group(QStringLiteral("  Modem speaker volume  "), "gbSpeaker", m_speakerVolumeSlider));
    layout->addWidget(group(QStringLiteral("   Recording level   "), "gbRecording", m_recordGainSlider));
    layout->addStretch();
    return page;
}

QWidget* SettingsDialog::buildMediaPlayer() {
    auto* page = named(new QWidget, "tsMediaPlayer");
    m_externalPlayerBox = named(new QCheckBox(QStringLiteral("External media player"), page), "cbExtPlayer");
    m_externalPlayerEdit = named(new QLineEdit(page), "edExtPlayer");
    m_externalPlayerEdit->setMaxLength(255);
    m_externalPlayerEdit->setAccessibleName(QStringLiteral("External media player program"));
    m_browse = named(new QPushButton(QStringLiteral("Browse"), page), "Button2");
    connect(m_browse, &QPushButton::clicked, this, &SettingsDialog::browsePlayer);
    auto* row = new QHBoxLayout;
    row->addWidget(m_externalPlayerEdit, 1);
    row->addWidget(m_browse);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_externalPlayerBox);
    layout->addLayout(row);
    layout->addStretch();
    return page;
}

QWidget* SettingsDialog::buildMonitor() {
    auto* page = named(new QWidget, "tsMonitor");
    m_tracePlayBox = named(new QCheckBox(QStringLiteral("Enable during play"), page), "cbPlay");
    m_traceRecordBox = named(new QCheckBox(QStringLiteral("Enable during record"), page), "cbRecord");
    m_tracePointsCombo = named(new QComboBox(page), "cbxPoints");
    for (int points = 1200; points <= 3000; points += 200)
        m_tracePointsCombo->addItem(QString::number(points));
    m_backColorLabel = swatch("lbBackColor", page);
    m_traceColorLabel = swatch("lbTraceColor", page);
    auto* background = named(new QPushButton(QStringLiteral("Background"), page), "btnBackColor");
    auto* trace = named(new QPushButton(QStringLiteral("Trace"), page), "btnTraceColor");
    connect(background, &QPushButton::clicked, this, [this] { chooseTraceColour(true); });
    connect(trace, &QPushButton::clicked, this, [this] { chooseTraceColour(false); });
    auto* grid = new QGridLayout;
    grid->addWidget(plainLabel(QStringLiteral("Points to display"), page), 0, 0);
    grid->addWidget(m_tracePointsCombo, 0, 1);
    grid->addWidget(m_backColorLabel, 1, 0);
    grid->addWidget(background, 1, 1);
    grid->addWidget(m_traceColorLabel, 2, 0);
    grid->addWidget(trace, 2, 1);
    grid->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_tracePlayBox);
    layout->addWidget(m_traceRecordBox);
    layout->addLayout(grid);
    layout->addStretch();
    return page;
}

QWidget* SettingsDialog::buildAutoRecord() {
    auto* page = named(new QWidget, "tsAutoRecord");
    m_autoModeBox =
        named(new QCheckBox(QStringLiteral("Automatically record all incoming calls when i lift handset"), page),
              "cbAutoMode");
    m_conditions = named(new QGroupBox(QStringLiteral(" Conditions "), page), "gbConditions");
    m_disconnectTimeSpin = spinEdit("seDiscTime", 1, 30, m_conditions);
    m_rejectCallBox = named(new QCheckBox(QStringLiteral("Reject call recording after"), m_conditions), "cbRejectCall");
    m_rejectRingsSpin = spinEdit("seRejectRings", 2, 20, m_conditions);
    auto* grid = new QGridLayout(m_conditions);
    grid->addWidget(plainLabel(QStringLiteral("Disconnect after "), m_conditions), 0, 0);
    grid->addWidget(m_disconnectTimeSpin, 0, 1);
    grid->addWidget(plainLabel(QStringLiteral("seconds of silence or beep tone"), m_conditions), 0, 2);
    grid->addWidget(m_rejectCallBox, 1, 0);
    grid->addWidget(m_rejectRingsSpin, 1, 1);
    grid->addWidget(plainLabel(QStringLiteral("rings"), m_conditions), 1, 2);
    m_recordOutgoingBox = named(new QCheckBox(QStringLiteral("Also record calls I make"), page), "cbRecordOutgoing");
    m_recordOutgoingBox->setToolTip(
        QStringLiteral("Available once the modem has reported the handset being lifted during a call"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_autoModeBox);
    layout->addWidget(m_recordOutgoingBox);
    layout->addWidget(m_conditions);
    layout->addStretch();
    return page;
}

void SettingsDialog::connectControls() {
    SettingsModel& m = m_model;
    connect(m_loadAtStartupBox, &QCheckBox::toggled, &m, &SettingsModel::setStartUp);
    connect(m_startToTrayBox, &QCheckBox::toggled, &m, &SettingsModel::setStartToTray);
    connect(m_callerIdBox, &QCheckBox::toggled, &m, &SettingsModel::setCallerId);
    connect(m_timeOutSpin, &QSpinBox::valueChanged, &m, &SettingsModel::setTimeout);
    connect(m_baudRateCombo, &QComboBox::currentIndexChanged, &m, &SettingsModel::setBaudrateIndex);
    connect(m_flowControlCombo, &QComboBox::currentIndexChanged, &m, &SettingsModel::setFlowControlIndex);
    connect(m_externalPlayerBox, &QCheckBox::toggled, &m, &SettingsModel::setExtPlayer);
    connect(m_externalPlayerEdit, &QLineEdit::textEdited, &m, &SettingsModel::setPlayer);
    connect(m_tracePlayBox, &QCheckBox::toggled, &m, &SettingsModel::setPlayTrace);
    connect(m_traceRecordBox, &QCheckBox::toggled, &m, &SettingsModel::setRecordTrace);
    connect(m_tracePointsCombo, &QComboBox::currentIndexChanged, &m, &SettingsModel::setPointsIndex);
    connect(m_autoModeBox, &QCheckBox::toggled, &m, &SettingsModel::setAutoRecord);
    connect(m_recordOutgoingBox, &QCheckBox::toggled, &m, &SettingsModel::setRecordOutgoing);
    connect(m_disconnectTimeSpin, &QSpinBox::valueChanged, &m, &SettingsModel::setDiscTime);
    connect(m_rejectCallBox, &QCheckBox::toggled, &m, &SettingsModel::setRejectCall);
    connect(m_rejectRingsSpin, &QSpinBox::valueChanged, &m, &SettingsModel::setRejectRings);
    connect(m_mirrorEdit, &QLineEdit::textEdited, &m, &SettingsModel::setMirrorFolder);
    connect(m_diskFloorSpin, &QSpinBox::valueChanged, &m, &SettingsModel::setDiskFloorMegabytes);
    connect(m_homeCountryEdit, &QLineEdit::textEdited, &m, &SettingsModel::setHomeCountry);
    connect(m_attachAsCombo, &QComboBox::currentIndexChanged, &m, &SettingsModel::setAttachAsIndex);
    // The controls follow the model whatever changed it (the dialog, Cancel's reload, a load at start).
    connect(&m, &SettingsModel::changed, this, &SettingsDialog::showModel);
    connect(m_ok, &QPushButton::clicked, this, &SettingsDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &SettingsDialog::reject);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == Parameters)
            parametersShown();
    });
}
