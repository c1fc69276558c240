// Classifying compression list lines: field counts, groups, rate choice, families and widths.
#include "modemsetup/CompressionLineParser.h"
#include "modemsetup/VoiceCapabilityProbe.h"

#include <gtest/gtest.h>

using namespace CompressionLineParser;

namespace {

struct Parsed {
    bool recognised = false;
    CompressionRecord record;
    QChar separator;
    QString command;
};

Parsed classify(const QString& line) {
    Parsed p;
    p.recognised = VoiceCapabilityProbe::classifyLine(line.trimmed(), p.record, p.separator);
    if (p.recognised)
        p.command = VoiceCapabilityProbe::buildSelectionCommand(p.record, p.separator);
    return p;
}

} // namespace

TEST(CompressionLineParserTest, SevenFieldLineWithPrefixAndRateGroup) {
    const Parsed p = classify(QStringLiteral("+VSM: 128,\"8-BIT LINEAR\",8,0,(7200,8000,11025),0,0"));
    ASSERT_TRUE(p.recognised);
    EXPECT_EQ(p.record.cml, QStringLiteral("128"));
    EXPECT_EQ(p.record.cmid, QStringLiteral("\"8-BIT LINEAR\""));
    EXPECT_EQ(p.record.bps, QStringLiteral("8"));
    EXPECT_EQ(p.record.tm, QStringLiteral("0"));
    EXPECT_EQ(p.record.vsr, QStringLiteral("11025"));
    EXPECT_EQ(p.record.scs, QStringLiteral("0"));
    EXPECT_EQ(p.record.sel, QStringLiteral("0"));
    EXPECT_EQ(p.record.Description, QStringLiteral("UNSIGNED PCM"));
    EXPECT_EQ(p.command, QStringLiteral("at+vsm=128,11025,0,0"));
    EXPECT_TRUE(p.record.VsmCommand.isEmpty());
}

TEST(CompressionLineParserTest, ThreeFieldLines) {
    Parsed p = classify(QStringLiteral("1,\"SIGNED PCM\",8000"));
    ASSERT_TRUE(p.recognised);
    EXPECT_EQ(p.record.bps, QStringLiteral("8"));
    EXPECT_EQ(p.record.vsr, QStringLiteral("8000"));
    EXPECT_EQ(p.record.Description, QStringLiteral("SIGNED PCM"));
    EXPECT_EQ(p.command, QStringLiteral("at+vsm=1,8000"));

    // A parenthesised group counts as one field.
    p = classify(QStringLiteral("131,\"ULAW\",(8000)"));
    ASSERT_TRUE(p.recognised);
    EXPECT_EQ(p.record.vsr, QStringLiteral("8000"));
    EXPECT_EQ(p.record.Description, QStringLiteral("ULAW"));
    EXPECT_EQ(p.command, QStringLiteral("at+vsm=131,8000"));
}

TEST(CompressionLineParserTest, SemicolonSeparatedListKeepsItsSeparator) {
    const Parsed p = classify(QStringLiteral("+vsm: 2;\"ALAW\";8;0;(8000;11025);(0-2);(0-2)"));
    ASSERT_TRUE(p.recognised);
    EXPECT_EQ(p.separator, QLatin1Char(';'));
    EXPECT_EQ(p.record.cml, QStringLiteral("2"));
    EXPECT_EQ(p.record.Description, QStringLiteral("ALAW"));
    EXPECT_EQ(p.record.vsr, QStringLiteral("11025"));
    EXPECT_EQ(p.record.scs, QStringLiteral("0"));
    EXPECT_EQ(p.record.sel, QStringLiteral("0"));
    EXPECT_EQ(p.command, QStringLiteral("at+vsm=2;11025;0;0"));
}

TEST(CompressionLineParserTest, ACommaAnywhereMakesTheLineCommaSeparated) {
    // The rate group's commas decide the separator: counted with ',' the line is one field, so it is
    // no compression and every later record keeps its index.
    Parsed p = classify(QStringLiteral("+VSM: 2;signed linear;16;0;(8000,11025)"));
    EXPECT_FALSE(p.recognised);
    p = classify(QStringLiteral("1;\"SIGNED PCM\";8;0;(7200,8000)"));
    EXPECT_FALSE(p.recognised);
    // Commas only inside a group and no other separator: still one field, not a compression.
    EXPECT_FALSE(classify(QStringLiteral("(7200,8000,11025)")).recognised);
}

TEST(CompressionLineParserTest, LinesThatAreNotRecorded) {
    EXPECT_FALSE(classify(QStringLiteral("128,\"8-BIT LINEAR\",8,(8000)")).recognised); // four fields
    EXPECT_FALSE(classify(QStringLiteral("OK")).recognised);
    EXPECT_FALSE(classify(QStringLiteral("128 8-BIT LINEAR 8000")).recognised);
    EXPECT_FALSE(classify(QStringLiteral("129,\"IMA ADPCM\",4,0,8000,0,0")).recognised);
    EXPECT_FALSE(classify(QStringLiteral("1,2,3,4,5,6,7,8")).recognised);
    // A group that never closes is rejected rather than looping or guessing a field count.
    EXPECT_FALSE(classify(QStringLiteral("128,\"8-BIT LINEAR\",(7200,8000")).recognised);
    EXPECT_FALSE(classify(QStringLiteral("(")).recognised);
    EXPECT_EQ(countFields(QStringLiteral("a,(b,c"), QLatin1Char(',')), -1);
    // A ")" before the "(" is part of a name, not the end of the group.
    EXPECT_EQ(countFields(QStringLiteral("1,\"A)B\",(7200,8000)"), QLatin1Char(',')), 3);
}

TEST(CompressionLineParserTest, LineRunningOutOfFieldsGivesEmptyFields) {
    // Seven counted fields, the last two empty: the record carries no silence values.
    const Parsed p = classify(QStringLiteral("128,\"UNSIGNED PCM\",8,0,8000,,"));
    ASSERT_TRUE(p.recognised);
    EXPECT_TRUE(p.record.scs.isEmpty());
    EXPECT_TRUE(p.record.sel.isEmpty());
    EXPECT_EQ(p.command, QStringLiteral("at+vsm=128,8000"));

    QString rest = QStringLiteral("  ");
    EXPECT_EQ(takeField(rest, QLatin1Char(',')), QString());
    EXPECT_EQ(takeField(rest, QLatin1Char(',')), QString());
    rest = QStringLiteral("(0-255) , x");
    EXPECT_EQ(takeField(rest, QLatin1Char(',')), QStringLiteral("0-255"));
    EXPECT_EQ(rest, QStringLiteral(" x"));
    rest = QStringLiteral("\"") + QString(40, QLatin1Char('N')) + QStringLiteral("\",8");
    EXPECT_EQ(takeField(rest, QLatin1Char(',')).size(), 30);
}

TEST(CompressionLineParserTest, RateChoiceByWidth) {
    EXPECT_EQ(chooseRate(rateListFor(QStringLiteral("16")), QStringLiteral("7200,8000")), QStringLiteral("7200"));
    EXPECT_EQ(chooseRate(rateListFor(QStringLiteral("8")), QStringLiteral("7200,8000")), QStringLiteral("8000"));
    EXPECT_EQ(chooseRate(RateList::NoWidth, QStringLiteral("7200,8000,11025")), QStringLiteral("8000"));
    EXPECT_EQ(chooseRate(RateList::Wide, QStringLiteral("8000,11025")), QStringLiteral("8000"));
    EXPECT_EQ(chooseRate(rateListFor(QStringLiteral("14")), QStringLiteral("8000")), QString());
    EXPECT_EQ(chooseRate(RateList::Narrow, QStringLiteral("9600")), QString());
    EXPECT_EQ(chooseRate(RateList::Narrow, QStringLiteral("9200")), QStringLiteral("9200"));
    // A width outside the known classes leaves the rate empty, and the command goes without it.
    const Parsed p = classify(QStringLiteral("133,\"14 bit LINEAR\",14,0,8000,0,0"));
    ASSERT_TRUE(p.recognised);
    EXPECT_TRUE(p.record.vsr.isEmpty());
    EXPECT_EQ(p.command, QStringLiteral("at+vsm=133,0,0"));
}

TEST(CompressionLineParserTest, FamiliesAndWidths) {
    Parsed p = classify(QStringLiteral("5,G.711A,0,0,8000"));
    ASSERT_TRUE(p.recognised);
    EXPECT_EQ(p.record.Description, QStringLiteral("ALAW"));
    EXPECT_EQ(p.record.bps, QStringLiteral("8"));

    p = classify(QStringLiteral("6,SIGNED LINEAR,16,0,8000"));
    EXPECT_EQ(p.record.Description, QStringLiteral("SIGNED PCM"));
    EXPECT_EQ(p.record.cmid, QStringLiteral("SIGNED PCM"));
    p = classify(QStringLiteral("6,\"signed linear\",16,0,8000"));
    EXPECT_EQ(p.record.Description, QStringLiteral("UNSIGNED PCM"));
    EXPECT_EQ(p.record.cmid, QStringLiteral("\"signed linear\""));

    p = classify(QStringLiteral("7,\"16BIT PCM LINEAR\",0,0,8000"));
    EXPECT_EQ(p.record.bps, QStringLiteral("16"));
    p = classify(QStringLiteral("8,\"G.711U\",(8000)"));
    EXPECT_EQ(p.record.Description, QStringLiteral("ULAW"));
    p = classify(QStringLiteral("8,\"M-LAW\",(8000)"));
    EXPECT_EQ(p.record.Description, QStringLiteral("ULAW"));
    // Spellings beyond these are no compression, so they cannot shift the indices of later records.
    EXPECT_FALSE(classify(QStringLiteral("9,\"Mu-Law\",8,0,8000")).recognised);
    EXPECT_FALSE(classify(QStringLiteral("9,\"\u00B5-Law\",8,0,8000")).recognised);
}

TEST(CompressionLineParserTest, ArbitraryLinesNeverHangOrOverflowAField) {
    // Short lines over the characters that steer the parser: groups opened and closed in any order,
    // both separators, prefixes and names.
    const QString alphabet = QStringLiteral("(),;,;  0816\"LINEARULAW-+VSM:");
    std::uint32_t state = 12345;
    auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    for (int i = 0; i < 20000; ++i) {
        QString line;
        const int length = int(next() % 40);
        for (int k = 0; k < length; ++k)
            line += alphabet[qsizetype(next() % alphabet.size())];
        CompressionRecord record;
        QChar separator;
        if (!VoiceCapabilityProbe::classifyLine(line.trimmed(), record, separator))
            continue;
        for (int f = 0; f < CompressionRecord::kFieldCount; ++f)
            ASSERT_LE(record.fields(f)->size(), CompressionRecord::kFieldChars) << line.toStdString();
        ASSERT_TRUE(separator == QLatin1Char(',') || separator == QLatin1Char(';'));
    }
}
