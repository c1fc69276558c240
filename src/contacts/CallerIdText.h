// The caller identification text the modem reported, read for its number and name.
#pragma once

#include <QString>

class ContactBook;

/// The text starts after the first tag's '=' (see CallDetector): the number (or the reason there is
/// none, "P" or "O"), then perhaps further lines such as NAME=...
namespace CallerIdText {

/// The first line, trimmed: the number when the line sent one.
QString number(const QString& text);
/// Whether the text holds a name line of its own.
bool hasName(const QString& text);
/// The text with the contact's name after it when the text has no name and `contacts` knows the
/// number; the text itself otherwise. The memo of a recording and the pop-up show this.
QString withContactName(const QString& text, const ContactBook& contacts);

} // namespace CallerIdText
