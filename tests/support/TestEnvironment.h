// What every test program sets before its first test: where the programs and the fixtures are.
#pragma once

#include <QByteArray>
#include <QtGlobal>

/// ORLAMO_BIN_DIR (the built programs), ORLAMO_TEST_DATA (tests/data) and the offscreen platform,
/// each unless the caller's environment already chose it. The programs the tests start inherit them.
inline void setTestEnvironment() {
    if (qEnvironmentVariableIsEmpty("ORLAMO_BIN_DIR"))
        qputenv("ORLAMO_BIN_DIR", QByteArray(ORLAMO_TEST_BIN_DIR));
    if (qEnvironmentVariableIsEmpty("ORLAMO_TEST_DATA"))
        qputenv("ORLAMO_TEST_DATA", QByteArray(ORLAMO_TEST_DATA_DIR));
    // No test needs a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
}
