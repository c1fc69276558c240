// Identity replies: whatever the modem answers to "AT+GMM?" becomes a query result without its OK and
// outer blanks, then the identity text of the modem list, and is stored in tvk.ini and read back as
// the same single line.
#include "FuzzSupport.h"
#include "PtyModem.h"
#include "modemsetup/ModemSearch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static PtyModem harness;
    ModemController& modem = harness.modem();
    modem.calls().disableAutoRecord();
    harness.answerNextCommand(fuzzBytes(data, size));
    QString reply;
    const AtResult result = modem.exchange().sendQuery(QStringLiteral("AT+GMM?"), reply);
    harness.drain();
    FUZZ_CHECK(!modem.exchange().waiting());
    if (result != AtResult::Ok)
        return 0;
    FUZZ_CHECK(reply.isEmpty() || (reply.front().unicode() > ' ' && reply.back().unicode() > ' '));
    const QString model = ModemSearch::identityText(reply);
    FUZZ_CHECK(model.size() <= reply.size());

    Config& config = harness.config();
    config.writeString(QStringLiteral("Modem"), QStringLiteral("Model"), model);
    QString expected = model;
    expected.remove(u'\r');
    expected.remove(u'\n');
    FUZZ_CHECK(config.readString(QStringLiteral("Modem"), QStringLiteral("Model"), QString()) ==
               expected.left(Config::kMaxStringRead));
    FUZZ_CHECK(config.readString(QStringLiteral("Ports"), QStringLiteral("Com1"), QString()).startsWith(u'/'));
    return 0;
}
