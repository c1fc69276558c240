// The prompter of the windowed program: Qt message boxes and dialogs.
#pragma once

#include "base/Prompter.h"

class QWidget;

class DialogPrompter : public Prompter {
public:
    explicit DialogPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    void message(const QString& text, Icon icon = Icon::Information) override;
    Answer confirm(const QString& text, Buttons buttons, Answer defaultAnswer) override;
    std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString& value) override;
    std::optional<QString> chooseOpenFile(const QString& caption, const QString& folder,
                                          const QString& filter) override;
    std::optional<QString> chooseSaveFile(const QString& caption, const QString& path, const QString& filter) override;
    std::optional<QString> chooseFolder(const QString& caption, const QString& folder) override;
    std::optional<QString> chooseSaveFileWithType(const QString& caption, const QString& path,
                                                  const QStringList& filters, QString& chosenFilter) override;

private:
    QWidget* m_parent;
};
