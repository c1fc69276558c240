// The controls of the remote access settings, bound to the settings model.
#include "settings/gui/RemoteAccessPage.h"

#include "settings/SettingsModel.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

RemoteAccessPage::RemoteAccessPage(SettingsModel& model, QWidget* parent)
    : QWidget(parent), m_model(model),
      m_enabled(new QCheckBox(QStringLiteral("Serve the web page while recording"), this)),
      m_address(new QLineEdit(this)), m_port(new QSpinBox(this)), m_certificate(new QLineEdit(this)),
      m_privateKey(new QLineEdit(this)),
      m_allowPlainHttp(new QCheckBox(QStringLiteral("Allow plain HTTP on a trusted network"), this)) {
    setObjectName(QStringLiteral("tsRemoteAccess"));
    m_enabled->setObjectName(QStringLiteral("cbWebEnabled"));
    m_address->setObjectName(QStringLiteral("edWebAddress"));
    m_port->setObjectName(QStringLiteral("seWebPort"));
    m_certificate->setObjectName(QStringLiteral("edWebCertificate"));
    m_privateKey->setObjectName(QStringLiteral("edWebPrivateKey"));
    m_allowPlainHttp->setObjectName(QStringLiteral("cbWebAllowPlainHttp"));
    m_port->setRange(1, 65535);
    m_certificate->setPlaceholderText(QStringLiteral("PEM file"));
    m_privateKey->setPlaceholderText(QStringLiteral("PEM file"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Address"), m_address);
    form->addRow(QStringLiteral("Port"), m_port);
    form->addRow(QStringLiteral("TLS certificate"), m_certificate);
    form->addRow(QStringLiteral("TLS private key"), m_privateKey);
    auto* note = new QLabel(QStringLiteral("127.0.0.1 serves this computer only. Any other address needs a password "
                                           "(orlamo-cli web-password) and TLS. Changes take effect at the next start."),
                            this);
    note->setTextFormat(Qt::PlainText);
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_enabled);
    layout->addLayout(form);
    layout->addWidget(m_allowPlainHttp);
    layout->addWidget(note);
    layout->addStretch();

    showModel();
    connect(&m_model, &SettingsModel::changed, this, &RemoteAccessPage::showModel);
    connect(m_enabled, &QCheckBox::toggled, this, &RemoteAccessPage::edited);
    connect(m_allowPlainHttp, &QCheckBox::toggled, this, &RemoteAccessPage::edited);
    connect(m_port, &QSpinBox::valueChanged, this, &RemoteAccessPage::edited);
    for (QLineEdit* edit : {m_address, m_certificate, m_privateKey})
        connect(edit, &QLineEdit::textEdited, this, &RemoteAccessPage::edited);
}

void RemoteAccessPage::showModel() {
    const SettingsModel::RemoteAccess& access = m_model.remoteAccess();
    const QSignalBlocker a(m_enabled), b(m_address), c(m_port), d(m_certificate), e(m_privateKey), f(m_allowPlainHttp);
    m_enabled->setChecked(access.enabled);
    if (m_address->text().trimmed() != access.address)
        m_address->setText(access.address);
    m_port->setValue(access.port);
    if (m_certificate->text() != access.certificate)
        m_certificate->setText(access.certificate);
    if (m_privateKey->text() != access.privateKey)
        m_privateKey->setText(access.privateKey);
    m_allowPlainHttp->setChecked(access.allowPlainHttp);
}

void RemoteAccessPage::edited() {
    SettingsModel::RemoteAccess access;
    access.enabled = m_enabled->isChecked();
    access.address = m_address->text();
    access.port = m_port->value();
    access.certificate = m_certificate->text();
    access.privateKey = m_privateKey->text();
    access.allowPlainHttp = m_allowPlainHttp->isChecked();
    m_model.setRemoteAccess(access);
}
