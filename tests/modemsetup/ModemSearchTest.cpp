// The modem search against simulated modems on some of the eight ports, and its identity fallbacks.
#include "modemsetup/ModemSearch.h"

#include "support/ModemSetupFixture.h"
#include "support/ModemSim.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

struct ModemSearchTest : ModemSetupFixture {
    void SetUp() override { prepareSearch(); }
    /// The logger lines between the two banners.
    QStringList searchLines() const {
        const QStringList lines = logger.lines();
        const qsizetype begin = lines.indexOf(QStringLiteral("----- finding modems -----"));
        const qsizetype end = lines.indexOf(QStringLiteral("----- finding modems finished -----"));
        if (begin < 0 || end < begin)
            return {QStringLiteral("banners missing")};
        return lines.mid(begin + 1, end - begin - 1);
    }
    QStringList failureLines() const {
        QStringList failures;
        for (const QString& line : searchLines())
            if (line.endsWith(QLatin1String(" failed to open")))
                failures << line;
        return failures;
    }
};

} // namespace

TEST(ModemSearchProgress, RoundsHalvesToEven) {
    QList<int> got;
    for (int port = 1; port <= 8; ++port)
        got << ModemSearch::progressFor(port);
    EXPECT_EQ(got, (QList<int>{12, 25, 38, 50, 62, 75, 88, 100}));
}

TEST(ModemSearchIdentity, DropsEverythingUpToTheFirstColon) {
    EXPECT_EQ(ModemSearch::identityText(QStringLiteral("+GMM: SV92 Soft Modem")), QStringLiteral(" SV92 Soft Modem"));
    EXPECT_EQ(ModemSearch::identityText(QStringLiteral("a:b:c")), QStringLiteral("b:c"));
    EXPECT_EQ(ModemSearch::identityText(QStringLiteral("CONEXANT")), QStringLiteral("CONEXANT"));
}

TEST_F(ModemSearchTest, FindsModemsOnTheirPortsAndLogsEachPortThatFailedToOpen) {
    ModemSim conexant({QStringLiteral("--profile"), QStringLiteral("cx93001")});
    ModemSim soft({QStringLiteral("--profile"), QStringLiteral("sv92")});
    ModemSim silent;
    ASSERT_TRUE(conexant.start());
    ASSERT_TRUE(soft.start());
    ASSERT_TRUE(silent.start());
    mapPort(2, conexant.linkPath());
    mapPort(5, soft.linkPath());
    mapPort(7, silent.linkPath());
    silent.command(QStringLiteral("fault silent"));
    {
        // The fault applies once the simulator has read it.
        ModemController probe(config, logger);
        probe.setSettings(modem.settings());
        ASSERT_TRUE(probe.openModemPort(7, false));
        AtResult code = AtResult::Ok;
        for (int attempt = 0; attempt < 3 && code != AtResult::TimeOut; ++attempt)
            code = probe.exchange().sendCommand(QStringLiteral("AT"), QStringLiteral("AT"), QStringLiteral("ok"));
        ASSERT_EQ(code, AtResult::TimeOut);
        probe.closeModemPort();
    }
    config.writeString(QStringLiteral("Modem"), QStringLiteral("Model"), QStringLiteral("old modem"));
    QSignalSpy progress(&search, &ModemSearch::progressChanged);
    QSignalSpy listed(&search, &ModemSearch::modemListed);
    QSignalSpy shown(&search, &ModemSearch::progressShown);

    EXPECT_EQ(search.searchModems(), 2);
    EXPECT_EQ(search.count(), 2);
    EXPECT_FALSE(config.sectionExists(QStringLiteral("Modem")));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.at(0).at(0).toString(), QStringLiteral("Finding modems... "));
    QList<int> values;
    for (const auto& signal : progress)
        values << signal.at(0).toInt();
    EXPECT_EQ(values, (QList<int>{12, 25, 38, 50, 62, 75, 88, 100}));

    const ModemParams& first = search.entry(1);
    EXPECT_EQ(first.port, 2);
    EXPECT_EQ(first.PortName, QStringLiteral("com2"));
    EXPECT_EQ(first.Model, QStringLiteral("CX93001-EIS_V0.2013-V92"));
    EXPECT_EQ(first.Manufacturer, QStringLiteral("CONEXANT"));
    EXPECT_EQ(first.DriverDate, QStringLiteral("V0.2013-V92"));
    const ModemParams& second = search.entry(2);
    EXPECT_EQ(second.port, 5);
    EXPECT_EQ(second.PortName, QStringLiteral("com5"));
    // "+GMM: SV92 Soft Modem": the blank after the colon stays.
    EXPECT_EQ(second.Model, QStringLiteral(" SV92 Soft Modem"));
    EXPECT_EQ(second.Manufacturer, QStringLiteral(" SV MICROSYSTEMS"));
    EXPECT_EQ(second.DriverDate, QStringLiteral(" 2.1.7"));
    ASSERT_EQ(listed.size(), 2);
    EXPECT_EQ(listed.at(0).at(1).toString(), first.Model);
    EXPECT_EQ(listed.at(1).at(1).toString(), second.Model);

    // The fixed lines between the banners; each failed port's device after them, on a line of its own.
    QStringList expectedFailures;
    QStringList expectedDevices;
    for (int port : {1, 3, 4, 6, 8}) {
        expectedFailures << QStringLiteral("Port %1 failed to open").arg(port);
        expectedDevices
            << QStringLiteral("Port %1 is %2").arg(port).arg(dir.filePath(QStringLiteral("absent%1").arg(port)));
    }
    EXPECT_EQ(failureLines(), expectedFailures);
    const QStringList all = logger.lines();
    const qsizetype end = all.lastIndexOf(QStringLiteral("----- finding modems finished -----"));
    EXPECT_EQ(all.mid(end + 1, expectedDevices.size()), expectedDevices);
    // The silent port 7 leaves only its unanswered "Sending AT".
    const QStringList lines = searchLines();
    EXPECT_FALSE(lines.join(QLatin1Char('\n')).contains(QLatin1String("Port 7"))) << lines.join('\n').toStdString();
    EXPECT_FALSE(modem.portOpen());
}

TEST_F(ModemSearchTest, NoPortAnswersLeavesTheCountAtZero) {
    config.writeString(QStringLiteral("Modem"), QStringLiteral("port"), QStringLiteral("3"));
    EXPECT_EQ(search.searchModems(), 0);
    EXPECT_EQ(failureLines().size(), 8);
    EXPECT_EQ(searchLines().size(), 8);
    EXPECT_FALSE(config.sectionExists(QStringLiteral("Modem")));
}

TEST_F(ModemSearchTest, RejectedIdentityQueriesFallBack) {
    // GMM and FMM rejected: ATI4 answers without a colon. No revision query works. Nothing at all for the maker.
    const QString file = writeFile(
        QStringLiteral("quiet.modem"),
        QStringLiteral("base cx93001\nreject +GMM\nreject +FMM\nreject +GMR\nreject +FMR\nreject +GMI\nreject +FMI\n"));
    ModemSim sim({QStringLiteral("--profile"), file});
    ASSERT_TRUE(sim.start());
    mapPort(4, sim.linkPath());
    ASSERT_EQ(search.searchModems(), 1);
    EXPECT_EQ(search.entry(1).port, 4);
    EXPECT_EQ(search.entry(1).Model, QStringLiteral("CONEXANT"));
    EXPECT_EQ(search.entry(1).Manufacturer, QStringLiteral("Unspecified manufacturer"));
    EXPECT_EQ(search.entry(1).DriverDate, QStringLiteral("Unspecified driver"));

    // Nothing answers the model either: ATI4 rejected too.
    const QString mute =
        writeFile(QStringLiteral("mute.modem"), QStringLiteral("base cx93001\nreject +GMM\nreject +FMM\nreject I\n"));
    ModemSim other({QStringLiteral("--profile"), mute});
    ASSERT_TRUE(other.start());
    mapPort(4, other.linkPath());
    ASSERT_EQ(search.searchModems(), 1);
    EXPECT_EQ(search.entry(1).Model, QStringLiteral("Unspecified model"));
    EXPECT_EQ(search.entry(1).Manufacturer, QStringLiteral("CONEXANT"));
}
