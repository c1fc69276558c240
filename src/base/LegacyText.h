// Text from files the program's earlier versions wrote: UTF-8 when it is valid, else the Windows-1252 code page.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace LegacyText {

/// `bytes` as UTF-8 when they are valid UTF-8, otherwise as Windows-1252 (the code page the tables,
/// tree.d and tvk.ini were written in on the original platform; 0x80-0x9F hold € ‚ ƒ „ … † ‡ ˆ ‰ Š ‹
/// Œ Ž ‘ ’ “ ” • – — ˜ ™ š › œ ž Ÿ there, not the control codes of Latin-1).
QString decode(QByteArrayView bytes);

/// One byte of Windows-1252 as a character; the five bytes the code page leaves unassigned keep
/// their own value.
QChar fromWindows1252(unsigned char byte);

/// `text` in Windows-1252, one byte a character; nothing when a character has no byte there.
std::optional<QByteArray> toWindows1252(QStringView text);

} // namespace LegacyText
