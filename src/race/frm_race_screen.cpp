#include "race/frm_race_screen.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/file_names.h"
#include "core/naming.h"
#include "core/numbers.h"
#include "core/sort_strings.h"
#include "core/time_code.h"
#include "data/entry_file.h"
#include "data/naming_context.h"
#include "data/race_states.h"
#include "data/relay_file.h"
#include "race/next_stage.h"
#include "race/record_standings.h"
#include "race/standards_check.h"
#include "records/shikaku_file.h"

namespace meet {

namespace {

constexpr int kLanes = 10;
constexpr int32_t kLastPlacedCode = 666665;  // participation and every status get no placing
constexpr int32_t kWithdrawnFrom = 777777;   // codes above it are stored as 棄権

std::string LaneKey(int32_t time, int lane) { return RightAligned(time, 6) + ZeroPadded(lane, 2); }

bool IsSplitEvent(int eventCode) { return eventCode == 7 || eventCode > 22; }

}  // namespace

LanePlacing PlaceFinishRows(const std::array<FinishRow, kFinishRows>& rows, const std::array<int16_t, 12>& laneNo,
                            const std::array<int16_t, 12>& laneRecordClass) {
  LanePlacing out;
  std::vector<std::string> keys;
  for (int lane = 1; lane <= kLanes; ++lane) keys.push_back(LaneKey(kWithdrawn, lane));
  int32_t previous = 0;
  for (const FinishRow& row : rows) {
    if (row.lane >= 1 && row.lane <= kLanes) keys[static_cast<size_t>(row.lane - 1)] = LaneKey(row.time, row.lane);
    if (row.time < previous) out.orderWrong = true;
    previous = row.time;
  }
  SortStrings(keys);
  int counted = 0;
  int16_t placing = 0;
  int32_t previousTime = 0;
  for (const std::string& key : keys) {
    int lane = static_cast<int>(LeadingNumber(key.substr(key.size() - 2)));
    int32_t time = LeadingInt32(key.substr(0, key.size() - 2));
    if (lane < 1 || lane > kLanes) continue;
    auto s = static_cast<size_t>(lane - 1);
    out.time[s] = time;
    if (time == 0 || (laneNo[s] != 0 && laneRecordClass[s] == kExhibitionClass)) {
      out.rank[s] = 0;
      continue;
    }
    ++counted;
    if (time != previousTime) placing = static_cast<int16_t>(counted);
    previousTime = time;
    out.rank[s] = placing;
  }
  for (size_t s = 0; s < static_cast<size_t>(kLanes); ++s) {
    if (out.time[s] > kLastPlacedCode) out.rank[s] = 0;
    if (out.time[s] > kWithdrawnFrom) out.time[s] = kWithdrawn;
    if (laneNo[s] == 0) {
      out.rank[s] = 0;
      out.time[s] = 0;
    }
  }
  return out;
}

Status SaveRaceKeepingSpares(const std::filesystem::path& meetFolder, int n, const Race& race) {
  if (n < 1 || n > ReadRaceCount(meetFolder))
    return Fail(ErrorKind::NotFound, "レース " + NumberText(n) + " はレースファイルにありません。");
  // The race's state follows: Race.dat must be writable before taikai.dat changes.
  if (auto ok = CheckWritable(FindFile(meetFolder, kRaceStateFileName)); !ok) return ok;
  auto file = RecordFile::Open(FindFile(meetFolder, kRaceFileName), race_layout::kRecordLength,
                               RecordFile::Mode::ReadWrite);
  if (!file) return std::unexpected(file.error());
  const size_t spareWidth = race_layout::kRecordLength - race_layout::kRaceSpare1;
  Record onDisk = file->Read(n + 10);
  Record record = RecordFromRace(race, false);
  record.SetRaw(race_layout::kRaceSpare1, spareWidth, onDisk.Raw(race_layout::kRaceSpare1, spareWidth));
  return file->Write(n + 10, record);
}

FrmRaceScreen::FrmRaceScreen(std::filesystem::path meetFolder, Settings settings, int currentRace, Platform& platform)
    : meetFolder_(std::move(meetFolder)), settings_(std::move(settings)), currentRace_(currentRace), platform_(platform) {
  for (size_t i = 0; i < lblShikkaku.size(); ++i) lblShikkaku[i] = kShikkakuCaptions[i];
}

int FrmRaceScreen::CopyCount(const Settings& settings, std::string_view roundCode) {
  size_t index = roundCode == "1" ? 4 : roundCode == "2" ? 9 : 14;
  int copies = HeldPrintCopies(settings.printCopies[index]);
  return copies < 1 ? 1 : copies;
}

Status FrmRaceScreen::Load() {
  if (auto ok = ShowRace(); !ok) return ok;
  chkRel = IsSplitEvent(race_.eventCode);
  return {};
}

void FrmRaceScreen::ResetRows() {
  rows_.fill(FinishRow{});
  txtJun.fill(std::string());
  txtKiro.fill(std::string());
}

Status FrmRaceScreen::ShowRace() {
  ResetRows();
  focus_ = {RaceControl::TxtJun, 0};
  auto race = LoadRaceB(meetFolder_, currentRace_);
  if (!race) {
    inFile_ = false;
    race_ = Race{};
    swimmers_ = 0;
    return std::unexpected(race.error());
  }
  race_ = *race;
  inFile_ = currentRace_ <= ReadRaceCount(meetFolder_);
  NamingContext naming = LoadNamingContext(settings_, meetFolder_);
  lblRace = NumberText(currentRace_);
  lblPno = NumberText(race_.eventNo);
  lblKumi = NumberText(race_.heatNo);
  lblSei = SexName(race_.sexCode);
  lblShu = EventName(race_.eventCode, naming);
  lblYoketu = RoundName(race_.roundCode);
  swimmers_ = 0;
  for (int s = 0; s < kLanes; ++s)
    if (race_.laneNo[static_cast<size_t>(s)] != 0) ++swimmers_;
  lblNin = NumberText(swimmers_);
  return {};
}

Rgb FrmRaceScreen::rowBackground(int row) const {
  return row >= 0 && row < swimmers_ ? kRowToFill : kButtonFace;
}

bool FrmRaceScreen::JunEnter(int row) {
  if (row < 0 || row >= kFinishRows) return false;
  auto r = static_cast<size_t>(row);
  focus_ = {RaceControl::TxtJun, row};
  if (Trim(txtJun[r]).empty()) {
    // An empty box is a row without a lane, whatever was taken before.
    txtJun[r].clear();
    rows_[r].lane = 0;
    return false;
  }
  int64_t lane = LeadingNumber(txtJun[r]);
  if (lane >= 1 && lane <= kLanes && race_.laneNo[static_cast<size_t>(lane - 1)] != 0) {
    rows_[r].lane = static_cast<int16_t>(lane);
    txtJun[r] = NumberText(lane);
    focus_ = {RaceControl::TxtKiro, row};
    return true;
  }
  // A lane without a swimmer, or above 10: refused, and the row holds no lane.
  txtJun[r].clear();
  rows_[r].lane = 0;
  return false;
}

bool FrmRaceScreen::KiroEnter(int row, int caret) {
  if (row < 0 || row >= kFinishRows) return false;
  auto r = static_cast<size_t>(row);
  auto next = [&] { focus_ = row + 1 < kFinishRows ? RaceFocus{RaceControl::TxtJun, row + 1} : RaceFocus{RaceControl::TxtKiro, row}; };
  focus_ = {RaceControl::TxtKiro, row};
  kiroRefusal_.clear();
  const std::string& text = txtKiro[r];
  if (Trim(text).empty()) {
    // An emptied box is a row without a time; a time that shows as an empty
    // box (0 typed, 9 typed) stays as it is.
    txtKiro[r].clear();
    if (!FormatTime(rows_[r].time).empty()) rows_[r].time = kNotEntered;
    return false;
  }
  // Enter again on a box that still shows the row's time keeps it: the shown
  // form ("棄権", " 1:05.23") would not read back as the same code.
  if (rows_[r].time != kNotEntered && text == FormatTime(rows_[r].time)) {
    next();
    return true;
  }
  std::string before = caret < 0 ? text : LeftChars(text, caret);
  int64_t typed = LeadingNumber(before);
  const bool pastFiftyNine = typed >= 0 && typed < 595900 && SecondsPastFiftyNine(static_cast<int32_t>(typed));
  if (CharCount(text) > 6 || typed < 0 || pastFiftyNine) {
    if (pastFiftyNine) kiroRefusal_ = kSecondsPastFiftyNine + NumberText(typed);
    txtKiro[r].clear();
    rows_[r].time = kNotEntered;
    return false;
  }
  rows_[r].time = ConfirmScreenTimeCode(static_cast<int32_t>(typed));
  txtKiro[r] = FormatTime(rows_[r].time);
  next();
  return true;
}

void FrmRaceScreen::RowUp(RaceControl control, int row) { focus_ = {control, ClampRow(row - 1)}; }
void FrmRaceScreen::RowDown(RaceControl control, int row) { focus_ = {control, ClampRow(row + 1)}; }

Status FrmRaceScreen::Shoki() {
  if (!platform_.dialogs.AskOkCancel(kAskShokiRace)) return Fail(ErrorKind::Cancelled, "初期化を取り消しました。");
  if (!inFile_ || currentRace_ > ReadRaceCount(meetFolder_))
    return Fail(ErrorKind::NotFound, "レース " + NumberText(currentRace_) + " はレースファイルにありません。");
  ResetRows();
  auto states = RaceStates::Read(meetFolder_);
  if (!states) return std::unexpected(states.error());
  states->Set(currentRace_, kStateSeeded);
  if (auto ok = states->Write(meetFolder_); !ok) return ok;
  if (auto ok = ShowRace(); !ok) return ok;
  focus_ = {RaceControl::TxtJun, 0};
  return {};
}

Status FrmRaceScreen::CommitPendingBoxes() {
  for (int row = 0; row < kFinishRows; ++row) {
    auto r = static_cast<size_t>(row);
    std::string shownLane = rows_[r].lane != 0 ? NumberText(rows_[r].lane) : std::string();
    if (txtJun[r] != shownLane) {
      bool typed = !Trim(txtJun[r]).empty();
      if (!JunEnter(row) && typed) return Fail(ErrorKind::Refused, NumberText(row + 1) + " 着のコースが正しくありません。");
    }
    if (txtKiro[r] != FormatTime(rows_[r].time)) {
      bool typed = !Trim(txtKiro[r]).empty();
      if (!KiroEnter(row) && typed)
        return Fail(ErrorKind::Refused, NumberText(row + 1) + " 着の記録が正しくありません。" + kiroRefusal_);
    }
  }
  return {};
}

Result<Confirmation> FrmRaceScreen::Kakutei() {
  notices_ = 0;
  nextStageLines_.clear();
  printFailures_.clear();
  if (!inFile_ || currentRace_ > ReadRaceCount(meetFolder_))
    return Fail(ErrorKind::NotFound, "レース " + NumberText(currentRace_) + " はレースファイルにありません。");
  // A box typed into without Enter counts as it is shown; one that Enter
  // would refuse stops the confirmation so the operator can correct it.
  if (auto ok = CommitPendingBoxes(); !ok) return std::unexpected(ok.error());
  LanePlacing placing = PlaceFinishRows(rows_, race_.laneNo, race_.laneRecordClass);
  if (placing.orderWrong && !platform_.dialogs.AskOkCancel(kAskOrderWrong)) return Confirmation::Cancelled;
  if (chkRel) {
    if (auto ok = StoreSplits(placing); !ok) return std::unexpected(ok.error());
    ResetRows();
    chkRel = false;
    focus_ = {RaceControl::TxtJun, 0};
    return Confirmation::Splits;
  }
  bool anySwimmer = false, allWithdrawn = true;
  for (size_t s = 0; s < static_cast<size_t>(kLanes); ++s) {
    if (race_.laneNo[s] == 0) continue;
    anySwimmer = true;
    if (placing.time[s] != kWithdrawn) allWithdrawn = false;
  }
  if (anySwimmer && allWithdrawn && !platform_.dialogs.AskOkCancel(kAskAllWithdrawn))
    return Confirmation::CancelledAllWithdrawn;
  if (auto ok = StoreResults(placing); !ok) return std::unexpected(ok.error());
  closed_ = true;
  if (auto ok = OfferNextStage(); !ok) return std::unexpected(ok.error());
  return Confirmation::Confirmed;
}

Status FrmRaceScreen::StoreSplits(const LanePlacing& placing) {
  // Only the race's own block is written: a block the relay file does not
  // hold, or one that belongs to another race, is refused.
  int b = race_.relayRec;
  {
    auto reading = RelayFile::OpenForReading(meetFolder_);
    if (!reading) return std::unexpected(reading.error());
    if (b < 1 || b > reading->relayCount())
      return Fail(ErrorKind::Refused, "このレースのリレーデータ（relay.dat のブロック " + NumberText(b) +
                                          "）がないため、途中時間を記録できません。");
    int16_t owner = reading->Read(b).relayRace;
    if (owner != currentRace_)
      return Fail(ErrorKind::Refused, "relay.dat のブロック " + NumberText(b) + " はレース " + NumberText(owner) +
                                          " のものです。途中時間を記録できません。");
  }
  auto relay = RelayFile::Open(meetFolder_);
  if (!relay) return std::unexpected(relay.error());
  RelayBlock block = relay->Read(b);
  for (size_t s = 0; s < block.splitTimes.size(); ++s) block.splitTimes[s] = placing.time[s];
  return relay->Write(b, block);
}

Status FrmRaceScreen::StoreResults(const LanePlacing& placing) {
  auto table = LoadShikaku(meetFolder_);
  if (!table) return std::unexpected(table.error());
  auto entries = EntryFile::OpenForReading(EntryFilePath(settings_.entryFolder, settings_.entryFileName));
  if (!entries) return std::unexpected(entries.error());
  NamingContext naming = LoadNamingContext(settings_, meetFolder_);
  // Records as they stand after the earlier races of the meet.
  auto races = RaceFileImage::Load(meetFolder_);
  if (!races) return std::unexpected(races.error());
  Entry loaded;
  const RecordStandings standings(
      *table, *races, [&](int n) -> const Entry& { return loaded = entries->Load(n); }, settings_.classMode);
  RecordNotices notices(platform_.printer, race_, naming, currentRace_);
  if (std::string notice = PrintCopiesNotice(settings_); !notice.empty()) platform_.dialogs.Notify(notice);
  int copies = CopyCount(settings_, race_.roundCode);
  for (int copy = 0; copy < copies; ++copy) {
    for (size_t s = 0; s < static_cast<size_t>(kLanes); ++s) {
      race_.laneTime[s] = placing.time[s];
      race_.laneRank[s] = placing.rank[s];
      checkStandardsAndRecords(race_, currentRace_, static_cast<int>(s), *table, *entries, settings_.classMode,
                               standings, notices);
    }
  }
  notices_ = notices.printed();
  // The results are kept whatever the printer does; a notice it could not
  // print is told after the confirmation.
  if (auto ok = notices.End(); !ok) printFailures_.push_back(ok.error().message);
  if (auto ok = SaveRaceKeepingSpares(meetFolder_, currentRace_, race_); !ok) return ok;
  auto states = RaceStates::Read(meetFolder_);
  if (!states) return std::unexpected(states.error());
  states->Set(currentRace_, kStateChanged);
  return states->Write(meetFolder_);
}

Status FrmRaceScreen::OfferNextStage() {
  if (race_.roundCode == "2") return {};
  auto stage = PlanNextStage(meetFolder_, settings_, currentRace_);
  // No next stage, or heats still to come: nothing to ask.
  if (!stage || !stage->heatsNotConfirmed.empty() || stage->holdsResult) return {};
  if (NextStageAgrees(*stage, std::clamp<int>(settings_.laneCount, 4, 10), settings_.laneCountUsed)) return {};
  const std::string which = "（レース " + NumberText(stage->race) + " " + RoundName(stage->current.roundCode) + "）";
  if (!platform_.dialogs.AskYesNo(std::string(kAskSeedNextStage) + which)) return {};
  auto seeded = SeedNextStageAtDesk(platform_, MeetFiles{meetFolder_, settings_}, currentRace_);
  if (!seeded) return std::unexpected(seeded.error());
  nextStageLines_ = seeded->lines;
  printFailures_.insert(printFailures_.end(), seeded->printFailures.begin(), seeded->printFailures.end());
  return {};
}

}  // namespace meet
