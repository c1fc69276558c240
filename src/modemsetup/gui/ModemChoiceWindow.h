// The "Modem initialization" window: the modems found, their identity, and the profile writer's OK.
#pragma once

#include <QDialog>

class Config;
class ModemProfileWriter;
class ModemSearch;
class Prompter;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

/// Lists the entries of the search (`lsbModems`), shows the selected one in four text lines and runs
/// the profile writer on OK (`btnOk`), with its gauge `Gauge1` visible only while it runs.
class ModemChoiceWindow : public QDialog {
    Q_OBJECT
public:
    explicit ModemChoiceWindow(QWidget* parent = nullptr);

    /// Follows `search` for its list and `writer` for its cursor, controls and gauge.
    void attach(ModemSearch& search, ModemProfileWriter& writer, Config& config, Prompter& prompter);

    /// Shows the window modally. With no modem found it writes `Voicefeatures` false, shows
    /// "        No modem detected        " and returns at once.
    int exec() override;

    QListWidget* list() const { return m_list; }
    QStringList textLines() const;

public Q_SLOTS:
    /// Runs the profile writer for the selected entry; the window closes unless the port was unusable.
    void takeSelectedModem();
    void reject() override;

private:
    void showEntry(int number);
    void setBusy(bool busy);

    QListWidget* m_list;
    QLabel* m_model;
    QLabel* m_driver;
    QLabel* m_manufacturer;
    QLabel* m_port;
    QProgressBar* m_gauge;
    QPushButton* m_ok;
    ModemSearch* m_search = nullptr;
    ModemProfileWriter* m_writer = nullptr;
    Config* m_config = nullptr;
    Prompter* m_prompter = nullptr;
    bool m_busy = false;
};
