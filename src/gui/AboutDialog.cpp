// About box: the program's name and version.
#include "gui/AboutDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmAbout"));
    setWindowTitle(QStringLiteral("About"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(
        QStringLiteral("Orlamo %1\nTelephone-call recorder for voice modems").arg(QStringLiteral(ORLAMO_VERSION)),
        this);
    text->setTextFormat(Qt::PlainText);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
