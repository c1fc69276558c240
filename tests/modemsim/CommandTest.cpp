// The AT command state: echo, framing, splitting, errors, classes and command-mode faults.
#include "SimFixture.h"

using Commands = SimFixture;

TEST_F(Commands, EchoAndVerboseFraming) {
    startModem();
    EXPECT_EQ(port.command("AT"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(port.command("at"), "at\r\r\nOK\r\n");
    EXPECT_EQ(port.command("ATE0"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(port.command("AT"), "\r\nOK\r\n");
    EXPECT_EQ(port.command("ATI3"), "\r\nCX93001-EIS_V0.2013-V92\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+GMI?"), "\r\nCONEXANT\r\n\r\nOK\r\n");
    // Numeric result codes end with CR alone.
    port.write("ATV0\r");
    EXPECT_EQ(port.readUntil("\r"), "0\r");
    port.write("AT+NOPE\r");
    EXPECT_EQ(port.readUntil("\r"), "4\r");
    port.write("ATI0\r");
    EXPECT_EQ(port.readUntil("0\r"), "56000\r\n0\r");
    // ATZ restores echo and verbose result codes, and its OK already comes in the restored form.
    EXPECT_EQ(port.command("ATZ"), "\r\nOK\r\n");
    EXPECT_EQ(port.command("AT"), "AT\r\r\nOK\r\n");
}

TEST_F(Commands, SeveralCommandsOnOneLine) {
    startModem();
    EXPECT_EQ(port.command("ATE0V1"), "ATE0V1\r\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+FCLASS=8;+VSM=1,8000;+VLS=1"), "\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+FCLASS?;+VSM?;+VLS?"), "\r\n8\r\n\r\n1,8000,0,0\r\n\r\n1\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("AT S0=2 S0?"), "\r\n002\r\n\r\nOK\r\n");
    // The first bad command ends the line with ERROR; what came before still ran.
    EXPECT_EQ(port.command("AT+VLS=0;+VLS=99;+VLS=4"), "\r\nERROR\r\n");
    EXPECT_EQ(port.command("AT+VLS?"), "\r\n0\r\n\r\nOK\r\n");
    // Noise before AT is ignored, a line without AT gets no answer, A/ repeats the last line.
    EXPECT_EQ(port.command("xyzATI0"), "\r\n56000\r\n\r\nOK\r\n");
    port.write("hello\r");
    EXPECT_EQ(port.command("A/"), "\r\n56000\r\n\r\nOK\r\n");
    // Backspace edits the line.
    EXPECT_EQ(port.command("ATI9\b0"), "\r\n56000\r\n\r\nOK\r\n");
}

TEST_F(Commands, UnknownAndOutOfRangeCommandsAreErrors) {
    startModem();
    port.command("ATE0");
    for (const char* bad : {"AT+FOO", "ATI11", "AT+VSM=1,8000", "AT+VRX", "AT+VGR=?", "AT+FCLASS=5", "AT&", "AT!"})
        EXPECT_EQ(port.command(bad), "\r\nERROR\r\n") << bad;
    ASSERT_EQ(port.command("AT+FCLASS=8"), "\r\nOK\r\n");
    for (const char* bad : {"AT+VSM=7,8000", "AT+VSM=1,11025", "AT+VSM=1,x", "AT+VGR=256", "AT+VCID=3", "AT+VSD=1"})
        EXPECT_EQ(port.command(bad), "\r\nERROR\r\n") << bad;
    EXPECT_EQ(port.command("AT+VGR=200;+VGR?"), "\r\n200\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+VSD=128,20;+VSD?"), "\r\n128,20\r\n\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+VDR=1,10;+VDR?"), "\r\n1,10\r\n\r\nOK\r\n");
    // Caller ID works in data mode too.
    EXPECT_EQ(port.command("AT+FCLASS=0;+VCID=1;+VCID?"), "\r\n1\r\n\r\nOK\r\n");
}

TEST_F(Commands, FaultsInCommandState) {
    startModem();
    port.command("ATE0");
    sim->command("fault silent");
    EXPECT_EQ(port.command("AT", 300), "");
    sim->command("ring");
    EXPECT_EQ(port.readFor(200), "");
    sim->command("fault none");
    EXPECT_EQ(port.command("AT"), "\r\nOK\r\n");

    sim->command("fault noise=5");
    const std::string noisy = port.command("AT");
    EXPECT_EQ(noisy.size(), 5u + 6u);
    EXPECT_EQ(noisy.substr(5), "\r\nOK\r\n");

    sim->command("fault none garbage=64");
    EXPECT_EQ(port.readBytes(64).size(), 64u);
    EXPECT_EQ(port.command("AT"), "\r\nOK\r\n");
}

TEST_F(Commands, SendPassesTextThroughExactly) {
    startModem();
    sim->command("send \\r\\nRING 2\\r\\n\\x10\\x00end\\\\");
    static constexpr char text[] = "\r\nRING 2\r\n\x10\0end\\";
    const std::string expected(text, sizeof text - 1);
    EXPECT_EQ(port.readBytes(expected.size()), expected);
}
