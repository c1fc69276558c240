// The settings dialog's mirror folder: where a second copy of the catalogue and recordings is kept.
#include "settings/gui/SettingsDialog.h"

#include "base/Prompter.h"
#include "settings/SettingsModel.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

QWidget* SettingsDialog::buildMirror(QWidget* page) {
    auto* box = new QGroupBox(QStringLiteral(" Mirror folder "), page);
    box->setObjectName(QStringLiteral("gbMirror"));
    box->setToolTip(QStringLiteral("After each call the recordings and the catalogue are copied to this folder"));
    m_mirrorEdit = new QLineEdit(box);
    m_mirrorEdit->setObjectName(QStringLiteral("edMirrorFolder"));
    m_mirrorEdit->setAccessibleName(QStringLiteral("Mirror folder"));
    m_mirrorEdit->setPlaceholderText(QStringLiteral("none"));
    auto* browse = new QPushButton(QStringLiteral("Browse"), box);
    browse->setObjectName(QStringLiteral("btnMirrorFolder"));
    browse->setAccessibleName(QStringLiteral("Browse for the mirror folder"));
    connect(browse, &QPushButton::clicked, this, &SettingsDialog::browseMirror);
    auto* row = new QHBoxLayout(box);
    row->addWidget(m_mirrorEdit, 1);
    row->addWidget(browse);
    return box;
}

void SettingsDialog::browseMirror() {
    const std::optional<QString> folder =
        m_prompter.chooseFolder(QStringLiteral("Mirror folder"), m_model.mirrorFolder());
    if (folder)
        m_model.setMirrorFolder(*folder);
}
