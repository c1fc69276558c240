// The find dialog: a thin window over RecordingSearch.
#include "library/gui/FindDialog.h"

#include "library/RecordingSearch.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

FindDialog::FindDialog(RecordingSearch& search, QWidget* parent) : QDialog(parent), m_search(search) {
    setObjectName(QStringLiteral("dlgFind"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    auto* label = new QLabel(QStringLiteral("Fi&nd what:"), this);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("FindText"));
    label->setBuddy(m_text);
    m_wholeWord = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    m_wholeWord->setObjectName(QStringLiteral("WholeWord"));
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("MatchCase"));
    auto* direction = new QGroupBox(QStringLiteral("Direction"), this);
    direction->setObjectName(QStringLiteral("Direction"));
    auto* up = new QRadioButton(QStringLiteral("&Up"), direction);
    auto* down = new QRadioButton(QStringLiteral("&Down"), direction);
    down->setChecked(true);
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(up);
    directionLayout->addWidget(down);
    // The search only goes down.
    direction->setEnabled(false);
    m_findNext = new QPushButton(QStringLiteral("&Find Next"), this);
    m_findNext->setObjectName(QStringLiteral("FindNext"));
    m_findNext->setDefault(true);
    m_findNext->setEnabled(false);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_text, 0, 1, 1, 2);
    grid->addWidget(m_findNext, 0, 3);
    grid->addWidget(m_wholeWord, 1, 0, 1, 2);
    grid->addWidget(direction, 1, 2, 2, 1);
    grid->addWidget(cancel, 1, 3);
    grid->addWidget(m_matchCase, 2, 0, 1, 2);

    connect(m_text, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_findNext->setEnabled(!text.isEmpty()); });
    connect(m_findNext, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void FindDialog::findRecording() {
    m_text->clear();
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    show();
}

void FindDialog::findNext() {
    m_search.findNext(m_text->text(), m_matchCase->isChecked());
}

// Minimising and restoring the windows is no closing and reopening.
void FindDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        m_search.dialogShown();
    m_text->setFocus();
    QDialog::showEvent(event);
}

void FindDialog::hideEvent(QHideEvent* event) {
    if (!event->spontaneous())
        m_search.dialogClosed();
    QDialog::hideEvent(event);
}
