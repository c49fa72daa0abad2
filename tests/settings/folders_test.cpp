#include "settings/folders.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace meet {
namespace {

TEST(Folders, ReadsFiveValuesFromTheThreeLines) {
  test::TempDir dir;
  test::WriteFile(dir / "dr_kyo.ctl", "/h\r\n/home/meet/2026,/h\r\n/home/entries,taikai.Mos\r\n");
  Folders f;
  LoadFolders(dir / "dr_kyo.ctl", f);
  EXPECT_EQ(f.meetFolder, "/home/meet/2026/");
  EXPECT_EQ(f.entryFolder, "/home/entries/");
  EXPECT_EQ(f.entryFileName, "taikai.Mos");
}

TEST(Folders, AFolderAtTheRootIsNotGivenASecondSeparator) {
  test::TempDir dir;
  test::WriteFile(dir / "c.ctl", "/\r\n/,/\r\n/,a.Mos\r\n");
  Folders f;
  LoadFolders(dir / "c.ctl", f);
  EXPECT_EQ(f.meetFolder, "/");
  EXPECT_EQ(f.entryFolder, "/");
}

TEST(Folders, AMissingOrShortFileKeepsWhatWasRead) {
  test::TempDir dir;
  Folders f;
  f.entryFileName = "keep.Mos";
  LoadFolders(dir / "missing.ctl", f);
  EXPECT_EQ(f.meetFolder, "");
  EXPECT_EQ(f.entryFileName, "keep.Mos");
  test::WriteFile(dir / "short.ctl", "/h\r\n/meet");
  LoadFolders(dir / "short.ctl", f);
  EXPECT_EQ(f.meetFolder, "/meet/");
  EXPECT_EQ(f.entryFolder, "");
  EXPECT_EQ(f.entryFileName, "keep.Mos");
}

TEST(Folders, SaveWritesTheThreeLinesByHandLayout) {
  test::TempDir dir;
  Folders f{"/srv/meet/", "/srv/entries/", "ind.Mos"};
  ASSERT_TRUE(SaveFolders(dir / "ctl" / "dr_kyo.ctl", f));
  EXPECT_EQ(test::ReadFile(dir / "ctl" / "dr_kyo.ctl"), "/s\r\n/srv/meet,/s\r\n/srv/entries,ind.Mos\r\n");
  Folders back;
  LoadFolders(dir / "ctl" / "dr_kyo.ctl", back);
  EXPECT_EQ(back.meetFolder, f.meetFolder);
  EXPECT_EQ(back.entryFolder, f.entryFolder);
  EXPECT_EQ(back.entryFileName, f.entryFileName);
}

TEST(Folders, APathWithACommaIsRefused) {
  test::TempDir dir;
  Folders f{"/srv/a,b/", "/e/", "x.Mos"};
  EXPECT_FALSE(SaveFolders(dir / "c.ctl", f));
  EXPECT_FALSE(std::filesystem::exists(dir / "c.ctl"));
}

TEST(Folders, APathHoldingANulIsRefusedAndNothingIsTaken) {
  test::TempDir dir;
  test::WriteFile(dir / "c.ctl", std::string("/m\r\n/m/taikai.dat\0x,/e\r\n/e,a.Mos\r\n", 34));
  Folders f{"/kept/", "/kept/", "k.Mos"};
  auto ok = LoadFolders(dir / "c.ctl", f);
  ASSERT_FALSE(ok);
  EXPECT_NE(ok.error().message.find("NUL"), std::string::npos);
  EXPECT_EQ(f.meetFolder, "/kept/");
  EXPECT_EQ(f.entryFileName, "k.Mos");
  EXPECT_FALSE(SaveFolders(dir / "d.ctl", Folders{std::string("/m\0x/", 5), "/e/", "a.Mos"}));
  EXPECT_FALSE(std::filesystem::exists(dir / "d.ctl"));
}

}  // namespace
}  // namespace meet
