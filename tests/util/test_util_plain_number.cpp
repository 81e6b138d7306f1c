// Numbers as a chat line shows them: %g's digits, never an exponent.
#include <gtest/gtest.h>

#include <limits>

#include "util/PlainNumber.h"

namespace {

TEST(PlainNumber, ReadsAsPrintfsShortFormButNeverWithAnExponent)
{
    struct Row {
        double value;
        const char* text;
    };
    for (const Row row : {Row{2, "2"}, Row{1.5, "1.5"}, Row{0.1f, "0.1"}, Row{1.0 / 3, "0.333333"},
                          Row{123456, "123456"}, Row{1234567, "1234567"}, Row{-2e7, "-20000000"}, Row{0.0001, "0.0001"},
                          Row{0.000012, "0.000012"}, Row{2.8026e-45, "0"}, Row{-1e-9, "0"},
                          Row{std::numeric_limits<float>::max(), "340282346638528859811704183484516925440"}}) {
        EXPECT_EQ(util::PlainNumber(row.value), row.text) << row.text;
    }
}

} // namespace
