// The "Finding Modems..." window.
#include "modemsetup/gui/TProgressForm.h"

#include "modemsetup/ModemSearch.h"

#include <QProgressBar>
#include <QVBoxLayout>

TProgressForm::TProgressForm(QWidget* parent) : QDialog(parent), m_bar(new QProgressBar(this)) {
    setObjectName(QStringLiteral("ProgressForm"));
    setWindowTitle(QStringLiteral("Finding Modems..."));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    m_bar->setObjectName(QStringLiteral("ProgressBar1"));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setMinimumWidth(300);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
}

void TProgressForm::follow(ModemSearch& search) {
    connect(&search, &ModemSearch::progressShown, this, [this](const QString& caption) {
        setWindowTitle(caption);
        show();
    });
    connect(&search, &ModemSearch::progressChanged, this, &TProgressForm::setProgress);
    connect(&search, &ModemSearch::progressHidden, this, &QDialog::close);
}

void TProgressForm::setProgress(int percent) {
    m_bar->setValue(percent);
}

int TProgressForm::progress() const {
    return m_bar->value();
}

void TProgressForm::showEvent(QShowEvent* event) {
    m_bar->setValue(0);
    QDialog::showEvent(event);
}
