// GoogleTest entry for core tests: a QCoreApplication so event loops, timers and sockets work.
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    setTestEnvironment();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
