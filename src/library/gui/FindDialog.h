// The modeless find dialog of the memo search.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class RecordingSearch;

/// `dlgFind`: the text, "Match case" (decides letter case), "Match whole word only" (no effect, as
/// the search always had), the direction fixed to Down, and Find Next. Showing it sets the
/// search's restart mark, closing it clears the mark. Messages ("Search finished") come from the
/// search through the prompter.
///
///     auto* find = new FindDialog(operations.search(), mainWindow);
///     connect(searchAction, &QAction::triggered, find, &FindDialog::findRecording);
class FindDialog : public QDialog {
    Q_OBJECT
public:
    FindDialog(RecordingSearch& search, QWidget* parent = nullptr);

    /// The Search command: empties the text and shows the dialog (or brings it forward).
    void findRecording();
    /// The Find Next button.
    void findNext();

    QLineEdit* findText() const { return m_text; }
    QCheckBox* matchCase() const { return m_matchCase; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    RecordingSearch& m_search;
    QLineEdit* m_text;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeWord;
    QPushButton* m_findNext;
};
