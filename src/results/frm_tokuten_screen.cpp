#include "results/frm_tokuten_screen.h"

#include <algorithm>

#include "core/naming.h"
#include "core/numbers.h"
#include "data/entry_file.h"

namespace meet {

FrmTokutenScreen::FrmTokutenScreen(std::filesystem::path meetFolder, const HubState& state)
    : meetFolder_(std::move(meetFolder)), settings_(state.settings) {
  for (size_t i = 0; i < kShuNames.size(); ++i) txtShu_[i] = kShuNames[i];
  for (int s = 0; s < 15; ++s) txtShu_[static_cast<size_t>(29 + s)] = "予備(" + NumberText(s + 1) + ")";
  if (auto entries = EntryFile::OpenForReading(EntryFilePath(settings_.entryFolder, settings_.entryFileName))) {
    const EventDefinitions events = entries->Events();
    for (size_t s = 0; s < 15; ++s)
      if (events.extraRelayFlags[s] == '1' || events.extraRelayFlags[s] == '0')
        txtShu_[29 + s] = PrintedText(events.extraEventNames[s]);
    classScheme_ = entries->header().classScheme;
  }
  suru_.fill(true);
  tkiro_.fill("1");
  ShowNenrei();
  printEnabled_ = NyushoTallied(meetFolder_);
}

void FrmTokutenScreen::ClickBou(int option) {
  bou_ = option == 1 ? 1 : 0;
  tkiro_.fill(bou_ == 0 ? "1" : "0");
}

void FrmTokutenScreen::ChangeNenrei(int i, const std::string& text) {
  nenrei_.at(static_cast<size_t>(i)) = text;
  ShowNenrei();
}

void FrmTokutenScreen::ShowNenrei() {
  for (size_t i = 0; i < 2; ++i) {
    const int64_t value = LeadingNumber(nenrei_[i]);
    if (settings_.classMode == "1") {
      lblNenrei_[i] = NumberText(value) + "才";
    } else if (settings_.classMode == "2") {
      lblNenrei_[i] = ClassName(static_cast<int>(std::clamp<int64_t>(value, 0, 32767)), classScheme_);
    } else {
      nenrei_ = {"0", "100"};
      lblNenrei_ = {"", ""};
      return;
    }
  }
}

TallyOptions FrmTokutenScreen::Options() const {
  TallyOptions o;
  o.nenreiFrom = static_cast<int>(std::clamp<int64_t>(LeadingNumber(nenrei_[0]), -32768, 32767));
  o.nenreiTo = static_cast<int>(std::clamp<int64_t>(LeadingNumber(nenrei_[1]), -32768, 32767));
  o.clubLimit = static_cast<int>(std::clamp<int64_t>(LeadingNumber(seigen_), 0, 32767));
  o.events = suru_;
  o.bonusMode = bou_ == 0 ? BonusMode::Rate : BonusMode::Add;
  for (size_t i = 0; i < tkiro_.size(); ++i) o.bonus[i] = LeadingInt16(tkiro_[i]);
  return o;
}

Result<ShukeiSummary> FrmTokutenScreen::Shukei(const Clock& clock) {
  printEnabled_ = false;
  const TallyOptions options = Options();
  auto done = RunTally(meetFolder_, settings_, options, clock);
  printEnabled_ = NyushoTallied(meetFolder_);
  if (!done) return std::unexpected(done.error());
  ShukeiSummary summary{static_cast<int>(done->nyusho.teams.size()), static_cast<int>(done->records.size()),
                        done->credited, done->saturated, LeftOutNote(options, *done), {}};
  summary.line = "集計しました: チーム " + NumberText(summary.teams) + "、入賞 " + NumberText(summary.credited) +
                 " 件、新記録等 " + NumberText(summary.records) + " 件（集計区分 " + nenrei_[0] + " --> " + nenrei_[1] +
                 "、クラブ制限 " + seigen_ + " 名）";
  return summary;
}

Status FrmTokutenScreen::RequireTally() const {
  if (!NyushoTallied(meetFolder_)) return Fail(ErrorKind::NotFound, kNotTalliedMessage);
  return {};
}

Result<RankOutcome> FrmTokutenScreen::Rank(Printer& printer) const {
  if (auto ok = RequireTally(); !ok) return std::unexpected(ok.error());
  auto table = LoadNyusho(meetFolder_);
  if (!table) return std::unexpected(table.error());
  return PrintPointsRanking(printer, meetFolder_, settings_, *table, lists_, zenbu_);
}

Result<int> FrmTokutenScreen::Nyusho(Printer& printer) const {
  if (auto ok = RequireTally(); !ok) return std::unexpected(ok.error());
  auto table = LoadNyusho(meetFolder_);
  if (!table) return std::unexpected(table.error());
  return PrintPlacings(printer, *table);
}

Result<int> FrmTokutenScreen::Biko(Printer& printer) const {
  if (auto ok = RequireTally(); !ok) return std::unexpected(ok.error());
  auto entries = LoadBikoEntries(meetFolder_);
  if (!entries) return std::unexpected(entries.error());
  const PrintSources sources(MeetFiles{meetFolder_, settings_});
  return PrintRecordsList(printer, sources, *entries);
}

}  // namespace meet
