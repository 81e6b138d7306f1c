// Runs of digits: how many are taken, where reading stops, and what is refused.
#include <gtest/gtest.h>

#include <optional>

#include "util/Digits.h"

namespace {

TEST(Digits, TakeTheRunWithinItsBoundsAndMovePastIt)
{
    struct Row {
        const char* text;
        std::size_t at, fewest, most;
        std::optional<std::int64_t> value;
        std::size_t after; // where reading goes on; unmoved on failure
    };
    const std::size_t any = std::string_view::npos;
    const Row rows[] = {
        {"2026-12-24", 0, 4, 4, 2026, 4},
        {"2026-12-24", 5, 2, 2, 12, 7},
        {"2026-1-24", 5, 2, 2, std::nullopt, 5}, // one digit where two are wanted
        {"M10.5.0", 1, 1, 2, 10, 3},
        {"M3.5.0", 1, 1, 2, 3, 2}, // fewer than most: as many as there are
        {"1234", 0, 1, 3, 123, 3}, // more than most: the rest stays for the next read
        {"x12", 0, 1, any, std::nullopt, 0},
        {"12", 2, 1, any, std::nullopt, 2}, // at the end
        {"12", 2, 0, any, 0, 2},            // none wanted, none found
        {"-5", 0, 1, any, std::nullopt, 0}, // no sign
        {" 5", 0, 1, any, std::nullopt, 0}, // no space
        {"90s", 0, 1, any, 90, 2},
        {"0000000000000000000000000090s", 0, 1, any, 90, 28},
        {"9223372036854775807", 0, 1, any, 9223372036854775807, 19},
        {"9223372036854775808", 0, 1, any, std::nullopt, 0},
        {"99999999999999999999", 0, 1, any, std::nullopt, 0},
    };
    for (const Row& row : rows) {
        std::size_t at = row.at;
        EXPECT_EQ(util::ReadDigits(row.text, at, row.fewest, row.most), row.value) << row.text << " at " << row.at;
        EXPECT_EQ(at, row.after) << row.text << " at " << row.at;
    }
}

} // namespace
