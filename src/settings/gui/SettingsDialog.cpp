// The "Settings" window: its tabs, captions, ranges and the wiring of the controls to the model.
#include "settings/gui/SettingsDialog.h"

#include "audio/FormatChooser.h"
#include "settings/SerialLine.h"
#include "settings/SettingsModel.h"

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
      m_model(model), m_prompter(prompter) {
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
    m_lbFormat = plainLabel(QString(), format, "lbFormat");
    m_lbFormat->setMinimumWidth(260);
    auto* choose = named(new QPushButton(QStringLiteral("Choose"), format), "BtnChoose");
    auto* formatRow = new QHBoxLayout(format);
    formatRow->addWidget(m_lbFormat, 1);
    formatRow->addWidget(choose);
    connect(choose, &QPushButton::clicked, this, &SettingsDialog::chooseFileCompression);

    auto* fonts = named(new QGroupBox(QStringLiteral(" Fonts "), page), "gbFonts");
    m_lbFonts = plainLabel(QString(), fonts, "lbFonts");
    auto* fontsBtn = named(new QPushButton(QStringLiteral("Choose"), fonts), "FontsBtn");
    auto* fontsRow = new QHBoxLayout(fonts);
    fontsRow->addWidget(m_lbFonts, 1);
    fontsRow->addWidget(fontsBtn);
    connect(fontsBtn, &QPushButton::clicked, this, &SettingsDialog::chooseListFont);

    m_cbStartup = named(new QCheckBox(QStringLiteral("Load at startup"), page), "cbStartup");
    m_cbStartToTray = named(new QCheckBox(QStringLiteral("Start to system tray"), page), "cbStartToTray");
    m_cbCallerId = named(new QCheckBox(QStringLiteral("Enable caller ID"), page), "cbCallerID");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(format);
    layout->addWidget(fonts);
    layout->addWidget(m_cbStartup);
    layout->addWidget(m_cbStartToTray);
    layout->addWidget(m_cbCallerId);
    layout->addStretch();
    return page;
}

QWidget* SettingsDialog::buildModem() {
    auto* page = named(new QWidget, "tsModem");
    auto* model = named(new QGroupBox(QStringLiteral(" Model "), page), "gbModel");
    m_label1 = plainLabel(QString(), model, "Label1");
    m_label2 = plainLabel(QString(), model, "Label2");
    auto* modelLayout = new QVBoxLayout(model);
    modelLayout->addWidget(m_label1);
    modelLayout->addWidget(m_label2);

    m_seTimeOut = spinEdit("seTimeOut", 1, 6, page);
    m_cbVsm = named(new QComboBox(page), "cbVsm");
    m_cbVsm->setMinimumWidth(200);
    m_cbBaudrate = named(new QComboBox(page), "cbBaudrate");
    for (int speed : SerialLine::kSpeeds)
        m_cbBaudrate->addItem(QString::number(speed));
    m_cbFlowCntr = named(new QComboBox(page), "cbFlowCntr");
    m_cbFlowCntr->addItems({QStringLiteral("Hardware"), QStringLiteral("Software"), QStringLiteral("None")});
    m_btnFindModems = named(new QPushButton(QStringLiteral("Find modems"), page), "btnFindModems");
    connect(m_btnFindModems, &QPushButton::clicked, this, &SettingsDialog::findModems);

    auto* grid = new QGridLayout;
    grid->addWidget(plainLabel(QStringLiteral("Time out (sec)"), page), 0, 0);
    grid->addWidget(m_seTimeOut, 0, 1, Qt::AlignLeft);
    grid->addWidget(plainLabel(QStringLiteral("Voice Compression"), page), 1, 0);
    grid->addWidget(m_cbVsm, 1, 1);
    grid->addWidget(plainLabel(QStringLiteral("Baudrate"), page), 2, 0);
    grid->addWidget(m_cbBaudrate, 2, 1);
    grid->addWidget(plainLabel(QStringLiteral("Flow control"), page), 3, 0);
    grid->addWidget(m_cbFlowCntr, 3, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(model);
    layout->addLayout(grid);
    layout->addWidget(m_btnFindModems, 0, Qt::AlignLeft);
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
    m_spkVolTr = gainSlider("SpkVolTr", page);
    m_recGainTr = gainSlider("RecGainTr", page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group(QStringLiteral("  Modem speaker volume  "), "gbSpeaker", m_spkVolTr));
    layout->addWidget(group(QStringLiteral("   Recording level   "), "gbRecording", m_recGainTr));
    layout->addStretch();
    return page;
}

QWidget* SettingsDialog::buildMediaPlayer() {
    auto* page = named(new QWidget, "tsMediaPlayer");
    m_cbExtPlayer = named(new QCheckBox(QStringLiteral("External media player"), page), "cbExtPlayer");
    m_edExtPlayer = named(new QLineEdit(page), "edExtPlayer");
    m_edExtPlayer->setMaxLength(255);
    m_browse = named(new QPushButton(QStringLiteral("Browse"), page), "Button2");
    connect(m_browse, &QPushButton::clicked, this, &SettingsDialog::browsePlayer);
    auto* row = new QHBoxLayout;
    row->addWidget(m_edExtPlayer, 1);
    row->addWidget(m_browse);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_cbExtPlayer);
    layout->addLayout(row);
    layout->addStretch();
    return page;
}

QWidget* SettingsDialog::buildMonitor() {
    auto* page = named(new QWidget, "tsMonitor");
    m_cbPlay = named(new QCheckBox(QStringLiteral("Enable during play"), page), "cbPlay");
    m_cbRecord = named(new QCheckBox(QStringLiteral("Enable during record"), page), "cbRecord");
    m_cbxPoints = named(new QComboBox(page), "cbxPoints");
    for (int points = 1200; points <= 3000; points += 200)
        m_cbxPoints->addItem(QString::number(points));
    m_lbBackColor = swatch("lbBackColor", page);
    m_lbTraceColor = swatch("lbTraceColor", page);
    auto* background = named(new QPushButton(QStringLiteral("Background"), page), "btnBackColor");
    auto* trace = named(new QPushButton(QStringLiteral("Trace"), page), "btnTraceColor");
    connect(background, &QPushButton::clicked, this, [this] { chooseTraceColour(true); });
    connect(trace, &QPushButton::clicked, this, [this] { chooseTraceColour(false); });
    auto* grid = new QGridLayout;
    grid->addWidget(plainLabel(QStringLiteral("Points to display"), page), 0, 0);
    grid->addWidget(m_cbxPoints, 0, 1);
    grid->addWidget(m_lbBackColor, 1, 0);
    grid->addWidget(background, 1, 1);
    grid->addWidget(m_lbTraceColor, 2, 0);
    grid->addWidget(trace, 2, 1);
    grid->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_cbPlay);
    layout->addWidget(m_cbRecord);
    layout->addLayout(grid);
    layout->addStretch();
    return page;
}

QWidget* SettingsDialog::buildAutoRecord() {
    auto* page = named(new QWidget, "tsAutoRecord");
    m_cbAutoMode =
        named(new QCheckBox(QStringLiteral("Automatically record all incoming calls when i lift handset"), page),
              "cbAutoMode");
    m_conditions = named(new QGroupBox(QStringLiteral(" Conditions "), page), "gbConditions");
    m_seDiscTime = spinEdit("seDiscTime", 1, 30, m_conditions);
    m_cbRejectCall = named(new QCheckBox(QStringLiteral("Reject call recording after"), m_conditions), "cbRejectCall");
    m_seRejectRings = spinEdit("seRejectRings", 2, 20, m_conditions);
    auto* grid = new QGridLayout(m_conditions);
    grid->addWidget(plainLabel(QStringLiteral("Disconnect after "), m_conditions), 0, 0);
    grid->addWidget(m_seDiscTime, 0, 1);
    grid->addWidget(plainLabel(QStringLiteral("seconds of silence or beep tone"), m_conditions), 0, 2);
    grid->addWidget(m_cbRejectCall, 1, 0);
    grid->addWidget(m_seRejectRings, 1, 1);
    grid->addWidget(plainLabel(QStringLiteral("rings"), m_conditions), 1, 2);
    m_cbRecordOutgoing = named(new QCheckBox(QStringLiteral("Also record calls I make"), page), "cbRecordOutgoing");
    m_cbRecordOutgoing->setToolTip(
        QStringLiteral("Available once the modem has reported the handset being lifted during a call"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_cbAutoMode);
    layout->addWidget(m_cbRecordOutgoing);
    layout->addWidget(m_conditions);
    layout->addStretch();
    return page;
}

void SettingsDialog::connectControls() {
    SettingsModel& m = m_model;
    connect(m_cbStartup, &QCheckBox::toggled, &m, &SettingsModel::setStartUp);
    connect(m_cbStartToTray, &QCheckBox::toggled, &m, &SettingsModel::setStartToTray);
    connect(m_cbCallerId, &QCheckBox::toggled, &m, &SettingsModel::setCallerId);
    connect(m_seTimeOut, &QSpinBox::valueChanged, &m, &SettingsModel::setTimeout);
    connect(m_cbBaudrate, &QComboBox::currentIndexChanged, &m, &SettingsModel::setBaudrateIndex);
    connect(m_cbFlowCntr, &QComboBox::currentIndexChanged, &m, &SettingsModel::setFlowControlIndex);
    connect(m_cbExtPlayer, &QCheckBox::toggled, &m, &SettingsModel::setExtPlayer);
    connect(m_edExtPlayer, &QLineEdit::textEdited, &m, &SettingsModel::setPlayer);
    connect(m_cbPlay, &QCheckBox::toggled, &m, &SettingsModel::setPlayTrace);
    connect(m_cbRecord, &QCheckBox::toggled, &m, &SettingsModel::setRecordTrace);
    connect(m_cbxPoints, &QComboBox::currentIndexChanged, &m, &SettingsModel::setPointsIndex);
    connect(m_cbAutoMode, &QCheckBox::toggled, &m, &SettingsModel::setAutoRecord);
    connect(m_cbRecordOutgoing, &QCheckBox::toggled, &m, &SettingsModel::setRecordOutgoing);
    connect(m_seDiscTime, &QSpinBox::valueChanged, &m, &SettingsModel::setDiscTime);
    connect(m_cbRejectCall, &QCheckBox::toggled, &m, &SettingsModel::setRejectCall);
    connect(m_seRejectRings, &QSpinBox::valueChanged, &m, &SettingsModel::setRejectRings);
    // The controls follow the model whatever changed it (the dialog, Cancel's reload, a load at start).
    connect(&m, &SettingsModel::changed, this, &SettingsDialog::showModel);
    connect(m_ok, &QPushButton::clicked, this, &SettingsDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &SettingsDialog::reject);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == Parameters)
            parametersShown();
    });
}
