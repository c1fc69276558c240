// The built-in modem personalities. Two follow replies captured from real modems (a Conexant CX93001 USB
// modem and a U.S. Robotics USR5637); the others vary the forms real modems use.
#include "modemsim/Personality.h"

#include "modemsim/Escapes.h"

namespace modemsim {

namespace {

using F = SampleFormat;

Personality cx93001() {
    Personality p;
    p.name = "cx93001";
    p.manufacturer = "CONEXANT";
    p.model = "CX93001-EIS_V0.2013-V92";
    p.revision = "V0.2013-V92";
    p.information = {"56000", "F3AE", "", p.model, "CONEXANT", "", "", "", std::nullopt, std::nullopt, std::nullopt};
    p.replies = {
        {"+FCLASS=?", "0,1,1.0,8"},
        {"+VSM=?", "0,\"SIGNED PCM\",8,0,8000,0,0\r\n"
                   "1,\"UNSIGNED PCM\",8,0,8000,0,0\r\n"
                   "129,\"IMA ADPCM\",4,0,8000,0,0\r\n"
                   "130,\"UNSIGNED PCM\",8,0,8000,0,0\r\n"
                   "131,\"Mu-Law\",8,0,8000,0,0\r\n"
                   "132,\"A-Law\",8,0,8000,0,0\r\n"
                   "133,\"14 bit PCM\",14,0,8000,0,0"},
        {"+VLS=?", "0,1,4,5,7,13"},
        {"+VGR=?", "(0-255)"},
        {"+VGT=?", "(0-255)"},
        {"+VSD=?", "(0-255),(0-255)"},
        {"+VTD=?", "(0-500)"},
        {"+VDR=?", "(0,1),(0-255)"},
        {"+VCID=?", "(0-2)"},
        {"+VSP=?", "(0,1)"},
        {"+VGM=?", "(0-255)"},
        {"+VGS=?", "(0-255)"},
        {"+VNH=?", "(0-2)"},
        {"+FLO=?", "(0-2)"},
        {"+VIP=?", "0"},
        {"+VTS=?", "(200-3300),(200-3300),(0-500)"},
        {"+VIT=?", "(0-255)"},
        {"+VRA=?", "(0-255)"},
        {"+VRN=?", "(0-255)"},
        {"+VBT=?", "(0-4095),(0-4095)"},
    };
    p.compressions = {{0, F::Signed8, {8000}},     {1, F::Unsigned8, {8000}}, {129, F::ImaAdpcm, {8000}},
                      {130, F::Unsigned8, {8000}}, {131, F::Ulaw, {8000}},    {132, F::Alaw, {8000}},
                      {133, F::Pcm14, {8000}}};
    p.lineSelections = {0, 1, 4, 5, 7, 13};
    p.callerId = CallerIdStyle::Spaced;
    return p;
}

Personality usr5637() {
    Personality p;
    p.name = "usr5637";
    p.manufacturer = "U.S. Robotics";
    p.model = "U.S. Robotics 56K FAX USB V1.2.23";
    p.revision = "V1.2.23";
    p.information = {"5601", "",           "",           p.model,     "B0 E1 F1 L2 M1 Q0 V1 X4 Y1", "", "",
                     "",     std::nullopt, std::nullopt, std::nullopt};
    p.replies = {
        {"+FCLASS=?", "0,1,1.0,2,2.0,8"},
        {"+VSM=?", "128,\"8-BIT LINEAR\",(7200,8000,11025)\r\n"
                   "129,\"16-BIT LINEAR\",(7200,8000,11025)\r\n"
                   "130,\"8-BIT ALAW\",(8000)\r\n"
                   "131,\"8-BIT ULAW\",(8000)\r\n"
                   "132,\"IMA ADPCM\",(7200,8000,11025)\r\n"},
        {"+VLS=?", "0,1,2,3,4,5,6,7,8"},
        {"+VGR=?", "0,121-135"},
        {"+VGT=?", "0,121-135"},
        {"+VSD=?", "(0-255),(0-255)"},
        {"+VTD=?", "(1-255)"},
        {"+VDR=?", "(0,1),(0-255)"},
        {"+VCID=?", "(0-2)"},
        {"+VSP=?", "(0,1)"},
        {"+VNH=?", "(0-2)"},
        {"+FLO=?", "(0-2)"},
        {"+VIP=?", ""},
        {"+VTS=?", "(200-3300),(200-3300),(0-500)"},
        {"+VRA=?", "(0-255)"},
        {"+VRN=?", "(0-255)"},
    };
    // This modem has no microphone or speaker gain.
    p.rejected = {"+VGM", "+VGS"};
    p.compressions = {{128, F::Unsigned8, {7200, 8000, 11025}},
                      {129, F::Linear16, {7200, 8000, 11025}},
                      {130, F::Alaw, {8000}},
                      {131, F::Ulaw, {8000}},
                      {132, F::ImaAdpcm, {7200, 8000, 11025}}};
    p.receiveGain = {121, 135};
    p.transmitGain = {121, 135};
    p.extraGains = {0};
    p.defaultGain = 128;
    p.lineSelections = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    p.callerId = CallerIdStyle::Compact;
    p.handsetEventAfterLineSelect = true;
    return p;
}

// A soft modem with every variation the others lack: "+VSM:" prefixes, ';' separators, five fields, unquoted
// lower-case names, parenthesised rate groups, prefixed identity, lower-case caller ID, and it rejects
// the silence, tone-duration and transmit-gain commands.
Personality sv92() {
    Personality p;
    p.name = "sv92";
    p.manufacturer = "SV MICROSYSTEMS";
    p.model = "SV92 Soft Modem";
    p.revision = "2.1.7";
    p.information = {"SV92", "", "", p.model, "", "", "", "", "", "", ""};
    p.prefixedReplies = true;
    p.replies = {
        {"+FCLASS=?", "+FCLASS: (0,1,8)"},
        {"+VSM=?", "+VSM: 1;unsigned pcm;8;0;(7200,8000,11025)\r\n"
                   "+VSM: 2;signed linear;16;0;(8000,11025)\r\n"
                   "+VSM: 3;signed pcm;8;0;(8000)\r\n"
                   "+VSM: 4;g.711u;8;0;(8000)\r\n"
                   "+VSM: 5;g.711a;0;0;(8000)"},
        {"+VLS=?", "+VLS: (0,1,5)"},
        {"+VGR=?", "+VGR: (0-31)"},
        {"+VCID=?", "+VCID: (0-2)"},
        {"+VDR=?", "+VDR: (0,1),(0-255)"},
        {"+VSP=?", "+VSP: (0,1)"},
        {"+VGM=?", "+VGM: (0-31)"},
        {"+VGS=?", "+VGS: (0-31)"},
    };
    p.rejected = {"+VSD", "+VTD", "+VGT"};
    p.compressions = {{1, F::Unsigned8, {7200, 8000, 11025}},
                      {2, F::Linear16, {8000, 11025}},
                      {3, F::Signed8, {8000}},
                      {4, F::Ulaw, {8000}},
                      {5, F::Alaw, {8000}}};
    p.vsmSeparator = ';';
    p.receiveGain = {0, 31};
    p.transmitGain = {0, 31};
    p.defaultGain = 16;
    p.lineSelections = {0, 1, 5};
    p.callerId = CallerIdStyle::LowerSpaced;
    return p;
}

// A data/fax modem without voice: it rejects +FCLASS=8 and so every voice command.
Personality datamodem() {
    Personality p;
    p.name = "datamodem";
    p.manufacturer = "GENERIC";
    p.model = "56K Data Fax Modem";
    p.revision = "1.0";
    p.information = {"56000", "", "", p.model, "", "", "", std::nullopt, std::nullopt, std::nullopt, std::nullopt};
    p.replies = {{"+FCLASS=?", "0,1,2"}, {"+VCID=?", "(0-2)"}};
    p.voice = false;
    p.callerId = CallerIdStyle::Spaced;
    return p;
}

} // namespace

std::vector<std::string> personalityNames() {
    return {"cx93001", "usr5637", "sv92", "datamodem"};
}

std::optional<Personality> builtinPersonality(const std::string& name) {
    const std::string n = upper(name);
    if (n == "CX93001")
        return cx93001();
    if (n == "USR5637")
        return usr5637();
    if (n == "SV92")
        return sv92();
    if (n == "DATAMODEM")
        return datamodem();
    return std::nullopt;
}

std::string commandKey(const std::string& command) {
    std::string key = upper(trimmed(command));
    if (key.size() >= 2 && key.compare(0, 2, "AT") == 0)
        key.erase(0, 2);
    return key;
}

std::optional<SampleFormat> sampleFormatFromName(const std::string& name) {
    const std::string n = upper(name);
    if (n == "U8")
        return F::Unsigned8;
    if (n == "S8")
        return F::Signed8;
    if (n == "S16")
        return F::Linear16;
    if (n == "S14")
        return F::Pcm14;
    if (n == "ULAW")
        return F::Ulaw;
    if (n == "ALAW")
        return F::Alaw;
    if (n == "IMA")
        return F::ImaAdpcm;
    return std::nullopt;
}

} // namespace modemsim
