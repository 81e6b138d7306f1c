// Files replaced whole: nothing left beside them, links followed, the old file's mode, owner and
// group kept, and whatever is no regular file refused with nothing written.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include "tests/util/TempFolderTest.h"
#include "util/AtomicFile.h"

namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public TempFolderTest {
protected:
    static std::optional<std::string> Write(const fs::path& file, const std::string& text)
    {
        return util::WriteFileAtomically(file.u8string(), text);
    }
    static std::string Read(const fs::path& file)
    {
        std::ostringstream text;
        text << std::ifstream(file, std::ios::binary).rdbuf();
        return text.str();
    }
    static std::vector<std::string> NamesIn(const fs::path& folder)
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            names.push_back(entry.path().filename().u8string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

using Names = std::vector<std::string>;

TEST_F(AtomicFileTest, ReplacesTheTextWholeAndLeavesNothingBeside)
{
    const fs::path file = folder_ / fs::u8path("rates \u20ac.ics");
    ASSERT_EQ(Write(file, "the first, longer text"), std::nullopt);
    EXPECT_EQ(Read(file), "the first, longer text");
    ASSERT_EQ(Write(file, "second"), std::nullopt);
    EXPECT_EQ(Read(file), "second");
    EXPECT_EQ(NamesIn(folder_), Names{"rates \u20ac.ics"});

    EXPECT_NE(Write(folder_ / "no-such-folder" / "rates.ics", "x"), std::nullopt);
    EXPECT_EQ(NamesIn(folder_), Names{"rates \u20ac.ics"});
}

TEST_F(AtomicFileTest, RefusesWhatIsNoRegularFileAndWritesNothing)
{
    struct Row {
        fs::path Path;
        const char* Reason;
    };
    std::vector<Row> rows = {{folder_, "a folder, not a regular file"}};
#if defined(_WIN32)
    rows.push_back({"NUL", "a device, not a regular file"});
#else
    // Nodes of the test's own: a system device must never be at stake.
    const fs::path fifo = folder_ / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("fifo", folder_ / "link-to-fifo");
    const fs::path socketPath = folder_ / "socket";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.string().copy(address.sun_path, sizeof address.sun_path - 1);
    const int listening = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    rows.push_back({fifo, "a pipe, not a regular file"});
    rows.push_back({folder_ / "link-to-fifo", "a pipe, not a regular file"});
    rows.push_back({socketPath, "a socket, not a regular file"});
#endif
    const Names before = NamesIn(folder_);
    for (const Row& row : rows) {
        EXPECT_EQ(Write(row.Path, "text"), std::string(row.Reason)) << row.Path;
        EXPECT_EQ(NamesIn(folder_), before) << row.Path;
    }
#if !defined(_WIN32)
    close(listening);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_symlink(folder_ / "link-to-fifo"));
    EXPECT_TRUE(fs::is_socket(socketPath));
#endif
}

#if !defined(_WIN32)
TEST_F(AtomicFileTest, FollowsALinkToTheFileItNamesAndKeepsTheLink)
{
    fs::create_directory(folder_ / "www");
    std::ofstream(folder_ / "www" / "rates.ics") << "old";
    fs::create_symlink("www/rates.ics", folder_ / "link.ics");
    // A link to a file not there yet: the file is made where it leads.
    fs::create_symlink(folder_ / "www" / "later.ics", folder_ / "dangling.ics");

    ASSERT_EQ(Write(folder_ / "link.ics", "new"), std::nullopt);
    ASSERT_EQ(Write(folder_ / "dangling.ics", "made"), std::nullopt);
    EXPECT_EQ(Read(folder_ / "www" / "rates.ics"), "new");
    EXPECT_EQ(Read(folder_ / "www" / "later.ics"), "made");
    EXPECT_EQ(fs::read_symlink(folder_ / "link.ics"), "www/rates.ics");
    EXPECT_TRUE(fs::is_symlink(folder_ / "dangling.ics"));
    EXPECT_EQ(NamesIn(folder_ / "www"), (Names{"later.ics", "rates.ics"}));
}

TEST_F(AtomicFileTest, KeepsTheOldFilesModeOwnerAndGroupOrGivesANewOneTheUmasks)
{
    const fs::path file = folder_ / "rates.ics";
    const mode_t saved = umask(027);
    const std::optional<std::string> made = Write(file, "new");
    umask(saved);
    ASSERT_EQ(made, std::nullopt);
    struct stat status {};
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);

    // Root can hand the file to another owner, as a web server's folder has it; anyone can set a
    // set-group-ID mode, which a change of owner after the mode would clear.
    const uid_t owner = geteuid() == 0 ? 33 : geteuid();
    const gid_t group = geteuid() == 0 ? 34 : getegid();
    ASSERT_EQ(chown(file.c_str(), owner, group), 0);
    ASSERT_EQ(chmod(file.c_str(), 02754), 0);
    ASSERT_EQ(Write(file, "replaced"), std::nullopt);
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    EXPECT_EQ(Read(file), "replaced");
    EXPECT_EQ(status.st_mode & 07777, 02754u);
    EXPECT_EQ(status.st_uid, owner);
    EXPECT_EQ(status.st_gid, group);
}
#endif

} // namespace
