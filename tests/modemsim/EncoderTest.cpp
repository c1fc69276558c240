// Sample encodings against G.711 reference values, and the WAV reader's refusals.
#include "modemsim/AudioSource.h"
#include "modemsim/SampleEncoder.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

using modemsim::SampleEncoder;
using modemsim::SampleFormat;

TEST(SampleEncoding, G711ReferenceValues) {
    EXPECT_EQ(SampleEncoder::ulaw(0), 0xff);
    EXPECT_EQ(SampleEncoder::ulaw(-1), 0x7f);
    EXPECT_EQ(SampleEncoder::ulaw(32767), 0x80);
    EXPECT_EQ(SampleEncoder::ulaw(-32768), 0x00);
    EXPECT_EQ(SampleEncoder::ulaw(1000), 0xce);
    EXPECT_EQ(SampleEncoder::alaw(0), 0xd5);
    EXPECT_EQ(SampleEncoder::alaw(-8), 0x55);
    EXPECT_EQ(SampleEncoder::alaw(32767), 0xaa);
    EXPECT_EQ(SampleEncoder::alaw(-32768), 0x2a);
    EXPECT_EQ(SampleEncoder::alaw(1000), 0xfa);
}

TEST(SampleEncoding, PcmFormsAndRates) {
    std::string out;
    SampleEncoder u8(SampleFormat::Unsigned8);
    u8.encode(0, out);
    u8.encode(1, out);
    u8.encode(-1, out);
    SampleEncoder s8(SampleFormat::Signed8);
    s8.encode(-0.5, out);
    SampleEncoder s16(SampleFormat::Linear16);
    s16.encode(0.25, out);
    EXPECT_EQ(out, std::string("\x80\xff\x00\xc0\x00\x20", 6));
    EXPECT_EQ(s16.byteRate(8000), 16000);
    EXPECT_EQ(SampleEncoder(SampleFormat::ImaAdpcm).byteRate(8000), 4000);

    // IMA ADPCM packs two samples a byte, the first in the low nibble.
    SampleEncoder ima(SampleFormat::ImaAdpcm);
    std::string packed;
    ima.encode(0.5, packed);
    EXPECT_EQ(packed, "");
    ima.encode(-0.5, packed);
    ASSERT_EQ(packed.size(), 1u);
    EXPECT_EQ(static_cast<unsigned char>(packed[0]) & 0x0f, 0x07);      // large positive step
    EXPECT_EQ(static_cast<unsigned char>(packed[0]) >> 4 & 0x08, 0x08); // then negative
}

TEST(WavSource, RefusesWhatItCannotPlay) {
    QTemporaryDir dir;
    const std::string stereo = dir.filePath(QStringLiteral("stereo.wav")).toStdString();
    std::ofstream(stereo, std::ios::binary)
        .write("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x40\x1f\0\0"
               "\0\x7d\0\0\x04\0\x10\0data\0\0\0\0",
               44);
    const std::string text = dir.filePath(QStringLiteral("text.wav")).toStdString();
    std::ofstream(text) << "not a sound file at all";
    const std::string truncated = dir.filePath(QStringLiteral("short.wav")).toStdString();
    std::ofstream(truncated, std::ios::binary).write("RIFF\xff\xff\xff\xffWAVEfmt \xff\xff\xff\xff\x01", 21);
    for (const auto& path : {stereo, text, truncated}) {
        std::string error;
        EXPECT_EQ(modemsim::makeAudioSource(path, error), nullptr) << path;
        EXPECT_FALSE(error.empty());
    }
}
