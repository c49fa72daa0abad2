#include "core/file_names.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/record_file.h"

#include "support/test_support.h"

namespace meet {
namespace {

TEST(FindFile, FindsAFileWhateverItsLetterCase) {
  test::TempDir dir;
  test::WriteFile(dir / "Taikai.DAT", "x");
  EXPECT_EQ(FindFile(dir.path(), "taikai.dat").filename(), "Taikai.DAT");
  EXPECT_EQ(FindFile(dir.path(), "TAIKAI.dat").filename(), "Taikai.DAT");
}

TEST(FindFile, ExactSpellingWinsAndMissingFilesGetTheAskedSpelling) {
  test::TempDir dir;
  test::WriteFile(dir / "race.dat", "a");
  test::WriteFile(dir / "Race.dat", "b");
  EXPECT_EQ(FindFile(dir.path(), "Race.dat").filename(), "Race.dat");
  EXPECT_EQ(FindFile(dir.path(), "relay.dat").filename(), "relay.dat");
  EXPECT_EQ(FindFile(dir / "no-such-folder", "x.dat").filename(), "x.dat");
}

TEST(ListFilesWithExtension, MatchesTheExtensionIgnoringCase) {
  test::TempDir dir;
  test::WriteFile(dir / "b.mos", "");
  test::WriteFile(dir / "a.MOS", "");
  test::WriteFile(dir / "c.Mos.bak", "");
  std::filesystem::create_directory(dir / "d.Mos");
  auto files = ListFilesWithExtension(dir.path(), ".Mos");
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].filename(), "a.MOS");
  EXPECT_EQ(files[1].filename(), "b.mos");
}

TEST(WriteWholeFile, ReplacesTheFileAndLeavesNoTemporaryFile) {
  test::TempDir dir;
  test::WriteFile(dir / "k.dat", "old contents that are longer");
  ASSERT_TRUE(WriteWholeFile(dir / "k.dat", "new"));
  EXPECT_EQ(test::ReadFile(dir / "k.dat"), "new");
  int count = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) {
    (void)e;
    ++count;
  }
  EXPECT_EQ(count, 1);
}

TEST(WriteWholeFile, AFolderThatIsMissingGivesAnError) {
  test::TempDir dir;
  auto st = WriteWholeFile(dir / "missing" / "k.dat", "x");
  ASSERT_FALSE(st);
  EXPECT_EQ(st.error().kind, ErrorKind::Io);
}

TEST(ReadWholeFile, MissingFileIsNotFound) {
  test::TempDir dir;
  auto r = ReadWholeFile(dir / "nothing");
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error().kind, ErrorKind::NotFound);
}

}  // namespace
}  // namespace meet

#include "core/backup.h"

namespace meet {
namespace {

TEST(KeepBackup, CopiesTheFileUnderBackupWithATimeStamp) {
  test::TempDir dir;
  test::WriteFile(dir / "taikai.dat", "results");
  DateTime now{2026, 12, 8, 9, 30, 5};
  auto first = KeepBackup(dir.path(), dir / "taikai.dat", now);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->filename(), "taikai.dat.20261208-093005");
  EXPECT_EQ(test::ReadFile(*first), "results");
  auto second = KeepBackup(dir.path(), dir / "taikai.dat", now);  // same second: a new name
  ASSERT_TRUE(second);
  EXPECT_NE(*first, *second);
  EXPECT_EQ(test::ReadFile(dir / "taikai.dat"), "results");
  auto none = KeepBackup(dir.path(), dir / "missing.dat", now);
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->empty());
}

}  // namespace
}  // namespace meet

namespace meet {
namespace {

// What a hostile meet folder holds in a file's place, and what each helper
// does with it: never wait, never follow a link into a plain copy.
TEST(HostileFiles, PipesFoldersAndBrokenLinksAreRefusedAtOnce) {
  test::TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "pipe.dat").c_str(), 0644), 0);
  std::filesystem::create_directory(dir / "folder.dat");
  std::filesystem::create_symlink(dir / "nowhere.dat", dir / "dangling.dat");
  std::filesystem::create_symlink(dir / "loop.dat", dir / "loop.dat");
  for (const char* name : {"pipe.dat", "folder.dat", "dangling.dat", "loop.dat"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(ReadWholeFile(dir / name));
    EXPECT_FALSE(CheckWritable(dir / name));
    // A dangling link reads as a missing file: empty, nothing created.
    if (std::string(name) != "dangling.dat") {
      EXPECT_FALSE(RecordFile::Open(dir / name, 16, RecordFile::Mode::ReadOnly));
    }
    EXPECT_FALSE(RecordFile::Open(dir / name, 16, RecordFile::Mode::ReadWrite));
    EXPECT_FALSE(WriteWholeFile(dir / name, "x"));
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "nowhere.dat"));
  EXPECT_TRUE(std::filesystem::is_fifo(dir / "pipe.dat"));
}

TEST(HostileFiles, ALinkIsNeverWrittenThrough) {
  test::TempDir dir;
  ASSERT_TRUE(WriteWholeFile(dir / "shared.dat", "old"));
  std::filesystem::create_symlink(dir / "shared.dat", dir / "Race.dat");
  auto whole = WriteWholeFile(dir / "Race.dat", "new");
  ASSERT_FALSE(whole);
  EXPECT_NE(whole.error().message.find("リンク"), std::string::npos);
  EXPECT_FALSE(RecordFile::Open(dir / "Race.dat", 16, RecordFile::Mode::ReadWrite));
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "Race.dat"));
  EXPECT_EQ(*ReadWholeFile(dir / "shared.dat"), "old");
  EXPECT_EQ(*ReadWholeFile(dir / "Race.dat"), "old") << "reading follows the link";
  // A meet folder that is itself a link is written as any folder.
  std::filesystem::create_directory(dir / "real");
  std::filesystem::create_directory_symlink(dir / "real", dir / "meet");
  EXPECT_TRUE(WriteWholeFile(dir / "meet" / "taikai.dat", "x"));
  EXPECT_EQ(*ReadWholeFile(dir / "real" / "taikai.dat"), "x");
}

// A command with several outputs checks them all before it writes the first.
TEST(HostileFiles, NoOutputIsWrittenWhenALaterOneCannotBe) {
  test::TempDir dir;
  ASSERT_TRUE(WriteWholeFile(dir / "biko.dat", "old"));
  std::filesystem::create_directory(dir / "nyusho.dat");
  EXPECT_FALSE(WriteWholeFiles({{dir / "biko.dat", "new"}, {dir / "nyusho.dat", "new"}}));
  EXPECT_EQ(*ReadWholeFile(dir / "biko.dat"), "old");
  std::filesystem::remove(dir / "nyusho.dat");
  EXPECT_TRUE(WriteWholeFiles({{dir / "biko.dat", "new"}, {dir / "nyusho.dat", "new"}}));
  EXPECT_EQ(*ReadWholeFile(dir / "nyusho.dat"), "new");
}

TEST(HostileFiles, TemporariesLeftByAKilledWriterGoWithTheNextRewrite) {
  test::TempDir dir;
  ASSERT_TRUE(WriteWholeFile(dir / "taikai.dat", "old"));
  for (const char* left : {".taikai.dat.a1B2c3", ".taikai.dat.ZZZZZZ"}) ASSERT_TRUE(WriteWholeFile(dir / left, "half"));
  ASSERT_TRUE(WriteWholeFile(dir / ".taikai.dat.keep", "other"));  // not a temporary's name
  ASSERT_TRUE(WriteWholeFile(dir / "taikai.dat", "new"));
  EXPECT_FALSE(std::filesystem::exists(dir / ".taikai.dat.a1B2c3"));
  EXPECT_FALSE(std::filesystem::exists(dir / ".taikai.dat.ZZZZZZ"));
  EXPECT_TRUE(std::filesystem::exists(dir / ".taikai.dat.keep"));
}

TEST(HostileFiles, AHugeSparseFileIsReadOnlyAsFarAsAsked) {
  test::TempDir dir;
  ASSERT_TRUE(WriteWholeFile(dir / "hpro.dat", "abc"));
  std::filesystem::resize_file(dir / "hpro.dat", uint64_t{4} << 30);
  auto head = ReadFileHead(dir / "hpro.dat", 5);
  ASSERT_TRUE(head);
  EXPECT_EQ(*head, std::string("abc\0\0", 5));
}

}  // namespace
}  // namespace meet
