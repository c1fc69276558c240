// The file formats a copy of a recording can be written in: the stored WAV file, or a compressed copy.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

enum class CopyFormat { Wav, Opus, Mp3, Flac };

/// "wav", "opus", "mp3", "flac": the names of the command line and of tvk.ini.
QString copyFormatName(CopyFormat format);
/// The format of such a name (any letter case); none for another text.
std::optional<CopyFormat> copyFormatFromName(const QString& name);
/// The file name extension with its dot: ".wav", ".opus", ".mp3", ".flac".
QString copyFormatExtension(CopyFormat format);
/// The save dialog's filter of the format, e.g. "Ogg Opus (*.opus)"; WAV's is "Wave files (*.wav)".
QString copyFormatFilter(CopyFormat format);
/// Every filter, WAV first.
QStringList copyFormatFilters();
/// The format of a filter text or, failing that, of a file name's extension; WAV when neither tells.
CopyFormat copyFormatFromChoice(const QString& filter, const QString& fileName);
/// `fileName` with its extension replaced by the format's.
QString withCopyExtension(const QString& fileName, CopyFormat format);
