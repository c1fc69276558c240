// The tag names and texts every compressed copy carries, in the Vorbis comment naming.
#pragma once

#include <QByteArray>
#include <QList>
#include <utility>

struct RecordingTags;

/// TITLE (date and time), DATE (ISO), ARTIST (the caller) and COMMENT (the memo), as UTF-8; a field
/// without a value is left out.
QList<std::pair<QByteArray, QByteArray>> tagFields(const RecordingTags& tags);
