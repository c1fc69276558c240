// C-style escapes in control lines and personality files, and a printable form of raw bytes for the log.
#pragma once

#include <string>
#include <string_view>

namespace modemsim {

/// Decodes \r \n \t \0 \\ \" \' \a \b \e, \xHH (one or two hex digits) and \NNN (octal); an unknown escape
/// stands for the character after the backslash.
std::string decodeEscapes(std::string_view text);

/// The bytes with control characters and bytes >= 0x7f written as escapes, for log lines.
std::string printable(std::string_view bytes);

/// Upper-case copy (ASCII only).
std::string upper(std::string_view text);

/// The text without blanks and tabs at both ends.
std::string trimmed(std::string_view text);

} // namespace modemsim
