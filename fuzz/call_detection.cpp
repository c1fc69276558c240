// Ring and call detection on arbitrary modem output: the first byte chooses the settings, the rest is
// what the modem says, one data notification per 0xFF-separated piece, 100 ms of clock between pieces.
// Whatever arrives, the caller identification stays one bounded plain text (its number and name
// too), the reply buffer stays bounded, rings count at most one per notification, and a learned ring
// time-out is a real interval.
#include "FuzzSupport.h"
#include "PtyModem.h"

#include "modem/CallerIdFields.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static PtyModem harness;
    if (size == 0)
        return 0;
    ModemController& modem = harness.modem();
    ModemSettings settings = modem.settings();
    settings.callerId = data[0] & 1;
    settings.autoRecord = data[0] & 2;
    settings.rejectCall = data[0] & 4;
    settings.rejectRings = 2 + (data[0] >> 3) % 19;
    modem.setSettings(settings);
    if (settings.autoRecord)
        modem.calls().enableAutoRecord();
    else
        modem.calls().disableAutoRecord();

    // Switching automatic recording off keeps the count it had.
    const int counted = modem.calls().ringCount();
    int notifications = 0;
    for (const QByteArray& piece : fuzzBytes(data + 1, size - 1).split('\xff')) {
        harness.arrive(piece);
        notifications += piece.isEmpty() ? 0 : 1;
        harness.clock().advance(100);
        harness.drain();

        const QString id = modem.calls().callerId();
        FUZZ_CHECK(id.size() <= 255);
        for (const QChar c : id)
            FUZZ_CHECK(c.unicode() >= ' ' ? c.unicode() != 0x7f : (c == u'\r' || c == u'\n' || c == u'\t'));
        // Its parts, as the call log takes them, are no longer than the text.
        const CallerIdFields fields = CallerIdFields::parse(id);
        FUZZ_CHECK(fields.number.size() <= id.size() && fields.name.size() <= std::max<qsizetype>(id.size(), 11));
        FUZZ_CHECK(modem.exchange().replyBuffer().size() <= 65536);
        FUZZ_CHECK(modem.calls().ringCount() >= 0 && modem.calls().ringCount() <= counted + notifications);
        FUZZ_CHECK(settings.autoRecord || modem.calls().ringCount() == counted);
        FUZZ_CHECK(!modem.calls().rejected() ||
                   (settings.rejectCall && modem.calls().ringCount() >= settings.rejectRings));
        FUZZ_CHECK(!modem.calls().ringTimeOutKnown() || modem.calls().ringTimeOut() > 0);
    }
    // The rings stop: the ring timer runs out, the call is taken or passed over.
    harness.clock().advance(60000);
    FUZZ_CHECK(!modem.calls().rejected());
    modem.calls().takeRecordTrigger();
    return 0;
}
