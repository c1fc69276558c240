// The built-in personalities answer as the modems they follow, and personality files override them.
#include "SimFixture.h"

#include <fstream>

using Personalities = SimFixture;

TEST_F(Personalities, Cx93001) {
    startModem("cx93001");
    port.command("ATE0");
    EXPECT_EQ(port.command("AT+FCLASS=8"), "\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+VSM=?"), "\r\n0,\"SIGNED PCM\",8,0,8000,0,0\r\n"
                                        "1,\"UNSIGNED PCM\",8,0,8000,0,0\r\n"
                                        "129,\"IMA ADPCM\",4,0,8000,0,0\r\n"
                                        "130,\"UNSIGNED PCM\",8,0,8000,0,0\r\n"
                                        "131,\"Mu-Law\",8,0,8000,0,0\r\n"
                                        "132,\"A-Law\",8,0,8000,0,0\r\n"
                                        "133,\"14 bit PCM\",14,0,8000,0,0\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+VGR=?"), "\r\n(0-255)\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+GMM?"), "\r\nCX93001-EIS_V0.2013-V92\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+VLS=1"), "\r\nOK\r\n");
    EXPECT_EQ(port.readFor(100), ""); // no handset event from this modem
}

TEST_F(Personalities, Usr5637) {
    startModem("usr5637");
    port.command("ATE0");
    EXPECT_EQ(port.command("ATI0"), "\r\n5601\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("ATI3"), "\r\nU.S. Robotics 56K FAX USB V1.2.23\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+FCLASS=8"), "\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+VSM=?"), "\r\n128,\"8-BIT LINEAR\",(7200,8000,11025)\r\n"
                                        "129,\"16-BIT LINEAR\",(7200,8000,11025)\r\n"
                                        "130,\"8-BIT ALAW\",(8000)\r\n"
                                        "131,\"8-BIT ULAW\",(8000)\r\n"
                                        "132,\"IMA ADPCM\",(7200,8000,11025)\r\n\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+VSM=128,11025"), "\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+VSM=130,11025"), "\r\nERROR\r\n");
    EXPECT_EQ(port.command("AT+VGR=?"), "\r\n0,121-135\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+VGR=0"), "\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+VGR=140"), "\r\nERROR\r\n");
    EXPECT_EQ(port.command("AT+VGM=5"), "\r\nERROR\r\n");
    // OK, then the handset event.
    port.write("AT+VLS=1\r");
    EXPECT_EQ(port.readUntil("\x10H"), "\r\nOK\r\n\x10H");
}

TEST_F(Personalities, Sv92VariesTheForms) {
    startModem("sv92");
    port.command("ATE0");
    EXPECT_EQ(port.command("AT+GMM?"), "\r\n+GMM: SV92 Soft Modem\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+FCLASS=8"), "\r\nOK\r\n");
    const std::string vsm = port.command("AT+VSM=?");
    EXPECT_NE(vsm.find("\r\n+VSM: 1;unsigned pcm;8;0;(7200,8000,11025)\r\n"), std::string::npos) << vsm;
    // Its values are separated by ';' on the command line as in its replies.
    EXPECT_EQ(port.command("AT+VSM=2;11025;0;0;+VSM?"), "\r\n+VSM: 2;11025;0;0\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+VGR=?"), "\r\n+VGR: (0-31)\r\n\r\nOK\r\n");
    for (const char* rejected : {"AT+VSD=128,50", "AT+VTD=100", "AT+VGT=?", "AT+VGT=10"})
        EXPECT_EQ(port.command(rejected), "\r\nERROR\r\n") << rejected;
}

TEST_F(Personalities, DataModemHasNoVoice) {
    startModem("datamodem");
    port.command("ATE0");
    EXPECT_EQ(port.command("AT+FCLASS=?"), "\r\n0,1,2\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+FCLASS=8"), "\r\nERROR\r\n");
    EXPECT_EQ(port.command("AT+VSM=?"), "\r\nERROR\r\n");
}

TEST_F(Personalities, FileOverridesRepliesAndIdentity) {
    const std::string path = file("odd.modem");
    std::ofstream(path) << "# an odd modem\n"
                           "base usr5637\n"
                           "reply AT+VSM=? 1,\\\"SIGNED LINEAR\\\",(8000)\\r\\n2;u-law;8000\n"
                           "reject at+vls\n"
                           "silent ATI4\n"
                           "model Odd Modem \\\"X\\\"\n"
                           "manufacturer ODD\n"
                           "revision 9.9\n"
                           "compression 1 s16 8000\n"
                           "compression 2 ulaw 8000\n";
    startModem(path);
    port.command("ATE0");
    EXPECT_EQ(port.command("AT+GMM?"), "\r\nOdd Modem \"X\"\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("ATI3"), "\r\nOdd Modem \"X\"\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+GMI?;+GMR?"), "\r\nODD\r\n\r\n9.9\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("ATI0"), "\r\n5601\r\n\r\nOK\r\n"); // the base still answers the rest
    EXPECT_EQ(port.command("ATI4", 300), "");
    EXPECT_EQ(port.command("AT+FCLASS=8"), "\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+VSM=?"), "\r\n1,\"SIGNED LINEAR\",(8000)\r\n2;u-law;8000\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+VLS=?"), "\r\nERROR\r\n");
    EXPECT_EQ(port.command("AT+VSM=2,8000"), "\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+VSM=128,8000"), "\r\nERROR\r\n");
}

TEST_F(Personalities, NoVoiceFileAndBadFiles) {
    const std::string path = file("novoice.modem");
    std::ofstream(path) << "novoice\n";
    startModem(path);
    port.command("ATE0");
    EXPECT_EQ(port.command("AT+FCLASS=8"), "\r\nERROR\r\n");

    for (const char* text : {"frobnicate\n", "base nosuch\n", "compression 1 mp3 8000\n", "reject\n"}) {
        const std::string bad = file("bad.modem");
        std::ofstream(bad) << text;
        std::string error;
        EXPECT_FALSE(modemsim::findPersonality(bad, error)) << text;
        EXPECT_FALSE(error.empty());
    }
    std::string error;
    EXPECT_FALSE(modemsim::findPersonality("nosuchmodem", error));
    EXPECT_FALSE(modemsim::findPersonality(file("missing.modem"), error));
}
