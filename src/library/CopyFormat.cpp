// Names, extensions and dialog filters of the copy formats.
#include "library/CopyFormat.h"

#include <QFileInfo>
#include <array>

namespace {

struct FormatText {
    CopyFormat format;
    QLatin1StringView name;
    QLatin1StringView filter;
};

using namespace Qt::Literals::StringLiterals;

constexpr std::array kFormats{
    FormatText{CopyFormat::Wav, "wav"_L1, "Wave files (*.wav)"_L1},
    FormatText{CopyFormat::Opus, "opus"_L1, "Ogg Opus (*.opus)"_L1},
    FormatText{CopyFormat::Mp3, "mp3"_L1, "MP3 (*.mp3)"_L1},
    FormatText{CopyFormat::Flac, "flac"_L1, "FLAC (*.flac)"_L1},
};

const FormatText& textOf(CopyFormat format) {
    for (const FormatText& text : kFormats)
        if (text.format == format)
            return text;
    return kFormats[0];
}

} // namespace

QString copyFormatName(CopyFormat format) {
    return textOf(format).name;
}

std::optional<CopyFormat> copyFormatFromName(const QString& name) {
    for (const FormatText& text : kFormats)
        if (name.compare(text.name, Qt::CaseInsensitive) == 0)
            return text.format;
    return std::nullopt;
}

QString copyFormatExtension(CopyFormat format) {
    return QLatin1Char('.') + copyFormatName(format);
}

QString copyFormatFilter(CopyFormat format) {
    return textOf(format).filter;
}

QStringList copyFormatFilters() {
    QStringList filters;
    for (const FormatText& text : kFormats)
        filters.append(text.filter);
    return filters;
}

CopyFormat copyFormatFromChoice(const QString& filter, const QString& fileName) {
    for (const FormatText& text : kFormats)
        if (filter == text.filter)
            return text.format;
    return copyFormatFromName(QFileInfo(fileName).suffix()).value_or(CopyFormat::Wav);
}

QString withCopyExtension(const QString& fileName, CopyFormat format) {
    const QFileInfo info(fileName);
    const QString base = info.suffix().isEmpty() ? info.fileName() : info.completeBaseName();
    return base + copyFormatExtension(format);
}
