// Splitting replies into the Query Modem lines.
#include "modemsetup/QueryModemBox.h"

#include <QRegularExpression>

namespace {

QStringList splitLines(const QString& text) {
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    return text.split(breaks);
}

} // namespace

QueryModemBox::QueryModemBox(QObject* parent) : QObject(parent) {}

void QueryModemBox::clear() {
    if (m_lines.isEmpty())
        return;
    m_lines.clear();
    Q_EMIT changed();
}

void QueryModemBox::addText(const QString& text) {
    m_lines += splitLines(text);
    Q_EMIT changed();
}

void QueryModemBox::setText(const QString& text) {
    m_lines = text.isEmpty() ? QStringList() : splitLines(text);
    Q_EMIT changed();
}
