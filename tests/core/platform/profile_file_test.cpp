// Profile files: lookups by case-insensitive names, edits that keep the rest of the file, and the
// code page on disk.
#include "core/platform/profile_file.h"

#include "core/platform/folder_settings.h"
#include "core/platform/text_encoding.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace axolite::platform;
using axolite::test::readFile;
using axolite::test::TempDir;
using axolite::test::writeFile;

TEST(ProfileFile, NamesAreComparedWithoutRegardToCase) {
    const ProfileFile p =
        ProfileFile::parse("[ЛИНЕЙНАЯ]\nid=1\n  Y1 =  \"2.5\" \n[Files]\nFile1=a.net\n");
    EXPECT_EQ(p.get("Линейная", "ID"), "1");
    EXPECT_EQ(p.get("линейная", "y1"), "2.5");
    EXPECT_EQ(p.get("FILES", "file1"), "a.net");
    EXPECT_FALSE(p.get("Линейная", "File1"));
    EXPECT_FALSE(p.get("Гауссова", "ID"));
    EXPECT_EQ(lowerCase("ЁЖИК Ёлка ABC"), "ёжик ёлка abc");
}

TEST(ProfileFile, OnlyTheFirstSectionOfANameAndTheFirstKeyCount) {
    const ProfileFile p = ProfileFile::parse("[a]\nk=1\nk=2\n[A]\nk=3\nj=4\n");
    EXPECT_EQ(p.get("a", "k"), "1");
    EXPECT_FALSE(p.get("a", "j"));
    EXPECT_EQ(p.sections(), (std::vector<std::string>{"a", "A"}));
}

TEST(ProfileFile, SetKeepsEveryOtherLine) {
    ProfileFile p = ProfileFile::parse("; comment\r\n[One]\r\nx=1\r\n\r\n[Two]\r\ny=2\r\n");
    p.set("one", "X", "10");
    p.set("One", "z", "3");
    p.set("Three", "w", "4");
    EXPECT_EQ(p.text(),
              "; comment\r\n[One]\r\nx=10\r\nz=3\r\n\r\n[Two]\r\ny=2\r\n\r\n[Three]\r\nw=4\r\n");
    ProfileFile empty;
    empty.set("S", "k", "v");
    EXPECT_EQ(empty.text(), "[S]\r\nk=v\r\n");
}

TEST(ProfileFile, Cp1251OnDiskUtf8InTheInterface) {
    TempDir dir;
    const auto path = dir / "m.neu";
    ASSERT_TRUE(writeProfileString(path, "Сигмовидная", "Y1", "1"));
    ASSERT_TRUE(writeProfileString(path, "Гауссова", "Xt", "-0.5"));
    const std::string bytes = readFile(path);
    EXPECT_EQ(bytes, utf8ToCp1251("[Сигмовидная]\r\nY1=1\r\n\r\n[Гауссова]\r\nXt=-0.5\r\n"));
    EXPECT_EQ(readProfileString(path, "сигмовидная", "y1"), "1");
    EXPECT_EQ(readProfileString(path, "ГАУССОВА", "XT"), "-0.5");
    EXPECT_FALSE(readProfileString(dir / "none.neu", "Гауссова", "Xt"));
}

TEST(ProfileFile, AUtf8FileStaysUtf8AndNothingIsLost) {
    TempDir dir;
    const auto path = dir / "u.ini";
    writeFile(path, "[Линейная]\nID=1\n");
    ASSERT_TRUE(writeProfileString(path, "Линейная", "Y1", "2"));
    EXPECT_EQ(readFile(path), "[Линейная]\nID=1\nY1=2\n");
    // A character code page 1251 has no place for keeps the file in UTF-8.
    const auto other = dir / "o.ini";
    ASSERT_TRUE(writeProfileString(other, "Files", "File1", "/home/用户/a.net"));
    EXPECT_EQ(readProfileString(other, "Files", "File1"), "/home/用户/a.net");
    // A text whose code page 1251 bytes would read back as UTF-8 ("Сё" is D1 B8, the UTF-8 of
    // "Ѹ") is written in UTF-8, so it reads back as written.
    const auto ambiguous = dir / "a.ini";
    ASSERT_TRUE(writeProfileString(ambiguous, "Files", "File1", "/home/Сё/a.net"));
    EXPECT_EQ(readProfileString(ambiguous, "Files", "File1"), "/home/Сё/a.net");
}

TEST(ProfileFile, AByteOrderMarkIsNoPartOfTheFirstSectionAndStays) {
    TempDir dir;
    const auto path = dir / "0.neu";
    writeFile(path, "\xEF\xBB\xBF[Линейная]\r\nID=0\r\nY1=10\r\n");
    EXPECT_EQ(readProfileString(path, "Линейная", "Y1"), "10");
    ASSERT_TRUE(writeProfileString(path, "Линейная", "X1", "-10"));
    EXPECT_EQ(readFile(path), "\xEF\xBB\xBF[Линейная]\r\nID=0\r\nY1=10\r\nX1=-10\r\n");
}

TEST(ProfileFile, AWriteKeepsPermissionsAndLeavesAReadOnlyFileAlone) {
    namespace fs = std::filesystem;
    TempDir dir;
    const auto path = dir / "1.neu";
    writeFile(path, "[a]\nk=1\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(writeProfileString(path, "a", "k", "2"));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(writeProfileString(path, "a", "k", "3"));
    EXPECT_EQ(readFile(path), "[a]\nk=2\n");
    fs::permissions(path, fs::perms::owner_all);
}

TEST(ProfileFile, UnreadableOrUnwritablePlacesFail) {
    TempDir dir;
    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_FALSE(ProfileFile::load(dir / "folder.ini"));
    EXPECT_FALSE(writeProfileString(dir / "folder.ini", "a", "b", "c"));
    EXPECT_FALSE(writeProfileString(dir / "missing" / "x.ini", "a", "b", "c"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.ini"));
}

TEST(ProfileFile, SeveralValuesAreWrittenTogetherKeepingTheRest) {
    TempDir dir;
    writeFile(dir / "a.ini", "[Other]\r\nq=1\r\n[MRU]\r\nCount=1\r\nFile1=x\r\n");
    ASSERT_TRUE(writeProfileStrings(dir / "a.ini", "mru",
                                    {{"count", "2"}, {"File1", "y"}, {"File2", "x"}}));
    EXPECT_EQ(readFile(dir / "a.ini"),
              "[Other]\r\nq=1\r\n[MRU]\r\nCount=2\r\nFile1=y\r\nFile2=x\r\n");
    // A new file is made; a folder in the way is never replaced.
    EXPECT_TRUE(writeProfileStrings(dir / "new.ini", "S", {{"k", "v"}}));
    EXPECT_EQ(readProfileString(dir / "new.ini", "s", "K"), std::string("v"));
    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_FALSE(writeProfileStrings(dir / "folder.ini", "S", {{"k", "v"}}));
}

TEST(ProfileFile, AnyBytesGiveSomeProfile) {
    const std::string bytes("[\xc0\x98\xff]\n\x00=\x01\n=\n[\n]]]\nkey\n", 22);
    const ProfileFile p = ProfileFile::decode(bytes);
    EXPECT_FALSE(p.get("x", "key"));
    EXPECT_EQ(firstCharacters("аб1", 2), "аб");
    EXPECT_EQ(firstCharacters("ab", 6), "ab");
}

TEST(FolderSettings, ModelsFolderIsTheCurrentDirectoryUntilSet) {
    FolderSettings f;
    f.models = "/some/models";
    EXPECT_EQ(f.modelsFolder(), std::filesystem::current_path());
    f.set = true;
    EXPECT_EQ(f.modelsFolder(), std::filesystem::path("/some/models"));
    f.models.clear();
    EXPECT_EQ(f.modelsFolder(), std::filesystem::current_path());
    EXPECT_EQ(f.patternsFolder(), std::filesystem::path());
}
