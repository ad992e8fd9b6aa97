// Files written whole or not at all: a full disk, a refused target and links never cost the file
// that was there, and no temporary file is left behind.
#include "core/platform/atomic_file.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace axolite;
using namespace axolite::platform;

namespace {

// The names in a folder.
std::vector<std::string> entries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(AtomicFile, AFullDiskLeavesTheOldFileWholeAndNoTemporaryFile) {
    test::TempDir dir;
    const auto path = dir / "out.txt";
    test::writeFile(path, "old content");
    std::optional<FileWriteFailure> failure;
    {
        test::FileSizeLimit limit(1000);
        failure = writeFileAtomically(path, std::string(5000, 'x'));
    }
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->step, FileWriteStep::Write);
    EXPECT_EQ(fileWriteMessage(*failure).text, "Ошибка при записи файла " + path.string());
    EXPECT_EQ(test::readFile(path), "old content");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"out.txt"});

    // Written in pieces: the same.
    {
        test::FileSizeLimit limit(100000);
        AtomicFile file(path);
        bool written = file.open();
        for (int i = 0; i < 100 && written; ++i) {
            written = file.write(std::string(4000, 'y'));
        }
        EXPECT_FALSE(written && file.commit());
        ASSERT_TRUE(file.failure());
        EXPECT_EQ(file.failure()->step, FileWriteStep::Write);
    }
    EXPECT_EQ(test::readFile(path), "old content");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"out.txt"});
}

TEST(AtomicFile, ReplacesOnlyAtCommitAndKeepsThePermissions) {
    test::TempDir dir;
    const auto path = dir / "out.txt";
    test::writeFile(path, "old");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    {
        AtomicFile file(path);
        ASSERT_TRUE(file.open() && file.write("new ") && file.write("text") && file.finish());
        EXPECT_EQ(test::readFile(path), "old");
        ASSERT_TRUE(file.commit());
    }
    EXPECT_EQ(test::readFile(path), "new text");
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
    {
        AtomicFile abandoned(path);
        ASSERT_TRUE(abandoned.open() && abandoned.write("lost"));
    }
    EXPECT_EQ(test::readFile(path), "new text");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"out.txt"});
}

TEST(AtomicFile, RefusesAtCreationWhatCannotOrMustNotBeReplaced) {
    test::TempDir dir;
    const auto check = [](const std::filesystem::path& path) {
        const auto failure = writeFileAtomically(path, "x");
        ASSERT_TRUE(failure) << path;
        EXPECT_EQ(failure->step, FileWriteStep::Create) << path;
        EXPECT_EQ(fileWriteMessage(*failure).text, "Невозможно создать файл " + path.string());
    };
    check(dir / "missing" / "out.txt");
    std::filesystem::create_directory(dir / "folder");
    check(dir / "folder");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
    check("/dev/null"); // a device is never replaced, not even by root
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    const auto readOnly = dir / "read-only.txt";
    test::writeFile(readOnly, "kept");
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
    check(readOnly);
    EXPECT_EQ(test::readFile(readOnly), "kept");
}

TEST(AtomicFile, FollowsALinkToAFileButNeverWithKeep) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "elsewhere");
    test::writeFile(dir / "elsewhere" / "real.txt", "old");
    std::filesystem::create_symlink(dir / "elsewhere" / "real.txt", dir / "link.txt");
    ASSERT_FALSE(writeFileAtomically(dir / "link.txt", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.txt"));
    EXPECT_EQ(test::readFile(dir / "elsewhere" / "real.txt"), "new");

    // Keep: neither an existing file nor a dangling link is replaced or written through.
    std::filesystem::create_symlink(dir / "elsewhere" / "absent.txt", dir / "dangling.txt");
    for (const char* name : {"link.txt", "dangling.txt"}) {
        AtomicFile file(dir / name, ExistingTarget::Keep);
        EXPECT_FALSE(file.open() && file.write("x") && file.commit());
        ASSERT_TRUE(file.failure());
        EXPECT_EQ(file.failure()->step, FileWriteStep::Replace);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "elsewhere" / "absent.txt"));
    EXPECT_EQ(test::readFile(dir / "elsewhere" / "real.txt"), "new");

    // Keep: a file that appears after the temporary one was written is not replaced either.
    AtomicFile late(dir / "late.txt", ExistingTarget::Keep);
    ASSERT_TRUE(late.open() && late.write("mine") && late.finish());
    test::writeFile(dir / "late.txt", "theirs");
    EXPECT_FALSE(late.commit());
    EXPECT_EQ(test::readFile(dir / "late.txt"), "theirs");
}
