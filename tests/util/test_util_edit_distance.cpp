// The edit distance over a table of pairs, both ways round.
#include <gtest/gtest.h>

#include "util/EditDistance.h"

namespace {

TEST(EditDistance, CountsInsertionsDeletionsAndSubstitutions)
{
    struct Row {
        const char* a;
        const char* b;
        std::size_t distance;
    };
    for (const Row row :
         {Row{"", "", 0}, Row{"", "abc", 3}, Row{"XPMultiplier", "XPMultiplier", 0},
          Row{"XPMultiplyer", "XPMultiplier", 1}, Row{"StatusComand", "StatusCommand", 1}, Row{"kitten", "sitting", 3},
          Row{"flaw", "lawn", 2}, Row{"ab", "ba", 2}, Row{"startday", "StartDay", 2}}) {
        EXPECT_EQ(util::EditDistance(row.a, row.b), row.distance) << row.a << " / " << row.b;
        EXPECT_EQ(util::EditDistance(row.b, row.a), row.distance) << row.b << " / " << row.a;
    }
}

} // namespace

namespace {

TEST(NearestName, SuggestsUpToThreeEditsOffAndTheFirstOfEquals)
{
    const std::vector<std::string_view> known = {"StartDay", "EndDay", "StartTime", "Stardom"};
    struct Row {
        const char* name;
        const char* nearest;
    };
    for (const Row row : {Row{"startday", "StartDay"}, Row{"StrtDy", "StartDay"}, Row{"Stxrtxxy", "StartDay"},
                          Row{"Stxrxxxy", ""}, Row{"EndDayXXX", "EndDay"}, Row{"EndDayXXXX", ""}}) {
        EXPECT_EQ(util::NearestName(row.name, known, 64), row.nearest) << row.name;
    }
    // Two edits off both: the one listed first wins, whichever it is.
    EXPECT_EQ(util::NearestName("Remindr", {"Reminders", "Remainder"}, 64), "Reminders");
    EXPECT_EQ(util::NearestName("Remindr", {"Remainder", "Reminders"}, 64), "Remainder");
    EXPECT_EQ(util::NearestName("StartDayy", known, 8), "") << "a name longer than the bound is not compared";
}

} // namespace
