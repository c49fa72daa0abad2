#include "program/frm_opt_kubun_screen.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace meet {
namespace {

using test::Le16;
using test::Sjis;

std::string CategoryBytes(const std::string& sex, int from, int to, int eventFrom, int eventTo, const std::string& name,
                          const std::string& title = std::string(1, '\0'), const std::string& spare = std::string(10, '\0')) {
  return sex + Le16(from) + Le16(to) + Le16(eventFrom) + Le16(eventTo) + Sjis(name, 12) + title + spare;
}
std::string Header(int count, const std::string& rest = std::string(30, '\0')) { return Le16(count) + rest; }

struct Kubun {
  test::TempDir dir;
  test::FakePlatform fake;
  std::string Bytes() const { return test::ReadFile(dir / "optkubun.dat"); }
  void Write(const std::string& bytes) { test::WriteFile(dir / "optkubun.dat", bytes); }
  FrmOptKubunScreen Open() {
    FrmOptKubunScreen s(dir.path(), fake.platform);
    EXPECT_TRUE(s.Open());
    return s;
  }
  static void Fill(FrmOptKubunScreen& s, const char* sex, const char* from, const char* to, const char* name,
                   const char* title = "") {
    s.fields.txtSei = sex;
    s.fields.txtAge = {from, to};
    s.fields.txtShu = {"1", "29"};
    s.fields.txtKubun = name;
    s.fields.txtTitle = title;
  }
};

TEST(FrmOptKubunList, LineFormatAndPosition) {
  Kubun k;
  k.Write(Header(2) + CategoryBytes("1", 15, 17, 1, 22, "15-17歳", "T") + CategoryBytes("4", 18, 100, 23, 29, "18歳以上"));
  FrmOptKubunScreen s = k.Open();
  ASSERT_EQ(s.lstKubun().size(), 2u);
  EXPECT_EQ(s.lstKubun()[0], "1T |  15  ->   17 |   1  ->  22 | 15-17歳");
  EXPECT_EQ(s.lstKubun()[1], "4  |  18  ->  100 |  23  ->  29 | 18歳以上");
  EXPECT_EQ(s.lblKazu(), "0 / 2");
  ASSERT_TRUE(s.Select(1));
  EXPECT_EQ(s.lblKazu(), "2 / 2");
  EXPECT_EQ(s.fields.txtKubun, "18歳以上");
  EXPECT_EQ(s.fields.txtAge[1], "100");
}

TEST(FrmOptKubunAdd, InCatFromOrderAfterEqualBounds) {
  Kubun k;
  const std::string spare = "spare-kept";
  k.Write(Header(2, std::string(30, 'h')) + CategoryBytes("4", 10, 12, 1, 29, "A", "T", spare) +
          CategoryBytes("4", 20, 22, 1, 29, "B"));
  FrmOptKubunScreen s = k.Open();
  Kubun::Fill(s, "2", "5", "9", "below");
  ASSERT_TRUE(s.cmdTuika());
  Kubun::Fill(s, "1", "10", "11", "same");
  ASSERT_TRUE(s.cmdTuika());
  // Golden bytes: header with its own 30 bytes kept, then the four in order.
  EXPECT_EQ(k.Bytes(), Header(4, std::string(30, 'h')) + CategoryBytes("2", 5, 9, 1, 29, "below") +
                           CategoryBytes("4", 10, 12, 1, 29, "A", "T", spare) +
                           CategoryBytes("1", 10, 11, 1, 29, "same") + CategoryBytes("4", 20, 22, 1, 29, "B"));
}

TEST(FrmOptKubunEdit, WithoutASelectionTheMessageAndNoChange) {
  Kubun k;
  k.Write(Header(1) + CategoryBytes("4", 10, 12, 1, 29, "A"));
  const std::string before = k.Bytes();
  FrmOptKubunScreen s = k.Open();
  EXPECT_FALSE(s.cmdShusei());
  EXPECT_FALSE(s.cmdSakujo());
  EXPECT_EQ(k.fake.dialogs.notices, (std::vector<std::string>{kNoCategorySelected, kNoCategorySelected}));
  EXPECT_EQ(k.Bytes(), before);
}

TEST(FrmOptKubunEdit, ModifyInPlaceAndDeleteLeavesTheLastRecord) {
  Kubun k;
  k.Write(Header(3) + CategoryBytes("4", 1, 2, 1, 29, "A") + CategoryBytes("4", 3, 4, 1, 29, "B") +
          CategoryBytes("4", 5, 6, 1, 29, "C"));
  FrmOptKubunScreen s = k.Open();
  ASSERT_TRUE(s.Select(0));
  s.fields.txtAge[0] = "50";  // 修正 keeps the position
  ASSERT_TRUE(s.cmdShusei());
  ASSERT_TRUE(s.Select(1));
  ASSERT_TRUE(s.cmdSakujo());
  EXPECT_EQ(k.Bytes(), Header(2) + CategoryBytes("4", 50, 2, 1, 29, "A") + CategoryBytes("4", 5, 6, 1, 29, "C") +
                           CategoryBytes("4", 5, 6, 1, 29, "C"));
}

TEST(FrmOptKubunEdit, OutOfRangeBoundsAreRefusedAndLongNamesCut) {
  Kubun k;
  FrmOptKubunScreen s = k.Open();
  for (const char* bad : {"32768", "-32769", "100000"}) {
    Kubun::Fill(s, "4", bad, "1", "x");
    EXPECT_FALSE(s.cmdTuika()) << bad;
  }
  EXPECT_FALSE(std::filesystem::exists(k.dir / "optkubun.dat"));
  Kubun::Fill(s, "4", "1", "2", "あいうえおかきく");  // 16 bytes: cut after six characters
  ASSERT_TRUE(s.cmdTuika());
  EXPECT_EQ(k.Bytes(), Header(1) +
                           CategoryBytes("4", 1, 2, 1, 29, "あいうえおか"));
  EXPECT_EQ(k.fake.dialogs.notices.size(), 1u);
  Kubun::Fill(s, "4", "1", "2", "12345678901あ");  // never half a character
  ASSERT_TRUE(s.cmdTuika());
  EXPECT_EQ(s.categories()[1].catName, "12345678901 ");
}

TEST(FrmOptKubunPresets, TheirCategoriesAndWhatStaysBeyondTheCount) {
  Kubun k;
  FrmOptKubunScreen s = k.Open();
  ASSERT_TRUE(s.cmdShoki(0));
  EXPECT_TRUE(k.fake.dialogs.asked.empty());  // nothing on file to replace
  ASSERT_EQ(s.categories().size(), 7u);
  EXPECT_EQ(k.Bytes().substr(7 * 32, 32), CategoryBytes("2", 15, 100, 1, 22, "15歳以上"));
  EXPECT_EQ(s.lstKubun()[5], "1  |  18  ->  100 |   1  ->  22 | 18歳以上");

  k.fake.dialogs.fallback = true;
  ASSERT_TRUE(s.cmdShoki(2));
  // The question names every category the preset makes, unnamed ones too.
  ASSERT_EQ(k.fake.dialogs.asked.size(), 1u);
  const std::string& asked = k.fake.dialogs.asked[0];
  EXPECT_TRUE(asked.starts_with("「マスターズ」の区分 50 件で、今の区分 7 件を置き換えます。\n作る区分（区分 名前）:\n51 Ａ、52 Ｂ"));
  EXPECT_NE(asked.find("\n61 Ｋ、"), std::string::npos);
  EXPECT_NE(asked.find("75 90-119歳"), std::string::npos);
  EXPECT_TRUE(asked.ends_with("、100 （名前なし）"));
  ASSERT_EQ(s.categories().size(), 50u);
  EXPECT_EQ(k.Bytes().substr(32, 32), CategoryBytes("4", 51, 51, 1, 29, "Ａ"));
  const std::string masters50 = k.Bytes().substr(50 * 32, 32);

  ASSERT_TRUE(s.cmdShoki(1));
  EXPECT_EQ(s.lstKubun().size(), 4u);
  EXPECT_EQ(k.Bytes().size(), 51u * 32);  // categories 5..50 remain on disk
  EXPECT_EQ(k.Bytes().substr(50 * 32, 32), masters50);
  EXPECT_EQ(k.Bytes().substr(0, 2), Le16(4));
}

TEST(FrmOptKubunDamaged, ACountPastTheFileIsListedAsFarAsItGoesAndOnlyAPresetReplacesIt) {
  Kubun k;
  k.Write(Header(80) + CategoryBytes("4", 1, 2, 1, 29, "A") + "garbage");
  const std::string before = k.Bytes();
  FrmOptKubunScreen s(k.dir.path(), k.fake.platform);
  EXPECT_FALSE(s.Open());
  EXPECT_EQ(s.lstKubun().size(), 2u);  // the whole record and the partial one
  ASSERT_TRUE(s.Select(0));
  Kubun::Fill(s, "4", "3", "4", "B");
  EXPECT_FALSE(s.cmdTuika());
  EXPECT_FALSE(s.cmdShusei());
  EXPECT_FALSE(s.cmdSakujo());
  EXPECT_EQ(k.Bytes(), before);
  k.fake.dialogs.fallback = true;
  ASSERT_TRUE(s.cmdShoki(1));
  EXPECT_FALSE(s.damaged());
}

TEST(FrmOptKubunPresets, CancelOverCategoriesOnFileWritesNothing) {
  Kubun k;
  k.Write(Header(1) + CategoryBytes("4", 1, 2, 1, 29, "A"));
  const std::string before = k.Bytes();
  FrmOptKubunScreen s = k.Open();
  auto done = s.cmdShoki(0);
  ASSERT_FALSE(done);
  EXPECT_EQ(done.error().kind, ErrorKind::Cancelled);
  EXPECT_EQ(k.fake.dialogs.asked.size(), 1u);
  EXPECT_EQ(k.Bytes(), before);
  EXPECT_EQ(s.lstKubun().size(), 1u);
}

}  // namespace
}  // namespace meet
