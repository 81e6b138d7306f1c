// Bounded file reads: the text up to the limit, and a named reason for everything else.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include "tests/util/TempFolderTest.h"
#include "util/BoundedFile.h"

namespace {

namespace fs = std::filesystem;

class BoundedFileTest : public TempFolderTest {
protected:
    std::string Write(const char* name, const std::string& text)
    {
        std::ofstream(folder_ / name, std::ios::binary) << text;
        return (folder_ / name).string();
    }
};

std::string TextOf(const std::variant<std::string, util::FileProblem>& read)
{
    const auto* problem = std::get_if<util::FileProblem>(&read);
    return problem ? "problem: " + problem->What : std::get<std::string>(read);
}

TEST_F(BoundedFileTest, ReadsUpToTheLimitAndRefusesOneBytePast)
{
    EXPECT_EQ(TextOf(util::ReadBoundedFile(Write("at.json", "1234"), 4, "a test file")), "1234");
    EXPECT_EQ(TextOf(util::ReadBoundedFile(Write("empty.json", ""), 4, "a test file")), "");
    const std::string bytes("a\0b\r\n", 5);
    EXPECT_EQ(TextOf(util::ReadBoundedFile(Write("binary.json", bytes), 5, "a test file")), bytes);
    EXPECT_EQ(TextOf(util::ReadBoundedFile(Write("past.json", "12345"), 4, "a test file")),
              "problem: is 5 bytes; a test file may have at most 4 bytes");
    const std::string mebibyte = Write("large.json", std::string(1024 * 1024 + 1, ' '));
    EXPECT_EQ(TextOf(util::ReadBoundedFile(mebibyte, 1024 * 1024, "a config file")),
              "problem: is 1048577 bytes; a config file may have at most 1048576 bytes (1 MiB)");
}

TEST_F(BoundedFileTest, NamesWhatIsNoReadableFile)
{
    const auto missing = util::ReadBoundedFile((folder_ / "none.json").string(), 10, "a test file");
    ASSERT_TRUE(std::holds_alternative<util::FileProblem>(missing));
    EXPECT_EQ(std::get<util::FileProblem>(missing).Kind, util::FileProblemKind::Missing);
    EXPECT_EQ(std::get<util::FileProblem>(missing).What, "not found");

    const auto folder = util::ReadBoundedFile(folder_.string(), 10, "a test file");
    ASSERT_TRUE(std::holds_alternative<util::FileProblem>(folder));
    EXPECT_EQ(std::get<util::FileProblem>(folder).Kind, util::FileProblemKind::Unreadable);
    EXPECT_EQ(std::get<util::FileProblem>(folder).What, "is a folder, not a file");
#if !defined(_WIN32)
    // A pipe without a writer would block the reader forever if it were opened.
    const fs::path fifo = folder_ / "fifo.json";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(TextOf(util::ReadBoundedFile(fifo.string(), 10, "a test file")), "problem: is not a regular file");
#endif
}

} // namespace
