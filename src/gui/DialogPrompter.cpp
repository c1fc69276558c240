// Qt dialogs for the program's questions. Texts are always shown as plain text.
#include "gui/DialogPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

QMessageBox::StandardButton toButton(Prompter::Answer answer) {
    switch (answer) {
    case Prompter::Answer::Ok:
        return QMessageBox::Ok;
    case Prompter::Answer::Cancel:
        return QMessageBox::Cancel;
    case Prompter::Answer::Yes:
        return QMessageBox::Yes;
    case Prompter::Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons toButtons(Prompter::Buttons buttons) {
    switch (buttons) {
    case Prompter::Buttons::Ok:
        return QMessageBox::Ok;
    case Prompter::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Prompter::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Prompter::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QString title() {
    return QApplication::applicationDisplayName();
}

} // namespace

void DialogPrompter::message(const QString& text, Icon icon) {
    QMessageBox box(icon == Icon::Error     ? QMessageBox::Critical
                    : icon == Icon::Warning ? QMessageBox::Warning
                                            : QMessageBox::Information,
                    title(), text, QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

Prompter::Answer DialogPrompter::confirm(const QString& text, Buttons buttons, Answer defaultAnswer) {
    QMessageBox box(QMessageBox::Question, title(), text, toButtons(buttons), m_parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(toButton(defaultAnswer));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return Answer::Cancel;
    }
}

std::optional<QString> DialogPrompter::inputBox(const QString& caption, const QString& prompt, const QString& value) {
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, caption, prompt, QLineEdit::Normal, value, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

std::optional<QString> DialogPrompter::chooseOpenFile(const QString& caption, const QString& folder,
                                                      const QString& filter) {
    const QString path = QFileDialog::getOpenFileName(m_parent, caption, folder, filter);
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

std::optional<QString> DialogPrompter::chooseSaveFile(const QString& caption, const QString& path,
                                                      const QString& filter) {
    const QString chosen = QFileDialog::getSaveFileName(m_parent, caption, path, filter);
    return chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen);
}

std::optional<QString> DialogPrompter::chooseSaveFileWithType(const QString& caption, const QString& path,
                                                              const QStringList& filters, QString& chosenFilter) {
    chosenFilter = filters.value(0);
    const QString chosen =
        QFileDialog::getSaveFileName(m_parent, caption, path, filters.join(QStringLiteral(";;")), &chosenFilter);
    return chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen);
}

std::optional<QString> DialogPrompter::chooseFolder(const QString& caption, const QString& folder) {
    const QString path = QFileDialog::getExistingDirectory(m_parent, caption, folder);
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}
