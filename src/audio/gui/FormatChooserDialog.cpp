// The format chooser dialog over the codec service's list.
#include "audio/gui/FormatChooserDialog.h"

#include "audio/AudioErrors.h"
#include "audio/CodecService.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

FormatChooserDialog::FormatChooserDialog(QWidget* parent) : QDialog(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Format:"), this));
    m_tagBox = new QComboBox(this);
    m_tagBox->setObjectName(QStringLiteral("cbTag"));
    layout->addWidget(m_tagBox);
    layout->addWidget(new QLabel(tr("Attributes:"), this));
    m_formatList = new QListWidget(this);
    m_formatList->setObjectName(QStringLiteral("lbFormats"));
    layout->addWidget(m_formatList);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_tagBox, &QComboBox::currentIndexChanged, this, &FormatChooserDialog::showTag);
    connect(m_formatList, &QListWidget::currentRowChanged, this,
            [this](int row) { m_buttons->button(QDialogButtonBox::Ok)->setEnabled(row >= 0); });
    connect(m_formatList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    for (const CodecListEntry& codec : CodecService::codecList()) {
        for (const CodecFormatEntry& f : codec.formats) {
            const WaveFormat format = WaveFormat::fromBytes(f.format);
            m_entries.append({format.formatTag(), f.text, format});
            if (!m_tags.contains(format.formatTag())) {
                m_tags.append(format.formatTag());
                QString name;
                CodecService::formatTagDetails(format.formatTag(), &name);
                m_tagBox->addItem(name); // plain text, never markup
            }
        }
    }
}

void FormatChooserDialog::showTag(int index) {
    m_formatList->clear();
    if (index < 0 || index >= m_tags.size())
        return;
    for (const Entry& e : m_entries)
        if (e.tag == m_tags[index])
            m_formatList->addItem(e.text);
    m_formatList->setCurrentRow(0);
}

void FormatChooserDialog::setFormat(const WaveFormat& start) {
    const int tagIndex = static_cast<int>(m_tags.indexOf(start.formatTag()));
    m_tagBox->setCurrentIndex(std::max(0, tagIndex));
    showTag(m_tagBox->currentIndex());
    int row = 0;
    for (const Entry& e : m_entries) {
        if (e.tag != m_tags.value(m_tagBox->currentIndex()))
            continue;
        if (e.format.sameFormat(start)) {
            m_formatList->setCurrentRow(row);
            return;
        }
        ++row;
    }
}

WaveFormat FormatChooserDialog::format() const {
    const uint16_t tag = m_tags.value(m_tagBox->currentIndex());
    int row = 0;
    for (const Entry& e : m_entries) {
        if (e.tag != tag)
            continue;
        if (row++ == m_formatList->currentRow())
            return e.format;
    }
    return WaveFormat();
}

int DialogFormatChooser::chooseFormat(const QString& title, std::span<uint8_t, 128> buffer) {
    FormatChooserDialog dialog(m_parent);
    dialog.setWindowTitle(title);
    if (CodecService::codecList().isEmpty())
        return AcmResult::NoDriver;
    WaveFormat start;
    std::copy(buffer.begin(), buffer.end(), start.raw());
    dialog.setFormat(start);
    if (dialog.exec() != QDialog::Accepted)
        return AcmResult::Cancelled;
    const WaveFormat chosen = dialog.format();
    std::copy_n(chosen.raw(), WaveFormat::kBufferSize, buffer.begin());
    return AcmResult::NoError;
}
