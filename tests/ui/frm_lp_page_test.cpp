#include "ui/frm_lp_page.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "support/qt_environment.h"
#include "support/widget_lookup.h"

#include "print/print_fixture.h"
#include "print/program_print.h"
#include "ui/frm_kyogi.h"

namespace meet::ui {
namespace {

struct LpMeet : test::PrintMeet {
  LpMeet() {
    Entries({test::Swimmer("山田　太郎")});
    test::HandRace a, b;
    a.laneNo[0] = 1;
    b.eventNo = 2;
    Races({a, b});
    Pages({{1}, {2}});
    States("11");
  }
  std::vector<std::string> Feet() const {
    std::vector<std::string> out;
    for (const auto& i : items())
      if (i.y == program_print::kFootY) out.push_back(i.text);
    return out;
  }
};

TEST(FrmLpPage, PrintsThePagesInCopiesAndCloses) {
  LpMeet meet;
  FrmLpPage dialog(meet.dir.path(), meet.settings, meet.fake.platform);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle().toStdString(), "プログラム");
  EXPECT_EQ(Find<QLineEdit>(&dialog, "txtMaisu")->text().toStdString(), "1");
  EXPECT_FALSE(Find<QCheckBox>(&dialog, "chkPreview")->isChecked());
  EXPECT_EQ(Find<QCheckBox>(&dialog, "chkYakuin")->text().toStdString(), "競技役員");
  Find<QLineEdit>(&dialog, "txtLpS")->setText("1");
  Find<QLineEdit>(&dialog, "txtLpE")->setText("2");
  Find<QLineEdit>(&dialog, "txtMaisu")->setText("2");
  auto* zikko = Find<QPushButton>(&dialog, "cmdZikko");
  EXPECT_EQ(zikko->text().toStdString(), "打出し");
  zikko->click();
  EXPECT_EQ(meet.Feet(), (std::vector<std::string>{"- 1 -", "- 2 -", "- 1 -", "- 2 -"}));
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(FrmLpPage, APageBelowOneIsRefusedWithAMessage) {
  LpMeet meet;
  FrmLpPage dialog(meet.dir.path(), meet.settings, meet.fake.platform);
  Find<QLineEdit>(&dialog, "txtLpS")->setText("0");
  Find<QLineEdit>(&dialog, "txtLpE")->setText("1");
  Find<QPushButton>(&dialog, "cmdZikko")->click();
  EXPECT_TRUE(meet.items().empty());
  ASSERT_EQ(meet.fake.dialogs.notices.size(), 1u);
}

TEST(FrmLpPage, ThePreviewWritesPdfOffscreenInsteadOfPrinting) {
  LpMeet meet;
  FrmLpPage dialog(meet.dir.path(), meet.settings, meet.fake.platform);
  dialog.screen().OpenOnRace(2);
  dialog.Show();
  EXPECT_EQ(Find<QLineEdit>(&dialog, "txtLpS")->text().toStdString(), "2");
  Find<QCheckBox>(&dialog, "chkPreview")->setChecked(true);
  Find<QPushButton>(&dialog, "cmdZikko")->click();
  EXPECT_TRUE(meet.items().empty());
  int pdfs = 0;
  for (const auto& f : std::filesystem::directory_iterator(meet.dir / "print")) pdfs += f.path().extension() == ".pdf";
  EXPECT_EQ(pdfs, 1);
  const std::filesystem::path pdf = std::filesystem::absolute(meet.dir / "print" / "program-p002.pdf");
  EXPECT_EQ(meet.fake.dialogs.notices, std::vector<std::string>{std::string(kPreviewAsPdf) + "\n" + pdf.string()})
      << "the operator is told where the PDF went";
}

TEST(FrmLpPage, APageThePrinterCannotPrintIsToldAndTheScreenStays) {
  LpMeet meet;
  test::RefusingPrinter refusing;
  Platform platform{refusing, meet.fake.dialogs, meet.fake.clock, meet.fake.launcher};
  FrmLpPage dialog(meet.dir.path(), meet.settings, platform);
  dialog.screen().OpenOnPage(1);
  dialog.Show();
  Find<QPushButton>(&dialog, "cmdZikko")->click();
  EXPECT_EQ(meet.fake.dialogs.notices,
            std::vector<std::string>{"印刷できませんでした（プリンター system）: プログラム 1 ページ（プリンターがありません）"});
  EXPECT_NE(dialog.result(), QDialog::Accepted) << "not closed as printed";
}

TEST(FrmKyogiPrintMenu, RaceLapAndRankingPrintTheRaceShown) {
  LpMeet meet;
  HubState state;
  state.folders.meetFolder = meet.dir.str();
  state.settings = meet.settings;
  FrmKyogi screen(state, meet.fake.platform);
  auto* preview = screen.findChild<QAction*>("chkPreview");
  ASSERT_NE(preview, nullptr);
  EXPECT_FALSE(preview->isChecked());
  for (const char* name : {"mLpRace", "mLpLap", "mLpRank", "mLpPage"})
    EXPECT_TRUE(screen.findChild<QAction*>(name)->isEnabled()) << name;
  screen.findChild<QAction*>("mLpRace")->trigger();
  EXPECT_EQ(meet.fake.printer.documentsEnded, 1);
  EXPECT_NE(meet.Item("山田　太郎"), nullptr);
  screen.findChild<QAction*>("mLpLap")->trigger();
  EXPECT_NE(meet.Item("個  人  記  録（ラップ）  一  覧"), nullptr);
  screen.findChild<QAction*>("mLpRank")->trigger();
  EXPECT_EQ(meet.fake.printer.documentsEnded, 3);
}

}  // namespace
}  // namespace meet::ui
