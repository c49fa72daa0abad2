// The race screen's "確定" and the automatic posting of "自動確定".
#include <algorithm>

#include "race/frm_kyogi_screen.h"
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
  if (!report->notes.empty()) {
    std::string text;
    for (const std::string& note : report->notes) text += (text.empty() ? "" : "\n") + note;
    platform_.dialogs.Notify(text);
  }
  if (auto shown = ShowRace(report->showRace); !shown) return std::unexpected(shown.error());
  return report;
}

bool FrmKyogiScreen::autoPostDue() const {
  if (posting_) return false;
  for (int n : RacesWaiting(meetFolder_))
    if (std::find(leftWaiting_.begin(), leftWaiting_.end(), n) == leftWaiting_.end()) return true;
  return false;
}

}  // namespace meet
