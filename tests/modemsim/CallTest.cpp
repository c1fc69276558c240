// Incoming calls: rings at the cadence, caller ID reports between the first and the second ring in each
// modem's form, and single events.
#include "SimFixture.h"

#include <regex>

using Calls = SimFixture;

namespace {

// The lines of a reply, without the CR LF framing.
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t eol; (eol = text.find("\r\n", start)) != std::string::npos; start = eol + 2)
        if (eol > start)
            out.push_back(text.substr(start, eol - start));
    return out;
}

// Reads one report framed as CR LF text CR LF.
std::string readReport(SerialClient& port) {
    std::string got;
    while (got.size() < 4 || got.compare(got.size() - 2, 2, "\r\n") != 0) {
        const std::string more = port.readUntil("\r\n");
        if (more.empty())
            break;
        got += more;
    }
    return got;
}

} // namespace

TEST_F(Calls, CallerIdComesBetweenFirstAndSecondRing) {
    startModem("cx93001", 10);
    port.command("ATE0");
    ASSERT_EQ(port.command("AT+VCID=1"), "\r\nOK\r\n");
    sim->command("call rings=3 interval=2000 cid=5551234 name=\"JOHN DOE\" talk=1");
    std::string got;
    for (int ring = 0; ring < 3; ++ring)
        got += port.readUntil("RING\r\n");
    const auto l = lines(got);
    ASSERT_EQ(l.size(), 7u) << got;
    EXPECT_EQ(l[0], "RING");
    EXPECT_TRUE(std::regex_match(l[1], std::regex("DATE = [01][0-9][0-3][0-9]"))) << l[1];
    EXPECT_TRUE(std::regex_match(l[2], std::regex("TIME = [0-2][0-9][0-5][0-9]"))) << l[2];
    EXPECT_EQ(l[3], "NMBR = 5551234");
    EXPECT_EQ(l[4], "NAME = JOHN DOE");
    EXPECT_EQ(l[5], "RING");
    EXPECT_EQ(l[6], "RING");
    // Each caller ID line is framed by CR LF of its own.
    EXPECT_NE(got.find("\r\nNMBR = 5551234\r\n\r\nNAME = JOHN DOE\r\n"), std::string::npos);
    // The handset is lifted after the third ring: no fourth comes.
    EXPECT_EQ(port.readFor(300), "");
}

TEST_F(Calls, CallerIdOffGivesOnlyRings) {
    startModem("cx93001", 20);
    sim->command("call rings=2 interval=1000 cid=5551234");
    EXPECT_EQ(port.readUntil("RING\r\n\r\nRING\r\n"), "\r\nRING\r\n\r\nRING\r\n");
}

TEST_F(Calls, EachModemPrintsCallerIdItsWay) {
    const std::pair<const char*, const char*> forms[] = {
        {"cx93001", "\r\nDATE = 0117\r\n\r\nTIME = 1452\r\n\r\nNMBR = 5551234\r\n\r\nNAME = WIRELESS CALLER\r\n"},
        {"usr5637", "\r\nDATE=0117\r\n\r\nTIME=1452\r\n\r\nNMBR=5551234\r\n\r\nNAME=WIRELESS CALLER\r\n"},
        {"sv92", "\r\ndate = 0117\r\n\r\ntime = 1452\r\n\r\nnmbr = 5551234\r\n\r\nname = WIRELESS CALLER\r\n"},
    };
    for (const auto& [profile, expected] : forms) {
        port.close();
        if (sim)
            sim->stop();
        startModem(profile);
        port.command("ATE0");
        ASSERT_EQ(port.command("AT+VCID=1"), "\r\nOK\r\n");
        sim->command("cid NMBR=5551234 NAME=\"WIRELESS CALLER\" DATE=0117 TIME=1452");
        EXPECT_EQ(port.readUntil("CALLER\r\n"), expected) << profile;
    }
}

TEST_F(Calls, UnformattedCallerIdIsTheMessageInHex) {
    startModem();
    port.command("ATE0");
    ASSERT_EQ(port.command("AT+VCID=2"), "\r\nOK\r\n");
    sim->command("cid NMBR=5551234 NAME=\"JOHN DOE\" DATE=1015 TIME=1310");
    const std::string got = readReport(port);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(got, m, std::regex("\r\nMESG = ([0-9A-F]+)\r\n"))) << got;
    std::string bytes;
    const std::string hex = m[1].str();
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    // Multiple-data-message burst: type, length, date-time, number and name parameters, checksum.
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x80);
    EXPECT_EQ(static_cast<size_t>(bytes[1]), bytes.size() - 3);
    EXPECT_EQ(bytes.substr(2, bytes.size() - 3), std::string("\x01\x08"
                                                             "10151310"
                                                             "\x02\x07"
                                                             "5551234"
                                                             "\x07\x08"
                                                             "JOHN DOE"));
    unsigned sum = 0;
    for (char c : bytes)
        sum += static_cast<unsigned char>(c);
    EXPECT_EQ(sum & 0xff, 0u);

    // Private and out-of-area numbers travel as reasons, not as numbers.
    sim->command("cid NMBR=P DATE=1015 TIME=1310");
    const std::string priv = readReport(port);
    EXPECT_NE(priv.find("MESG = 800D01083130313531333130040150"), std::string::npos) << priv;
}

TEST_F(Calls, RingsReachOnlyAnOpenPort) {
    startModem();
    port.close();
    sim->command("ring");
    ASSERT_TRUE(port.open(link()));
    EXPECT_EQ(port.command("AT"), "AT\r\r\nOK\r\n"); // the ring while the port was closed is gone
    sim->command("ring");
    EXPECT_EQ(port.readUntil("RING\r\n"), "\r\nRING\r\n");
}

TEST_F(Calls, BadControlLinesAreRefused) {
    startModem();
    std::string error;
    modemsim::Options options;
    modemsim::Simulator s(options);
    ASSERT_TRUE(s.open(error)) << error;
    for (const char* bad :
         {"call rings=x", "call interval=0", "call audio=tone:abc", "call end=music", "call colour=red",
          "call audio=/no/such.wav", "cid NAME=\"open", "fault bogus", "dance", "plug"}) {
        error.clear();
        EXPECT_FALSE(s.control(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    EXPECT_TRUE(s.control("call rings=2 interval=500 cid=O audio=tone:1000 talk=1 end=busy endfor=2", error));
    EXPECT_TRUE(s.control("# a comment", error));
}
