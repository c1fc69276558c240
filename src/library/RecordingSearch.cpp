// Finding the next recording by its memo.
#include "library/RecordingSearch.h"

#include "base/Prompter.h"
#include "library/TableFile.h"

namespace {

QString upperAscii(QString text) {
    for (QChar& c : text)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - ('a' - 'A'));
    return text;
}

} // namespace

RecordingSearch::RecordingSearch(TableFile& calls, Prompter& prompter) : m_calls(calls), m_prompter(prompter) {}

bool RecordingSearch::memoMatches(const QString& memo, const QString& text, bool matchCase) {
    if (matchCase)
        return memo.contains(text);
    return upperAscii(memo).contains(upperAscii(text));
}

bool RecordingSearch::currentMatches(const QString& text, bool matchCase) const {
    return m_calls.recordCount() > 0 && memoMatches(m_calls.fieldText(QStringLiteral("Comment")), text, matchCase);
}

bool RecordingSearch::findNext(const QString& text, bool matchCase) {
    if (!m_calls.active())
        return false;
    bool found = false;
    {
        SuspendedDisplay suspended(m_calls);
        if (m_restart) {
            m_calls.first();
            m_restart = false;
        }
        if (m_calls.bof())
            found = currentMatches(text, matchCase);
        // A step that cannot leave the last row ends the walk: that row was tested when it was reached.
        while (!found) {
            m_calls.next();
            if (m_calls.eof())
                break;
            found = currentMatches(text, matchCase);
        }
    }
    if (!found)
        m_prompter.message(QString::fromLatin1(kFinished));
    return found;
}
