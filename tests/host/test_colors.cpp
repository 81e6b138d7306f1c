// Colours as the game receives them: bytes in the game's order and the sRGB decoding to linear floats.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "plugin/host/Colors.h"

using namespace qv;

namespace {

double SrgbDecode(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

TEST(Colors, ByteColorIsStoredBlueGreenRedAlphaWithOpaqueDefault)
{
    const ByteColor color(10, 20, 30);
    unsigned char bytes[4] = {};
    std::memcpy(bytes, &color, sizeof bytes);
    EXPECT_EQ(bytes[0], 30);
    EXPECT_EQ(bytes[1], 20);
    EXPECT_EQ(bytes[2], 10);
    EXPECT_EQ(bytes[3], 255);
}

TEST(Colors, OpaqueGreenBecomesExactlyZeroOneZeroOne)
{
    const MessageColor green = ToMessageColor(ByteColor(0, 255, 0, 255));
    EXPECT_EQ(green.R, 0.0f);
    EXPECT_EQ(green.G, 1.0f);
    EXPECT_EQ(green.B, 0.0f);
    EXPECT_EQ(green.A, 1.0f);
    const MessageColor red = ToMessageColor(ByteColor(255, 0, 0, 255));
    EXPECT_EQ(red.R, 1.0f);
    EXPECT_EQ(red.G, 0.0f);
    EXPECT_EQ(red.B, 0.0f);
    EXPECT_EQ(red.A, 1.0f);
}

TEST(Colors, ChannelsGoThroughTheTableAndAlphaIsScaledLinearly)
{
    const MessageColor half = ToMessageColor(ByteColor(128, 128, 128, 128));
    for (float channel : {half.R, half.G, half.B}) EXPECT_NEAR(channel, 0.2158605f, 1e-7f);
    EXPECT_NEAR(half.A, 0.5019608f, 1e-7f);

    // Each channel reads its own byte, not its neighbour's: the bytes of the linear part (1), of the
    // curve just past the threshold (11) and of the top (254) decode far apart.
    const MessageColor mixed = ToMessageColor(ByteColor(1, 11, 254, 0));
    EXPECT_FLOAT_EQ(mixed.R, static_cast<float>(SrgbDecode(1)));
    EXPECT_FLOAT_EQ(mixed.G, static_cast<float>(SrgbDecode(11)));
    EXPECT_FLOAT_EQ(mixed.B, static_cast<float>(SrgbDecode(254)));
    EXPECT_EQ(mixed.A, 0.0f);
}

TEST(Colors, TableHoldsTheQuotedEntries)
{
    struct Row {
        int index;
        double value;
    };
    const Row rows[] = {
        {0, 0.0},
        {1, 0.000303526983548838},
        {11, 0.00334653564113713},
        {128, 0.215860498718652},
        {254, 0.991102093719252},
        {255, 1.0},
    };
    for (const Row& row : rows) EXPECT_NEAR(SrgbToLinearTable[row.index], row.value, 4e-9) << "entry " << row.index;
    EXPECT_EQ(SrgbToLinearTable[0], 0.0);
    EXPECT_EQ(SrgbToLinearTable[255], 1.0);
}

TEST(Colors, EveryTableEntryIsTheSrgbDecodingOfItsIndex)
{
    for (int i = 0; i < 256; ++i) {
        EXPECT_NEAR(SrgbToLinearTable[i], SrgbDecode(i), 4e-9) << "entry " << i;
        if (i > 0) {
            EXPECT_GT(SrgbToLinearTable[i], SrgbToLinearTable[i - 1]) << "entry " << i;
        }
    }
}

} // namespace
