#include "common/file_io.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <numeric>
#include <sys/stat.h>
#include <unistd.h>

using scrivlet::readWholeFile;
using scrivlet::writeFileAtomically;
using scrivlet::fixtures::TempDir;
using scrivlet::fixtures::Unprivileged;
using scrivlet::fixtures::writeFile;
namespace fs = std::filesystem;

TEST(FileIo, WrittenBytesReadBackAsStoredWithNoTemporaryFileLeft)
{
    TempDir dir;
    const std::string path = dir.file("prog.rpl");
    std::string allBytes(256, '\0');
    std::iota(allBytes.begin(), allBytes.end(), '\0');
    for (const std::string& bytes : {allBytes, std::string("a\r\nb\nc\r"), std::string()}) {
        const auto written = writeFileAtomically(path, bytes);
        ASSERT_TRUE(written.ok) << written.reason;
        const auto read = readWholeFile(path);
        ASSERT_TRUE(read.ok) << read.reason;
        EXPECT_EQ(read.bytes, bytes);
        EXPECT_EQ(dir.snapshot().size(), 1u);
    }
}

TEST(ReadWholeFile, SaysWhyAFileCannotBeRead)
{
    TempDir dir;
    fs::create_directory(dir.file("folder"));
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0666), 0);
    writeFile(dir.file("secret"), "x");
    fs::permissions(dir.file("secret"), fs::perms::none);
    writeFile(dir.file("eleven"), "01234567890");

    const std::tuple<std::string, std::uint64_t, const char*> cases[] = {
        {dir.file("missing.rpl"), scrivlet::kMaxOpenBytes, "No such file or directory"},
        {dir.file("folder"), scrivlet::kMaxOpenBytes, "folder"},
        {dir.file("pipe"), scrivlet::kMaxOpenBytes, "not a regular file"},
        {"/dev/null", scrivlet::kMaxOpenBytes, "not a regular file"},
        {dir.file("secret"), scrivlet::kMaxOpenBytes, "Permission denied"},
        {dir.file("eleven"), 10, "are not opened"},
        {"", scrivlet::kMaxOpenBytes, "No file name"},
    };
    Unprivileged asNobody;
    for (const auto& [path, limit, reason] : cases) {
        const auto r = readWholeFile(path, limit);
        EXPECT_FALSE(r.ok) << path;
        EXPECT_TRUE(r.bytes.empty()) << path;
        EXPECT_NE(r.reason.find(reason), std::string::npos) << path << ": " << r.reason;
    }
    EXPECT_TRUE(readWholeFile(dir.file("eleven"), 11).ok);
}

TEST(WriteFileAtomically, NewFilesFollowTheCreationMaskReplacedFilesKeepModeAndLink)
{
    TempDir dir;
    const mode_t old = ::umask(027);
    ASSERT_TRUE(writeFileAtomically(dir.file("new.rpl"), "x").ok);
    ::umask(old);
    EXPECT_EQ(fs::status(dir.file("new.rpl")).permissions(), fs::perms(0640));

    writeFile(dir.file("kept.rpl"), "old");
    ::chmod(dir.file("kept.rpl").c_str(), 0604);
    fs::create_symlink(dir.file("kept.rpl"), dir.file("link.rpl"));
    ASSERT_TRUE(writeFileAtomically(dir.file("link.rpl"), "new").ok);
    EXPECT_TRUE(fs::is_symlink(dir.file("link.rpl")));
    EXPECT_EQ(fs::status(dir.file("kept.rpl")).permissions(), fs::perms(0604));
    EXPECT_EQ(TempDir::readBytes(dir.file("kept.rpl")), "new");
}

// A link to nothing yet gets its target made, a relative one from its own folder, along a chain.
TEST(WriteFileAtomically, ThroughADanglingLinkTheTargetIsWrittenAndTheLinkKept)
{
    TempDir dir;
    fs::create_directory(dir.file("src"));
    fs::create_symlink("../new.rpl", dir.file("src/dangling.rpl"));
    fs::create_symlink("src/dangling.rpl", dir.file("chain.rpl"));
    for (const char* link : {"src/dangling.rpl", "chain.rpl"}) {
        ASSERT_TRUE(writeFileAtomically(dir.file(link), link).ok) << link;
        EXPECT_TRUE(fs::is_symlink(dir.file(link)));
        EXPECT_EQ(TempDir::readBytes(dir.file("new.rpl")), link);
    }
}

TEST(WriteFileAtomically, AFailureKeepsTheOldFileAndSaysWhy)
{
    TempDir dir;
    // A folder nobody may add to, holding a file anybody may write.
    const std::string lockedFile = dir.file("locked") + "/prog.rpl";
    writeFile(lockedFile, "old bytes");
    ::chmod(lockedFile.c_str(), 0666);
    ::chmod(dir.file("locked").c_str(), 0555);
    // A folder anybody may add to, holding a read-only file.
    const std::string readOnly = dir.file("open") + "/ro.rpl";
    writeFile(readOnly, "read only");
    ::chmod(dir.file("open").c_str(), 0777);
    ::chmod(readOnly.c_str(), 0444);
    fs::create_directory(dir.file("open") + "/sub.rpl");

    const std::pair<std::string, const char*> cases[] = {
        {lockedFile, "No file can be made in the folder"},
        {dir.file("locked") + "/new.rpl", "Permission denied"},
        {readOnly, "may not be written: Permission denied"},
        {dir.file("open") + "/sub.rpl", "folder, not a file"},
        {dir.file("no such folder") + "/x.rpl", "No such file or directory"},
        {"", "No file name"},
    };
    const auto before = dir.snapshot();
    {
        Unprivileged asNobody;
        for (const auto& [path, reason] : cases) {
            const auto r = writeFileAtomically(path, "new bytes");
            EXPECT_FALSE(r.ok) << path;
            EXPECT_NE(r.reason.find(reason), std::string::npos) << path << ": " << r.reason;
        }
    }
    EXPECT_EQ(dir.snapshot(), before);
}
