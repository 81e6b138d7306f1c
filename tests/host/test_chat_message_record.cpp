// The chat record the plug-in hands to the game: the values it is built with, and exact-size copies
// of its strings, all in the game's allocator. (Its layout is checked where it is declared.)
#include <gtest/gtest.h>

#include "plugin/host/ChatMessageRecord.h"
#include "tests/host/AllocatorFixture.h"

namespace {

using ChatMessageRecordTest = AllocatorFixture;

void ExpectEmpty(const FString& text, const char* field)
{
    EXPECT_EQ(text.Data, nullptr) << field;
    EXPECT_EQ(text.Num, 0) << field;
    EXPECT_EQ(text.Max, 0) << field;
}

void ExpectBuiltValues(const ChatMessageRecord& record)
{
    ExpectEmpty(record.SenderSteamName, "SenderSteamName");
    ExpectEmpty(record.SenderTribeName, "SenderTribeName");
    ExpectEmpty(record.Receiver, "Receiver");
    ExpectEmpty(record.UserId, "UserId");
    EXPECT_EQ(record.SenderId, 0u);
    EXPECT_EQ(record.SenderTeamIndex, 0);
    EXPECT_EQ(record.ReceivedTime, -1.0);
    EXPECT_EQ(record.SendMode, 0);
    EXPECT_EQ(record.RadioFrequency, 0u);
    EXPECT_EQ(record.ChatType, 0);
    EXPECT_EQ(record.SenderIcon, nullptr);
}

TEST_F(ChatMessageRecordTest, FreshRecordHasMinusOneTimeAndNothingElseAndAllocatesNothing)
{
    const ChatMessageRecord record;
    ExpectBuiltValues(record);
    ExpectEmpty(record.SenderName, "SenderName");
    ExpectEmpty(record.Message, "Message");
    EXPECT_EQ(Allocations(), 0u);
}

TEST_F(ChatMessageRecordTest, CopyCopiesEachStringExactSizeAndTheRestAsItIs)
{
    // Freshly built strings have slack (Max above Num); the copies must not carry it over.
    ChatMessageRecord record;
    record.SenderName = FString("Test Server");
    record.Message = FString(L"<RichColor Color=\"0, 1, 0, 1\">Weekend rates on</>");
    ASSERT_GT(record.SenderName.Max, record.SenderName.Num);
    ASSERT_GT(record.Message.Max, record.Message.Num);

    const ChatMessageRecord copy(record);
    EXPECT_EQ(copy.SenderName.Num, 12);
    EXPECT_EQ(copy.SenderName.Max, 12);
    EXPECT_NE(copy.SenderName.Data, record.SenderName.Data);
    EXPECT_EQ(copy.SenderName.View(), u"Test Server");
    EXPECT_EQ(copy.Message.Max, copy.Message.Num);
    EXPECT_EQ(copy.Message.View(), record.Message.View());
    ExpectBuiltValues(copy);
    EXPECT_EQ(LiveBlocks(), 4);
}

} // namespace
