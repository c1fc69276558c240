// Command line, unattended answers, close steps and the single-instance socket.
#include "base/Logger.h"
#include "base/UnattendedPrompter.h"
#include "program/ShutdownSequence.h"
#include "program/SingleInstance.h"
#include "program/StartOptions.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

TEST(StartOptions, DashOptionsAreTakenOutBeforeTheFirstArgumentTest) {
    const StartOptions a = StartOptions::parse({QStringLiteral("--workdir"), QStringLiteral("/tmp/x"),
                                                QStringLiteral("--unattended"), QStringLiteral("startup")});
    EXPECT_EQ(a.workDir, QStringLiteral("/tmp/x"));
    EXPECT_TRUE(a.unattended);
    EXPECT_TRUE(a.startup);
    EXPECT_FALSE(a.onIde);

    const StartOptions b = StartOptions::parse({QStringLiteral("OnIde"), QStringLiteral("STARTUP")});
    EXPECT_TRUE(b.onIde);
    EXPECT_FALSE(b.startup) << "only the first argument counts";

    EXPECT_FALSE(StartOptions::parse({QStringLiteral("--workdir")}).error.isEmpty());
    EXPECT_EQ(StartOptions::parse({QStringLiteral("--workdir=/a")}).workDir, QStringLiteral("/a"));
}

TEST(UnattendedPrompter, LogsEveryLineAndTakesDefaults) {
    Logger logger;
    UnattendedPrompter prompter(&logger);
    prompter.message(QStringLiteral("one\ntwo"));
    EXPECT_EQ(prompter.confirm(QStringLiteral("Exit while recording?"), Prompter::Buttons::YesNo, Prompter::Answer::No),
              Prompter::Answer::No);
    EXPECT_EQ(prompter.inputBox(QStringLiteral("c"), QStringLiteral("p"), QStringLiteral("value")),
              std::optional<QString>(QStringLiteral("value")));
    EXPECT_FALSE(prompter.chooseFolder(QStringLiteral("c"), QString()).has_value());
    EXPECT_EQ(logger.lines(), QStringList({QStringLiteral("one"), QStringLiteral("two"),
                                           QStringLiteral("Exit while recording?"), QStringLiteral("p")}));
}

TEST(ShutdownSequence, AFailingStepDoesNotStopTheOthers) {
    ShutdownSequence sequence;
    QStringList ran;
    sequence.add(QStringLiteral("a"), [&] { ran << QStringLiteral("a"); });
    sequence.add(QStringLiteral("b"), [&] {
        ran << QStringLiteral("b");
        throw std::runtime_error("table locked");
    });
    sequence.add(QStringLiteral("c"), [&] { ran << QStringLiteral("c"); });
    EXPECT_EQ(sequence.run(), QStringList({QStringLiteral("b")}));
    EXPECT_EQ(ran, QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
}

TEST(SingleInstance, ASecondCopyReachesTheFirstAndAStaleSocketIsReplaced) {
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    EXPECT_FALSE(first.notifyRunningCopy(200));
    ASSERT_TRUE(first.listen());
    QSignalSpy raised(&first, &SingleInstance::raiseRequested);
    SingleInstance second(dir.path());
    EXPECT_TRUE(second.notifyRunningCopy());
    EXPECT_TRUE(raised.wait(5000));

    // Another working folder is another program.
    QTemporaryDir other;
    EXPECT_FALSE(SingleInstance(other.path()).notifyRunningCopy(200));
    EXPECT_NE(SingleInstance::serverName(dir.path()), SingleInstance::serverName(other.path()));
}
