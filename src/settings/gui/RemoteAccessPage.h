// The "Remote access" tab of the settings dialog: the web page the running recorder serves.
#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QSpinBox;
class SettingsModel;

/// Shows the model's remote access settings and hands every edit back to it; the dialog's OK saves
/// them with the rest and Cancel's reload shows the stored ones again.
class RemoteAccessPage : public QWidget {
    Q_OBJECT
public:
    RemoteAccessPage(SettingsModel& model, QWidget* parent = nullptr);

private:
    void showModel();
    void edited();

    SettingsModel& m_model;
    QCheckBox* m_enabled;
    QLineEdit* m_address;
    QSpinBox* m_port;
    QLineEdit* m_certificate;
    QLineEdit* m_privateKey;
    QCheckBox* m_allowPlainHttp;
};
