#include "common/file_io.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using scrivlet::readWholeFile;
using scrivlet::writeFileAtomically;
using scrivlet::fixtures::TempDir;
using scrivlet::fixtures::Unprivileged;
namespace fs = std::filesystem;

namespace {

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string allByteValues()
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}

mode_t modeOf(const std::string& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(ReadWholeFile, ReadsEveryByteAsStored)
{
    TempDir dir;
    for (const std::string& bytes : {std::string(), allByteValues(), std::string("a\r\nb\nc\r")}) {
        writeBytes(dir.file("f"), bytes);
        const auto r = readWholeFile(dir.file("f"));
        ASSERT_TRUE(r.ok) << r.reason;
        EXPECT_EQ(r.bytes, bytes);
    }
}

TEST(ReadWholeFile, SaysWhyAFileCannotBeRead)
{
    TempDir dir;
    fs::create_directory(dir.file("folder"));
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0666), 0);
    writeBytes(dir.file("secret"), "x");
    fs::permissions(dir.file("secret"), fs::perms::none);
    writeBytes(dir.file("eleven"), "01234567890");

    const struct {
        std::string path;
        std::uint64_t limit;
        const char* reason;
    } cases[] = {
        {dir.file("missing.rpl"), scrivlet::kMaxOpenBytes, "No such file or directory"},
        {dir.file("folder"), scrivlet::kMaxOpenBytes, "folder"},
        {dir.file("pipe"), scrivlet::kMaxOpenBytes, "not a regular file"},
        {"/dev/null", scrivlet::kMaxOpenBytes, "not a regular file"},
        {dir.file("secret"), scrivlet::kMaxOpenBytes, "Permission denied"},
        {dir.file("eleven"), 10, "are not opened"},
        {"", scrivlet::kMaxOpenBytes, "No file name"},
    };
    Unprivileged asNobody;
    for (const auto& c : cases) {
        const auto r = readWholeFile(c.path, c.limit);
        EXPECT_FALSE(r.ok) << c.path;
        EXPECT_TRUE(r.bytes.empty()) << c.path;
        EXPECT_TRUE(contains(r.reason, c.reason)) << c.path << ": " << r.reason;
    }
    EXPECT_TRUE(readWholeFile(dir.file("eleven"), 11).ok);
}

TEST(WriteFileAtomically, WritesTheBytesAndLeavesNoTemporaryFile)
{
    TempDir dir;
    const std::string path = dir.file("prog.rpl");
    for (const std::string& bytes : {allByteValues(), std::string("::\n\n;\n@"), std::string()}) {
        const auto r = writeFileAtomically(path, bytes);
        ASSERT_TRUE(r.ok) << r.reason;
        EXPECT_EQ(TempDir::readBytes(path), bytes);
        EXPECT_EQ(dir.snapshot().size(), 1u);
    }
}

TEST(WriteFileAtomically, NewFilesFollowTheCreationMaskReplacedFilesKeepTheirMode)
{
    TempDir dir;
    const mode_t old = ::umask(027);
    ASSERT_TRUE(writeFileAtomically(dir.file("new.rpl"), "x").ok);
    ::umask(old);
    EXPECT_EQ(modeOf(dir.file("new.rpl")), 0640u);

    writeBytes(dir.file("kept.rpl"), "old");
    ::chmod(dir.file("kept.rpl").c_str(), 0604);
    ASSERT_TRUE(writeFileAtomically(dir.file("kept.rpl"), "new").ok);
    EXPECT_EQ(modeOf(dir.file("kept.rpl")), 0604u);
    EXPECT_EQ(TempDir::readBytes(dir.file("kept.rpl")), "new");
}

TEST(WriteFileAtomically, WritesThroughASymbolicLink)
{
    TempDir dir;
    writeBytes(dir.file("real.rpl"), "old");
    fs::create_symlink(dir.file("real.rpl"), dir.file("link.rpl"));
    ASSERT_TRUE(writeFileAtomically(dir.file("link.rpl"), "new").ok);
    EXPECT_TRUE(fs::is_symlink(dir.file("link.rpl")));
    EXPECT_EQ(TempDir::readBytes(dir.file("real.rpl")), "new");
}

TEST(WriteFileAtomically, AFailureKeepsTheOldFileAndSaysWhy)
{
    TempDir dir;
    // A folder nobody may add to, holding a file anybody may write.
    fs::create_directory(dir.file("locked"));
    const std::string lockedFile = dir.file("locked") + "/prog.rpl";
    writeBytes(lockedFile, "old bytes");
    ::chmod(lockedFile.c_str(), 0666);
    ::chmod(dir.file("locked").c_str(), 0555);
    // A folder anybody may add to, holding a read-only file.
    fs::create_directory(dir.file("open"));
    ::chmod(dir.file("open").c_str(), 0777);
    const std::string readOnly = dir.file("open") + "/ro.rpl";
    writeBytes(readOnly, "read only");
    ::chmod(readOnly.c_str(), 0444);
    fs::create_directory(dir.file("open") + "/sub.rpl");

    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
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
        for (const auto& c : cases) {
            const auto r = writeFileAtomically(c.path, "new bytes");
            EXPECT_FALSE(r.ok) << c.path;
            EXPECT_TRUE(contains(r.reason, c.reason)) << c.path << ": " << r.reason;
        }
    }
    EXPECT_EQ(dir.snapshot(), before);
}
