#include "program/frm_hangumi_screen.h"

namespace meet {

const std::array<HangumiCheckBox, 7> kHangumiCheckBoxes = {{
    {"chkRyouken", "両県対抗コース固定", &SeedingOptions::chkRyouken},
    {"chkJun", "年齢順", &SeedingOptions::chkJun},
    {"chkKubun", "合同レースで区分を優先する", &SeedingOptions::chkKubun},
    {"chkNichi", "開催日で改ページしない", &SeedingOptions::chkNichi},
    {"chkNoHan", "組合せしない（挿入処理後）", &SeedingOptions::chkNoHan},
    {"chkKetugo", "予選決勝で改ページしない", &SeedingOptions::chkKetugo},
    {"chkYosen", "コース人数以下でも予選を組み込む", &SeedingOptions::chkYosen},
}};

FrmHangumiScreen::FrmHangumiScreen(std::filesystem::path meetFolder, Settings settings, Platform& platform)
    : meetFolder_(std::move(meetFolder)), settings_(std::move(settings)), platform_(platform) {}

void FrmHangumiScreen::SetCboPattern(int position) {
  if (position >= 0 && position < static_cast<int>(kCboPatternItems.size())) options_.cboPattern = position;
}

Result<int> FrmHangumiScreen::Shoki() { return ResetProgramForSeeding(meetFolder_); }

Result<SeedingSummary> FrmHangumiScreen::Zikko() {
  auto summary = RunSeeding(meetFolder_, settings_, options_, platform_.dialogs, platform_.clock);
  if (!summary) return summary;
  raceCount_ = summary->raceCount;
  closed_ = true;
  return summary;
}

}  // namespace meet
