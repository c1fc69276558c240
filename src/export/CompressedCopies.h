// The copy writer the recording commands use for their compressed copies.
#pragma once

#include "export/SoundEncoder.h"
#include "library/RecordingOperations.h"

/// Encodes with RecordingExporter on a thread of its own while the event loop goes on, so a
/// recording in progress keeps receiving while a long call is copied or attached.
///
///     operations.setCopyWriter(compressedCopyWriter());
RecordingOperations::CopyWriter compressedCopyWriter(const EncoderSettings& settings = {});
