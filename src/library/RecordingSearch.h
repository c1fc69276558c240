// The memo search of the find dialog, without the dialog.
#pragma once

#include <QString>

class Prompter;
class TableFile;

/// Walks the recordings view downwards from the current row to the next row whose memo contains
/// the text. The dialog reports its showing and closing; each press of its find-next button is one
/// findNext().
///
///     RecordingSearch search(catalogue.recordings(), prompter);
///     search.dialogShown();                 // the next search starts at the first row
///     search.findNext("smith", false);      // true: the matching row is current
///     search.findNext("smith", false);      // false: "            Search finished            " shown
class RecordingSearch {
public:
    static constexpr const char* kFinished = "            Search finished            ";

    RecordingSearch(TableFile& calls, Prompter& prompter);

    /// Showing the dialog sets the restart mark, closing it clears the mark.
    void dialogShown() { m_restart = true; }
    void dialogClosed() { m_restart = false; }
    bool restartMarked() const { return m_restart; }

    /// One press of find-next. A matching row becomes current and true is returned; otherwise the
    /// last row is current and "Search finished" has been shown.
    bool findNext(const QString& text, bool matchCase);

    /// Whether a memo contains the text: as it is with `matchCase`, else with the letters a to z of
    /// both in upper case (other letters keep their case, as the search always did).
    static bool memoMatches(const QString& memo, const QString& text, bool matchCase);

private:
    bool currentMatches(const QString& text, bool matchCase) const;

    TableFile& m_calls;
    Prompter& m_prompter;
    bool m_restart = false;
};
