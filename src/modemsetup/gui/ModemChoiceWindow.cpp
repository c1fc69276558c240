// The "Modem initialization" window.
#include "modemsetup/gui/ModemChoiceWindow.h"

#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Prompter.h"
#include "modemsetup/ModemProfileWriter.h"
#include "modemsetup/ModemSearch.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* textLine(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText); // modem replies are never markup
    return label;
}

} // namespace

ModemChoiceWindow::ModemChoiceWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_list(new QListWidget),
      m_gauge(new QProgressBar), m_ok(new QPushButton(QStringLiteral("OK"))) {
    setObjectName(QStringLiteral("SpecModemForm"));
    setWindowTitle(QStringLiteral("Modem initialization"));
    auto* group = new QGroupBox(QStringLiteral("Modems found"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    m_list->setObjectName(QStringLiteral("lsbModems"));
    m_list->setAccessibleName(QStringLiteral("Modems found"));
    m_model = textLine("lblModel", group);
    m_driver = textLine("lblDriver", group);
    m_manufacturer = textLine("lblManufacturer", group);
    m_port = textLine("lblComPort", group);
    m_gauge->setObjectName(QStringLiteral("Gauge1"));
    m_gauge->setRange(0, 100);
    m_gauge->hide();
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_list);
    for (QWidget* w :
         {static_cast<QWidget*>(m_model), static_cast<QWidget*>(m_driver), static_cast<QWidget*>(m_manufacturer),
          static_cast<QWidget*>(m_port), static_cast<QWidget*>(m_gauge)})
        groupLayout->addWidget(w);
    m_ok->setObjectName(QStringLiteral("btnOk"));
    m_ok->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(m_ok, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize); // fixed border
    m_list->setMinimumWidth(360);

    connect(m_ok, &QPushButton::clicked, this, &ModemChoiceWindow::takeSelectedModem);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            showEntry(row + 1);
    });
}

void ModemChoiceWindow::attach(ModemSearch& search, ModemProfileWriter& writer, Config& config, Prompter& prompter) {
    m_search = &search;
    m_writer = &writer;
    m_config = &config;
    m_prompter = &prompter;
    connect(&search, &ModemSearch::cleared, this, [this] {
        m_list->clear();
        for (QLabel* label : {m_model, m_driver, m_manufacturer, m_port})
            label->clear();
    });
    connect(&search, &ModemSearch::modemListed, this, [this](int, const QString& model) { m_list->addItem(model); });
    connect(&writer, &ModemProfileWriter::busyChanged, this, &ModemChoiceWindow::setBusy);
    connect(&writer, &ModemProfileWriter::gaugeShown, m_gauge, &QWidget::setVisible);
    connect(&writer, &ModemProfileWriter::gaugeChanged, m_gauge, &QProgressBar::setValue);
}

QStringList ModemChoiceWindow::textLines() const {
    return {m_model->text(), m_driver->text(), m_manufacturer->text(), m_port->text()};
}

int ModemChoiceWindow::exec() {
    if (m_search == nullptr || m_search->count() <= 0) {
        if (m_config != nullptr)
            m_config->writeBool(ConfigKeys::kVoiceFeatures, false);
        if (m_prompter != nullptr)
            m_prompter->message(QStringLiteral("        No modem detected        "));
        return QDialog::Rejected;
    }
    m_list->setCurrentRow(0);
    showEntry(1);
    return QDialog::exec();
}

void ModemChoiceWindow::showEntry(int number) {
    if (m_search == nullptr || number < 1 || number > m_search->count())
        return;
    const ModemParams& e = m_search->entry(number);
    m_model->setText(QStringLiteral("Model: ") + e.Model);
    m_driver->setText(QStringLiteral("Driver version: ") + e.DriverDate);
    m_manufacturer->setText(QStringLiteral("Manufacturer: ") + e.Manufacturer);
    m_port->setText(QStringLiteral("Com port: ") + e.PortName);
}

void ModemChoiceWindow::setBusy(bool busy) {
    m_busy = busy;
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
    m_ok->setEnabled(!busy);
    m_list->setEnabled(!busy);
}

void ModemChoiceWindow::takeSelectedModem() {
    if (m_writer == nullptr || m_busy)
        return;
    const int row = m_list->currentRow();
    const ModemProfileWriter::Result result = m_writer->writeModemProfile(row < 0 ? 1 : row + 1);
    if (result != ModemProfileWriter::Result::PortUnusable)
        accept();
}

void ModemChoiceWindow::reject() {
    // The window has no close button; Escape leaves it only while the writer is not running.
    if (!m_busy)
        QDialog::reject();
}
