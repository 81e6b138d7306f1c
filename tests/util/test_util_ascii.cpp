// ASCII case: letters fold, every other byte (UTF-8 included) stays as it is.
#include <gtest/gtest.h>

#include "util/Ascii.h"

namespace {

TEST(Ascii, FoldsOnlyAsciiLetters)
{
    EXPECT_EQ(util::AsciiLower("/QvReload 42_@[`{"), "/qvreload 42_@[`{");
    EXPECT_EQ(util::AsciiLower("\xC3\x89T\xC3\x89"), "\xC3\x89t\xC3\x89"); // "ÉTÉ": É is no ASCII letter
    EXPECT_TRUE(util::EqualIgnoringAsciiCase("/ToggleQuorvandelle", "/togglequorvandelle"));
    EXPECT_TRUE(util::EqualIgnoringAsciiCase("", ""));
    EXPECT_FALSE(util::EqualIgnoringAsciiCase("/qvreload", "/qvreloa"));
    EXPECT_FALSE(util::EqualIgnoringAsciiCase("@", "`")); // one apart, as 'A' and 'a' are 32 apart
    EXPECT_FALSE(util::EqualIgnoringAsciiCase("\xC3\x89", "\xC3\xA9"));
}

} // namespace
