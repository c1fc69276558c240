// Removes the DLE shielding of a modem's voice receive stream and takes its in-band event codes out; the
// same codes come in the command stream of a modem in voice mode.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

/// In voice mode the modem sends a data byte 0x10 (DLE) twice and marks events (tones, silence, the end
/// of the stream) as DLE followed by a code. The filter keeps its state between chunks, so a DLE at the
/// end of one notification pairs with the first byte of the next.
class DleFilter {
public:
    static constexpr char kDle = 0x10;
    static constexpr char kEtx = 0x03; ///< DLE ETX: the modem ended the stream
    static constexpr char kSub = 0x1A; ///< DLE SUB: two data bytes DLE DLE

    /// Appends the audio bytes of `chunk` to `audio` and the event codes found to `events`.
    void process(QByteArrayView chunk, QByteArray& audio, std::vector<char>& events);
    /// Forgets a pending DLE (a new reception starts).
    void reset() { m_pendingDle = false; }
    bool pendingDle() const { return m_pendingDle; }

    /// A plain description of an event code for the event log, e.g. "busy tone"; unknown codes are
    /// described by their value.
    static QString describe(char code);
    /// Busy tone and dial tone: the far end has hung up.
    static bool endsCall(char code) { return code == 'b' || code == 'd'; }
    /// The local telephone goes off hook: line current on Rockwell-descended chips ('H'), the local phone
    /// on Conexant parts ('P').
    static bool offHook(char code) { return code == 'H' || code == 'P'; }
    /// ... and on hook again.
    static bool onHook(char code) { return code == 'h' || code == 'p'; }
    /// A DTMF digit heard on the line: 0 to 9, * and #.
    static bool dtmfDigit(char code) { return (code >= '0' && code <= '9') || code == '*' || code == '#'; }

private:
    bool m_pendingDle = false;
};
