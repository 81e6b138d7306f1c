// FString: the game's growth rule, exact-size copies, moves, and text conversion, with every block
// taken from and given back to the game's allocator.
#include <gtest/gtest.h>

#include <limits>

#include <string>
#include <utility>

#include "plugin/host/FString.h"
#include "tests/host/AllocatorFixture.h"

namespace {

using FStringTest = AllocatorFixture;

std::u16string Units(const FString& text) { return std::u16string(text.View()); }

TEST_F(FStringTest, TextGetsTheGameGrowthRuleCapacityInOneBlock)
{
    struct Row {
        const char* text;
        std::int32_t num, max;
    };
    const Row rows[] = {
        {"/qvreload", 10, 29},         {"abc", 4, 4}, {"abcd", 5, 22}, {"a", 2, 4}, {"Config Reloaded!", 17, 39},
        {"QuorvandelleCheck", 18, 40},
    };
    for (const Row& row : rows) {
        const std::string narrow = row.text;
        const std::wstring wide(narrow.begin(), narrow.end());
        for (const FString& text : {FString(row.text), FString(wide.c_str())}) {
            EXPECT_EQ(text.Num, row.num) << row.text;
            EXPECT_EQ(text.Max, row.max) << row.text;
            ASSERT_NE(text.Data, nullptr) << row.text;
            EXPECT_EQ(text.Data[text.Num - 1], u'\0') << row.text;
            EXPECT_EQ(Units(text), std::u16string(narrow.begin(), narrow.end()));
        }
        EXPECT_EQ(LiveBlocks(), 0) << row.text;
    }
}

TEST(FStringGrowth, TheCapacityOfAHugeTextStopsAtTheLargestCountInsteadOfWrapping)
{
    constexpr std::int32_t largest = std::numeric_limits<std::int32_t>::max();
    // num + 3/8 num + 16 first passes the largest count between these two.
    EXPECT_EQ(GrowthCapacity(1561806272, 0), 2147483640);
    EXPECT_EQ(GrowthCapacity(1561806280, 0), largest);
    EXPECT_EQ(GrowthCapacity(largest, 0), largest);
    // A short text gets 4, unless the string already had a buffer.
    EXPECT_EQ(GrowthCapacity(4, 0), 4);
    EXPECT_EQ(GrowthCapacity(4, 4), 4 + 1 + 16);
}

TEST_F(FStringTest, BufferIsTheCapacityInTwoByteUnitsFromTheGameAllocator)
{
    const FString text("Config Reloaded!");
    EXPECT_EQ(Allocations(), 1u);
    EXPECT_EQ(LiveBlocks(), 1);
    EXPECT_EQ(LiveBytes(), 39 * 2);
}

TEST_F(FStringTest, EmptyAndNullTextsHaveNoBufferAndAllocateNothing)
{
    const FString fromEmptyNarrow("");
    const FString fromNullNarrow(static_cast<const char*>(nullptr));
    const FString fromEmptyWide(L"");
    const FString fromNullWide(static_cast<const wchar_t*>(nullptr));
    const FString fromWideStartingWithNul(std::wstring_view(L"\0abc", 4));
    const FString defaulted;
    for (const FString* text :
         {&fromEmptyNarrow, &fromNullNarrow, &fromEmptyWide, &fromNullWide, &fromWideStartingWithNul, &defaulted}) {
        EXPECT_EQ(text->Data, nullptr);
        EXPECT_EQ(text->Num, 0);
        EXPECT_EQ(text->Max, 0);
        EXPECT_TRUE(text->View().empty());
        ASSERT_NE(**text, nullptr);
        EXPECT_EQ((**text)[0], u'\0');
    }
    const FString copy(fromEmptyNarrow);
    EXPECT_EQ(copy.Data, nullptr);
    EXPECT_EQ(Allocations(), 0u);
}

TEST_F(FStringTest, CopyIsExactSize)
{
    const FString original("/qvreload");
    ASSERT_EQ(original.Max, 29);
    const FString copy(original);
    EXPECT_EQ(copy.Num, 10);
    EXPECT_EQ(copy.Max, 10);
    EXPECT_NE(copy.Data, original.Data);
    EXPECT_EQ(Units(copy), u"/qvreload");
    EXPECT_EQ(copy.Data[9], u'\0');
    EXPECT_EQ(LiveBytes(), (29 + 10) * 2);
}

TEST_F(FStringTest, AssignmentResizesTheTargetToExactlyTheSourceLength)
{
    FString target("a much longer text than the source");
    const FString source("/qvreload");
    target = source;
    EXPECT_EQ(target.Num, 10);
    EXPECT_EQ(target.Max, 10);
    EXPECT_NE(target.Data, source.Data);
    EXPECT_EQ(Units(target), u"/qvreload");
    EXPECT_EQ(LiveBlocks(), 2) << "the target keeps one block, resized";

    FString shortTarget("ab");
    const FString longer("Config Reloaded!");
    shortTarget = longer;
    EXPECT_EQ(shortTarget.Num, 17);
    EXPECT_EQ(shortTarget.Max, 17);
    EXPECT_EQ(Units(shortTarget), u"Config Reloaded!");

    const FString empty;
    target = empty;
    EXPECT_EQ(target.Data, nullptr);
    EXPECT_EQ(target.Num, 0);
    EXPECT_EQ(target.Max, 0);

    FString& alias = shortTarget;
    shortTarget = alias;
    EXPECT_EQ(Units(shortTarget), u"Config Reloaded!");
}

TEST_F(FStringTest, MoveHandsTheBufferOverAndEmptiesTheSource)
{
    FString source("Weekend rates on");
    char16_t* const buffer = source.Data;
    const std::int32_t max = source.Max;

    FString moved(std::move(source));
    EXPECT_EQ(moved.Data, buffer);
    EXPECT_EQ(moved.Max, max);
    EXPECT_EQ(source.Data, nullptr); // NOLINT(bugprone-use-after-move): the moved-from state is specified
    EXPECT_EQ(source.Num, 0);
    EXPECT_EQ(source.Max, 0);

    FString target("something to release");
    target = std::move(moved);
    EXPECT_EQ(target.Data, buffer);
    EXPECT_EQ(Units(target), u"Weekend rates on");
    EXPECT_EQ(moved.Data, nullptr); // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(LiveBlocks(), 1) << "the target's own buffer was released";
}

TEST_F(FStringTest, MovingAStringOntoItselfChangesNothing)
{
    FString text("Weekend rates on");
    char16_t* const buffer = text.Data;
    FString& alias = text;
    text = std::move(alias);
    EXPECT_EQ(text.Data, buffer);
    EXPECT_EQ(text.Num, 17);
    EXPECT_EQ(Units(text), u"Weekend rates on");
    EXPECT_EQ(LiveBlocks(), 1);
}

TEST_F(FStringTest, NarrowBytesAbove0x7FEachBecomeAQuestionMark)
{
    EXPECT_EQ(Units(FString("\xC3\xA9")), u"??");
    EXPECT_EQ(Units(FString("caf\xC3\xA9.")), u"caf??.");
    EXPECT_EQ(Units(FString("\x7F\x80\xFF")), u"\x7F??");
    EXPECT_EQ(FString("\xC3\xA9").Num, 3);
}

TEST_F(FStringTest, WideTextArrivesAsUtf16Units)
{
    struct Row {
        std::wstring wide;
        std::u16string units;
    };
    const Row rows[] = {
        {L"\u00e9", u"\u00e9"},
        {L"caf\u00e9", u"caf\u00e9"},
        {L"\u041f\u0440\u0438\u0432\u0435\u0442", u"\u041f\u0440\u0438\u0432\u0435\u0442"},
        {L"\u4f60\u597d", u"\u4f60\u597d"},
        // Outside the Basic Multilingual Plane: one wchar_t on Linux, a surrogate pair in the game.
        {L"\U0001F600", std::u16string{char16_t(0xD83D), char16_t(0xDE00)}},
        {L"a\U00010348b", std::u16string{u'a', char16_t(0xD800), char16_t(0xDF48), u'b'}},
    };
    for (const Row& row : rows) {
        const FString text(row.wide);
        EXPECT_EQ(Units(text), row.units);
        EXPECT_EQ(text.Num, static_cast<std::int32_t>(row.units.size() + 1));
        EXPECT_EQ(text.ToWide(), row.wide);
    }
    EXPECT_EQ(FString(L"\U0001F600").ToUtf8(), "\xF0\x9F\x98\x80");
    // A player's text may hold a lone surrogate; in UTF-8 it reads as one replacement character.
    for (const char16_t lone : {char16_t(0xD800), char16_t(0xDBFF), char16_t(0xDC00), char16_t(0xDFFF)}) {
        const FString text(std::u16string_view(std::u16string{u'a', lone, u'b'}));
        EXPECT_EQ(text.ToUtf8(), "a\xEF\xBF\xBD"
                                 "b")
            << int(lone);
    }
}

TEST_F(FStringTest, WideTextEndsAtItsFirstNul)
{
    const FString text(std::wstring_view(L"Weekend\0 hidden", 15));
    EXPECT_EQ(Units(text), u"Weekend");
    EXPECT_EQ(text.Num, 8);
    const FString units(std::u16string_view(u"ab\0cd", 5));
    EXPECT_EQ(Units(units), u"ab");
}

} // namespace
