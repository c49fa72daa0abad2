// The race screen's "確定" and the automatic posting of "自動確定".
#include <algorithm>

#include "core/numbers.h"
#include "print/print_sources.h"

#include "race/frm_kyogi_screen.h"
#include "race/next_stage.h"
#include "race/timing_post.h"

namespace meet {

namespace {

std::vector<int> RacesWaiting(const std::filesystem::path& meetFolder) {
  std::vector<int> races;
  auto states = RaceStates::Read(meetFolder);
  if (!states) return races;
  const std::string text = states->text();
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == kStateTimingWaiting) races.push_back(static_cast<int>(i) + 1);
  return races;
}

}  // namespace

Result<PostReport> FrmKyogiScreen::cmdKeiji(bool noPrint) {
  if (posting_) return Fail(ErrorKind::Refused, "確定の処理中です。終わるまでお待ちください。");
  posting_ = true;
  auto report = postTimingResults(MeetFiles{meetFolder_, settings_}, platform_, !noPrint);
  posting_ = false;
  leftWaiting_ = RacesWaiting(meetFolder_);
  if (!report) return report;
  // One message: what could not be printed, what the operator is told, and
  // that there was nothing to post.
  std::vector<std::string> lines;
  if (report->stopped) lines.push_back("確定を途中でやめました: " + report->stopped->message);
  for (std::string& line : PrintFailureLines(*report)) lines.push_back(std::move(line));
  lines.insert(lines.end(), report->notes.begin(), report->notes.end());
  if (report->posted.empty()) lines.push_back(kNothingToPost);
  if (!lines.empty()) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    platform_.dialogs.Notify(text);
  }
  if (report->showRace > 0)
    if (auto shown = ShowRace(report->showRace); !shown) return std::unexpected(shown.error());
  return report;
}

bool FrmKyogiScreen::autoPostDue() const {
  if (posting_) return false;
  for (int n : RacesWaiting(meetFolder_))
    if (std::find(leftWaiting_.begin(), leftWaiting_.end(), n) == leftWaiting_.end()) return true;
  return false;
}

Result<OnDemandSeeding> FrmKyogiScreen::SeedNextRound() {
  auto seeded = SeedNextStageAtDesk(platform_, MeetFiles{meetFolder_, settings_}, currentRace_);
  if (!seeded) return seeded;
  if (auto shown = ShowRace(seeded->stage.race); !shown) return std::unexpected(shown.error());
  return seeded;
}

Result<bool> FrmKyogiScreen::OfferAlternate(int row) {
  auto offer = PlanAlternateIn(meetFolder_, settings_, currentRace_, race_, row);
  if (!offer) return std::unexpected(offer.error());
  if (!*offer) return false;
  const PrintSources sources(MeetFiles{meetFolder_, settings_});
  const std::vector<std::string> lines = LaneChangeLines((*offer)->changes, sources);
  std::string text = "補欠１を " + SlotText(row) + " に入れますか（" + SlotText(row) + " の選手は棄権）。";
  for (const std::string& line : lines) text += "\n  " + line;
  if (!platform_.dialogs.AskYesNo(text)) return false;
  race_ = (*offer)->race;
  if (auto ok = SaveCurrent(); !ok) return std::unexpected(ok.error());
  hyjKyogi();
  return true;
}

void FrmKyogiScreen::TellNextStageDisagrees() {
  if (race_.roundCode == "2") return;
  auto stage = PlanNextStage(meetFolder_, settings_, currentRace_);
  if (!stage || !stage->heatsNotConfirmed.empty()) return;
  bool seeded = false;
  for (int16_t no : stage->current.laneNo) seeded = seeded || no != 0;
  if (!seeded || NextStageAgrees(*stage, std::clamp<int>(settings_.laneCount, 4, 10), settings_.laneCountUsed)) return;
  const std::string race = "レース " + NumberText(stage->race);
  platform_.dialogs.Notify(stage->holdsResult
                               ? race + " の組分けが前のラウンドの結果と一致しません（" + race +
                                     " には記録があるため、組分けし直せません）。"
                               : race + " の組分けが前のラウンドの結果と一致しません。ﾒﾝﾃﾅﾝｽ → 次ラウンド組分け で組分けし直せます。");
}

}  // namespace meet
