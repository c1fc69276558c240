// The codec service's format chooser: a tag list, the formats of the chosen tag, OK and Cancel.
#pragma once

#include "audio/FormatChooser.h"
#include "audio/WaveFormat.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QListWidget;
class QDialogButtonBox;

class FormatChooserDialog : public QDialog {
    Q_OBJECT
public:
    explicit FormatChooserDialog(QWidget* parent = nullptr);
    /// Lists every driver's formats and selects the one equal to `start` (its tag when no format is equal).
    void setFormat(const WaveFormat& start);
    /// The selected format; valid when the dialog was accepted.
    WaveFormat format() const;

private:
    void showTag(int index);

    struct Entry {
        uint16_t tag;
        QString text;
        WaveFormat format;
    };
    QList<Entry> m_entries;
    QList<uint16_t> m_tags;
    QComboBox* m_tagBox;
    QListWidget* m_formatList;
    QDialogButtonBox* m_buttons;
};

/// The GUI's FormatChooser: shows the dialog modally; 0 when confirmed, 515 when cancelled.
class DialogFormatChooser : public FormatChooser {
public:
    explicit DialogFormatChooser(QWidget* parent = nullptr) : m_parent(parent) {}
    int chooseFormat(const QString& title, std::span<uint8_t, 128> buffer) override;

private:
    QWidget* m_parent;
};
