// The "Finding Modems..." window.
#include "modemsetup/gui/ProgressWindow.h"

#include "modemsetup/ModemSearch.h"

#include <QProgressBar>
#include <QVBoxLayout>

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent), m_bar(new QProgressBar(this)) {
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

void ProgressWindow::follow(ModemSearch& search) {
    connect(&search, &ModemSearch::progressShown, this, [this](const QString& caption) {
        setWindowTitle(caption);
        show();
    });
    connect(&search, &ModemSearch::progressChanged, this, &ProgressWindow::setProgress);
    connect(&search, &ModemSearch::progressHidden, this, &QDialog::close);
}

void ProgressWindow::setProgress(int percent) {
    m_bar->setValue(percent);
}

int ProgressWindow::progress() const {
    return m_bar->value();
}

void ProgressWindow::showEvent(QShowEvent* event) {
    m_bar->setValue(0);
    QDialog::showEvent(event);
}
