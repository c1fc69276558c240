// The voice commands (+VSM, +VLS, +VGR, +VGT, +VSD, +VCID, +VRX and the settings the stream ignores) and the
// caller ID reports.
#include "modemsim/AtModem.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace modemsim {

namespace {

// Integer values separated by ',' (or the modem's alternative separator); false on anything else.
bool parseValues(const std::string& args, char separator, std::vector<int>& values) {
    values.clear();
    std::string field;
    auto flush = [&] {
        if (field.empty() || field.size() > 6)
            return false;
        for (char c : field)
            if (!std::isdigit(static_cast<unsigned char>(c)))
                return false;
        values.push_back(std::atoi(field.c_str()));
        field.clear();
        return true;
    };
    for (char c : args) {
        if (c == ',' || c == separator) {
            if (!flush())
                return false;
        } else {
            field += c;
        }
    }
    return flush();
}

bool inRange(int v, std::pair<int, int> range, const std::set<int>& extra) {
    return (v >= range.first && v <= range.second) || extra.count(v);
}

std::string hexByte(unsigned v) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", v & 0xffu);
    return buf;
}

// The multiple-data-message form of the caller ID burst: date and time, number (or the reason it is absent:
// "O" out of area, "P" private) and name, closed by the checksum that makes the byte sum zero.
std::string callerIdMessage(const CallerId& id) {
    std::string body;
    auto parameter = [&](int type, const std::string& value) {
        const std::string v = value.substr(0, 80);
        body += static_cast<char>(type);
        body += static_cast<char>(v.size());
        body += v;
    };
    parameter(0x01, id.date + id.time);
    if (id.number == "O" || id.number == "P")
        parameter(0x04, id.number);
    else if (!id.number.empty())
        parameter(0x02, id.number);
    if (id.name == "O" || id.name == "P")
        parameter(0x08, id.name);
    else if (!id.name.empty())
        parameter(0x07, id.name);
    std::string message;
    message += static_cast<char>(0x80);
    message += static_cast<char>(body.size() & 0xff);
    message += body;
    unsigned sum = 0;
    for (char c : message)
        sum += static_cast<unsigned char>(c);
    message += static_cast<char>((0x100 - (sum & 0xff)) & 0xff);
    std::string hex;
    for (char c : message)
        hex += hexByte(static_cast<unsigned char>(c));
    return hex;
}

} // namespace

AtModem::Result AtModem::executeVoice(const Command& c, std::string& info) {
    const std::string& n = c.name;
    const char sep = m_personality.vsmSeparator;
    const std::string prefix = m_personality.prefixedReplies ? n + ": " : "";
    std::vector<int> v;
    auto readValue = [&](const std::string& text) {
        sendInfo(info, prefix + text);
        return Result::Ok;
    };
    if (n == "+VSM") {
        if (c.form == "?") {
            std::ostringstream s;
            s << m_compressionCode << sep << m_sampleRate << sep << 0 << sep << 0;
            return readValue(s.str());
        }
        if (c.form != "=" || !parseValues(c.args, sep, v) || v.empty() || v.size() > 4)
            return Result::Error;
        for (const auto& comp : m_personality.compressions) {
            if (comp.code != v[0])
                continue;
            int rate = comp.rates.front();
            if (v.size() > 1) {
                rate = v[1];
                bool allowed = false;
                for (int r : comp.rates)
                    allowed = allowed || r == rate;
                if (!allowed)
                    return Result::Error;
            }
            m_compressionCode = comp.code;
            m_sampleRate = rate;
            return Result::Ok;
        }
        return Result::Error;
    }
    if (n == "+VLS") {
        if (c.form == "?")
            return readValue(std::to_string(m_lineSelection));
        if (c.form != "=" || !parseValues(c.args, ',', v) || v.size() != 1 || !m_personality.lineSelections.count(v[0]))
            return Result::Error;
        m_lineSelection = v[0];
        return Result::Ok;
    }
    if (n == "+VGR" || n == "+VGT") {
        int& gain = n == "+VGR" ? m_receiveGain : m_transmitGain;
        if (c.form == "?")
            return readValue(std::to_string(gain));
        const auto range = n == "+VGR" ? m_personality.receiveGain : m_personality.transmitGain;
        if (c.form != "=" || !parseValues(c.args, ',', v) || v.size() != 1 ||
            !inRange(v[0], range, m_personality.extraGains))
            return Result::Error;
        gain = v[0];
        return Result::Ok;
    }
    if (n == "+VSD") {
        if (c.form == "?")
            return readValue(std::to_string(m_silenceSensitivity) + "," + std::to_string(m_silenceTenths));
        if (c.form != "=" || !parseValues(c.args, ',', v) || v.size() != 2 || v[0] > 255 || v[1] > 255)
            return Result::Error;
        m_silenceSensitivity = v[0];
        m_silenceTenths = v[1];
        return Result::Ok;
    }
    if (n == "+VCID") {
        if (c.form == "?")
            return readValue(std::to_string(m_callerIdMode));
        if (c.form == "=?")
            return readValue("(0-2)");
        if (c.form != "=" || !parseValues(c.args, ',', v) || v.size() != 1 || v[0] > 2)
            return Result::Error;
        m_callerIdMode = v[0];
        return Result::Ok;
    }
    if (n == "+VRX") {
        if (c.form == "=?")
            return Result::Ok;
        if (!c.form.empty() || !compression())
            return Result::Error;
        return m_faults.noConnect ? Result::Nothing : Result::Connect;
    }
    // Settings that shape nothing this line produces: kept so that their read form answers.
    static const std::set<std::string> settings = {"+VDR", "+VSP", "+VGM", "+VGS", "+VTD", "+VNH",
                                                   "+VIT", "+VRA", "+VRN", "+VBT", "+VIP", "+VTS"};
    if (settings.count(n) || m_personality.replies.count(n + "=?")) {
        if (c.form == "=") {
            if (c.args.empty())
                return Result::Error;
            m_values[n] = c.args;
        } else if (c.form == "?") {
            return readValue(m_values.count(n) ? m_values[n] : "0");
        }
        return Result::Ok;
    }
    return Result::Error;
}

void AtModem::callerId(const CallerId& id) {
    if (m_faults.silent || m_callerIdMode == 0 || m_quiet)
        return;
    const CallerIdStyle style = m_personality.callerId;
    auto line = [&](const char* key, const std::string& value) {
        std::string k = key;
        if (style == CallerIdStyle::LowerSpaced)
            for (char& ch : k)
                ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        const char* eq = style == CallerIdStyle::Compact ? "=" : " = ";
        return "\r\n" + k + eq + value + "\r\n";
    };
    std::string report;
    if (m_callerIdMode == 2) {
        report = line("MESG", callerIdMessage(id));
    } else {
        report = line("DATE", id.date) + line("TIME", id.time);
        if (!id.number.empty())
            report += line("NMBR", id.number);
        if (!id.name.empty())
            report += line("NAME", id.name);
    }
    m_hooks.send(report);
}

} // namespace modemsim
