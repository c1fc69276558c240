// How core logic asks the user something without touching a widget.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

/// Implemented with Qt dialogs by the GUI, by the unattended prompter for runs without a screen, and
/// by a scripted prompter in tests. Every text shown is the program's own fixed text or plain text.
class Prompter {
public:
    enum class Icon { Information, Warning, Error };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Prompter() = default;

    /// A modal message box with an OK button.
    virtual void message(const QString& text, Icon icon = Icon::Information) = 0;
    /// A confirmation box; `defaultAnswer` is the focused button (and the unattended answer).
    virtual Answer confirm(const QString& text, Buttons buttons, Answer defaultAnswer) = 0;
    /// An input box; no value when cancelled.
    virtual std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString& value) = 0;
    /// File and folder choice; no value when cancelled.
    virtual std::optional<QString> chooseOpenFile(const QString& caption, const QString& folder,
                                                  const QString& filter) = 0;
    virtual std::optional<QString> chooseSaveFile(const QString& caption, const QString& path,
                                                  const QString& filter) = 0;
    virtual std::optional<QString> chooseFolder(const QString& caption, const QString& folder) = 0;
    /// A save dialog with a choice of file types ("Wave files (*.wav)", ...; the first is the
    /// default); `chosenFilter` gets the type chosen, or an empty text where the prompter cannot tell.
    virtual std::optional<QString> chooseSaveFileWithType(const QString& caption, const QString& path,
                                                          const QStringList& filters, QString& chosenFilter) {
        chosenFilter.clear();
        return chooseSaveFile(caption, path, filters.join(QStringLiteral(";;")));
    }
};
