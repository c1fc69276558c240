// The number of a call the user makes: the digits dialled, not those chosen later in the call.
#include "modem/DialledNumber.h"

#include <gtest/gtest.h>

TEST(DialledNumber, DigitsUntilAPauseEndsTheDialling) {
    DialledNumber number;
    // A slow dialler: the first digit long after the handset was lifted, gaps up to the pause.
    number.add('0', 9000);
    number.add('1', 9300);
    number.add('*', 9300 + DialledNumber::kPauseMs);
    number.add('x', 9400); // no digit
    EXPECT_EQ(number.digits(), QStringLiteral("01*"));
    // A voice menu's choice later in the call is not part of the number, nor anything after it.
    number.add('5', 9300 + 2 * DialledNumber::kPauseMs + 1);
    number.add('6', 9300 + 2 * DialledNumber::kPauseMs + 2);
    EXPECT_EQ(number.digits(), QStringLiteral("01*"));
    number.clear();
    EXPECT_TRUE(number.digits().isEmpty());

    // A flood of digit codes keeps a bounded number.
    for (int i = 0; i < 1000; ++i)
        number.add('9', i);
    EXPECT_EQ(number.digits(), QString(DialledNumber::kMaxDigits, QLatin1Char('9')));
}
