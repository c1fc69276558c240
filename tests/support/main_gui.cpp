// GoogleTest entry for window tests: a QApplication, on the offscreen platform unless one is chosen.
#include "support/TestEnvironment.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    setTestEnvironment();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
