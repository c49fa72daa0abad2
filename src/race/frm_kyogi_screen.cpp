#include "race/frm_kyogi_screen.h"

#include "core/cp932.h"
#include "core/file_names.h"
#include "core/numbers.h"
#include "core/record_file.h"
#include "core/time_code.h"
#include "data/naming_context.h"
#include "race/rank_lanes.h"
#include "records/shikaku_file.h"

namespace meet {

namespace {

constexpr int kSplitSlots = 10;
constexpr int kEvent1500 = 7;

// A text from a data file as a field shows it: control characters (the NULs
// of a field written from an empty value) become blanks.
std::string Printable(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return text;
}
std::string Shown(const std::string& text) { return TrimRight(Printable(text)); }

// The first six characters of a member's name.
std::string MemberName(const EntryFile* entries, int16_t member) {
  if (member == 0 || !entries) return {};
  return LeftChars(Printable(entries->Load(member).swimmerName), 6);
}

// The names of two legs: "first  second" (a leg without a member adds nothing).
std::string TwoMembers(const EntryFile* entries, int16_t first, int16_t second) {
  std::string text = MemberName(entries, first);
  if (second != 0) text += "  " + MemberName(entries, second);
  return TrimRight(text);
}

std::string FlagText(char flag) {
  if (static_cast<unsigned char>(flag) < 0x20) return {};
  return Shown(DecodeCp932(std::string_view(&flag, 1)));
}

std::unexpected<Error> NotInFile(int race) {
  return Fail(ErrorKind::Refused, "レース " + NumberText(race) + " はレースファイルにありません。");
}

}  // namespace

std::string LaneLabel(int row) {
  if (row == 10) return "補欠１";
  if (row == 11) return "補欠２";
  if (row < 0 || row > 11) return {};
  return NumberText(row + 1);
}

std::string LaneFieldName(LaneField field) {
  switch (field) {
    case LaneField::txtJun: return "txtJun";
    case LaneField::txtKiro: return "txtKiro";
    case LaneField::txtMu: return "txtMu";
    case LaneField::txtNen: return "txtNen";
    case LaneField::txtHoj: return "txtHoj";
    case LaneField::txtBiko: return "txtBiko";
    case LaneField::txtQkiro: return "txtQkiro";
    case LaneField::txtNo: return "txtNo";
  }
  return {};
}

std::optional<LaneField> LaneFieldOfName(std::string_view name) {
  for (LaneField f : kLaneFieldOrder)
    if (LaneFieldName(f) == name) return f;
  return std::nullopt;
}

const std::string& FieldText(const LaneRow& row, LaneField field) {
  switch (field) {
    case LaneField::txtJun: return row.txtJun;
    case LaneField::txtKiro: return row.txtKiro;
    case LaneField::txtMu: return row.txtMu;
    case LaneField::txtNen: return row.txtNen;
    case LaneField::txtHoj: return row.txtHoj;
    case LaneField::txtBiko: return row.txtBiko;
    case LaneField::txtQkiro: return row.txtQkiro;
    case LaneField::txtNo: return row.txtNo;
  }
  return row.txtNo;
}

std::optional<FocusTarget> LaneFieldMove(LaneField field, int row, NavKey key) {
  int position = 0;
  for (size_t i = 0; i < kLaneFieldOrder.size(); ++i)
    if (kLaneFieldOrder[i] == field) position = static_cast<int>(i);
  const std::string name = LaneFieldName(field);
  switch (key) {
    case NavKey::Home:
      return ToiFocus();
    case NavKey::Up:
      if (row <= 0) return std::nullopt;
      return FocusTarget{name, row - 1};
    case NavKey::Down:
      if (row >= kLaneRows - 1) return std::nullopt;
      return FocusTarget{name, row + 1};
    case NavKey::Left:
      if (position == 0) return std::nullopt;
      return FocusTarget{LaneFieldName(kLaneFieldOrder[static_cast<size_t>(position - 1)]), row};
    case NavKey::Right:
      if (position + 1 >= static_cast<int>(kLaneFieldOrder.size())) return std::nullopt;
      return FocusTarget{LaneFieldName(kLaneFieldOrder[static_cast<size_t>(position + 1)]), row};
    case NavKey::Enter:
      break;
  }
  return std::nullopt;
}

ToiAction ToiKeyAction(NavKey key, bool shift) {
  switch (key) {
    case NavKey::Left: return {ToiAction::Focus, {"cmdKeiji", -1}};
    case NavKey::Right: return {ToiAction::Focus, {"cmdShudo", -1}};
    case NavKey::Up:
      if (shift) return {ToiAction::Focus, {"txtNo", 0}};
      return {ToiAction::PreviousRace, {}};
    case NavKey::Down: return {ToiAction::NextRace, {}};
    default: return {};
  }
}

std::optional<FocusTarget> ButtonKeyMove(std::string_view button, NavKey key) {
  if (key == NavKey::Home && (button == "cmdKeiji" || button == "cmdShudo" || button == "cmdOhda")) return ToiFocus();
  return std::nullopt;
}

bool IsRelayEvent(int eventCode, const std::array<char, 15>& flags) {
  if (eventCode >= 23 && eventCode <= 29) return true;
  if (eventCode < 30 || eventCode > 44) return false;
  const char flag = flags[static_cast<size_t>(eventCode - 30)];
  return LeadingNumber(std::string_view(&flag, 1)) != 0;
}

// ---------------------------------------------------------------- screen

FrmKyogiScreen::FrmKyogiScreen(std::filesystem::path meetFolder, Settings settings, Platform& platform)
    : meetFolder_(std::move(meetFolder)), settings_(std::move(settings)), platform_(platform) {
  for (int r = 0; r < kLaneRows; ++r) rows_[static_cast<size_t>(r)] = LaneRow{};
  txtTKiro_.fill("99:99:99");
}

Status FrmKyogiScreen::Open() {
  currentRace_ = 1;
  return Reload();
}

Status FrmKyogiScreen::Reload() {
  naming_ = LoadNamingContext(settings_, meetFolder_);
  Status loaded = LoadCurrent();
  hyjKyogi();
  return loaded;
}

Status FrmKyogiScreen::ShowRace(int n) {
  raceCount_ = ReadRaceCount(meetFolder_);
  if (n < 1 || (n > raceCount_ && n != 1))
    return Fail(ErrorKind::Invalid, "レース番号 " + NumberText(n) + " は範囲外です（1～" + NumberText(raceCount_) + "）。");
  currentRace_ = n;
  return Reload();
}

Status FrmKyogiScreen::LoadCurrent() {
  raceCount_ = ReadRaceCount(meetFolder_);
  auto loaded = LoadRace(meetFolder_, currentRace_);
  if (!loaded) {
    race_ = Race{};
    return std::unexpected(loaded.error());
  }
  race_ = std::move(*loaded);
  return {};
}

Status FrmKyogiScreen::SaveCurrent() { return SaveRace(meetFolder_, currentRace_, race_); }

std::string FrmKyogiScreen::GradeText(const std::string& gradeCode) const {
  return Shown(ClassName(gradeCode, naming_.classScheme));
}

void FrmKyogiScreen::hyjKyogi() {
  auto entries = EntryFile::OpenForReading(EntryFilePath(settings_.entryFolder, settings_.entryFileName));
  const EntryFile* entryFile = entries ? &*entries : nullptr;

  // 1. Relay or not.
  isRelay_ = IsRelayEvent(race_.eventCode, entryFile ? entryFile->Events().extraRelayFlags : std::array<char, 15>{});
  cmdOhda_ = false;

  // 2. Header.
  header_.lblRecord = NumberText(currentRace_) + " / " + NumberText(raceCount_);
  header_.lblPno = NumberText(race_.eventNo);
  header_.lblKumi = NumberText(race_.heatNo);
  header_.lblTKumi = "(" + NumberText(race_.heatTotal) + ")";
  header_.lblSei = SexName(race_.sexCode);
  header_.lblShubetu = Shown(ClassLabel(race_.classFrom, race_.classTo, race_.eventCode, naming_));
  header_.lblShumoku = Shown(EventName(race_.eventCode, naming_));
  header_.lblYoketu = RoundName(race_.roundCode);
  header_.lblYZikan = Printable(race_.startTime);

  // 3. Clock.
  Tick();

  // 4. Standards, blank rows.
  hyjSik();
  clearLaneRows();
  for (LaneRow& row : rows_) row.qkiroGrey = false;

  // 5. The lanes. The relay block is the race's only when the file holds it.
  std::optional<RelayBlock> block;
  if (isRelay_ || race_.eventCode == kEvent1500) {
    if (auto relays = RelayFile::OpenForReading(meetFolder_);
        relays && race_.relayRec >= 1 && race_.relayRec <= relays->relayCount())
      block = relays->Read(race_.relayRec);
  }
  for (int slot = 0; slot < kLaneRows; ++slot) {
    if (race_.laneNo[static_cast<size_t>(slot)] == 0) continue;
    ShowLane(slot, entryFile, block ? &*block : nullptr);
  }
}

void FrmKyogiScreen::ShowLane(int slot, const EntryFile* entries, const RelayBlock* block) {
  const size_t k = static_cast<size_t>(slot);
  LaneRow& row = rows_[k];
  const Entry entry = entries ? entries->Load(race_.laneNo[k]) : Entry{};
  row.txtNo = NumberText(race_.laneNo[k]);
  row.txtKen = Shown(entry.prefName);
  row.txtSho = Shown(entry.affiliation);
  row.txtKiro = FormatTime(race_.laneTime[k]);
  row.txtJun = race_.laneRank[k] != 0 ? NumberText(race_.laneRank[k]) : std::string();
  row.txtMu = NumberText(race_.openLevel[k]);
  row.txtNen = NumberText(race_.ageLevel[k]);
  row.txtHoj = FlagText(race_.standardFlags[k]);
  row.txtBiko = RecordClassAbbrev(race_.laneRecordClass[k]);
  row.txtQkiro = FormatTime(race_.laneEntryTime[k]);

  auto showSplit = [&] {
    if (!block || slot >= kSplitSlots) return;
    const int32_t split = block->splitTimes[k];
    if (split == 0) return;
    row.txtQkiro = FormatTime(split);
    row.qkiroGrey = true;
  };

  if (isRelay_) {
    cmdOhda_ = true;
    if (slot >= kSplitSlots) return;
    if (settings_.seedingMode == "4" && settings_.classMode == "2") row.txtGaku = GradeText(entry.gradeCode);
    bool ordered = false;
    for (int leg = 0; block && leg < 4; ++leg) ordered = ordered || block->member(leg, slot) != 0;
    if (ordered) {
      row.txtNamae = TwoMembers(entries, block->member(0, slot), block->member(1, slot));
      row.txtKana = TwoMembers(entries, block->member(2, slot), block->member(3, slot));
    } else {
      // Before its order is entered a team shows its own name.
      row.txtNamae = Shown(entry.swimmerName);
    }
    showSplit();
    return;
  }
  row.txtQBan = Shown(entry.regNo);
  row.txtNamae = Shown(entry.swimmerName);
  row.txtKana = Shown(entry.swimmerKana);
  row.txtTosi = NumberText(entry.age);
  row.txtGaku = GradeText(entry.gradeCode);
  if (race_.eventCode == kEvent1500) showSplit();
}

void FrmKyogiScreen::hyjSik() {
  txtTKiro_.fill(std::string());
  const int eventCode = race_.eventCode;
  const bool ownEvent = eventCode >= 30 && eventCode <= 44;
  if (!ownEvent && (eventCode < 1 || eventCode > 29)) return;
  const int n = ownEvent ? eventCode + 50 : (race_.classFrom != 0 ? race_.classFrom : 1);
  auto table = LoadShikaku(meetFolder_);
  if (!table || table->empty()) return;
  // The meet's own events keep their meet record in the first cell of the
  // sex, where the confirmation compares against it.
  const int sex = static_cast<int>(LeadingNumber(race_.sexCode));
  const int cell = CellOf(sex, ownEvent ? 1 : eventCode);
  if (cell < 0) return;
  auto time = [&](int recordNo) { return FormatTime(table->record(recordNo).cellTimes[static_cast<size_t>(cell)]); };
  txtTKiro_[30] = time(n + 170);
  if (ownEvent) return;
  txtTKiro_[31] = time(n + 270);
  txtTKiro_[32] = time(n + 370);
  txtTKiro_[33] = time(n + 470);
  for (int item = 0; item < 30; ++item) txtTKiro_[static_cast<size_t>(item)] = time(141 + item);
}

void FrmKyogiScreen::clearLaneRows() {
  for (LaneRow& row : rows_) {
    for (std::string* text : {&row.txtNo, &row.txtQBan, &row.txtNamae, &row.txtKana, &row.txtKen, &row.txtSho,
                              &row.txtTosi, &row.txtGaku, &row.txtKiro, &row.txtQkiro, &row.txtJun, &row.txtMu,
                              &row.txtNen, &row.txtHoj, &row.txtBiko})
      text->clear();
  }
}

void FrmKyogiScreen::Tick() {
  ClockLabels clock = RaceClock(platform_.clock.Now(), race_.startTime);
  header_.lblZikan = clock.lblZikan;
  header_.lblDate = clock.lblDate;
  header_.lblSZikan = clock.lblSZikan;
  if (clock.colour) header_.lblSZikanColour = clock.colour;
}

Status FrmKyogiScreen::showPreviousRace() {
  if (currentRace_ <= 1)
    platform_.dialogs.Notify(kNoRaceBefore);
  else
    --currentRace_;
  Status loaded = LoadCurrent();
  hyjKyogi();
  return loaded;
}

Status FrmKyogiScreen::showNextRace() {
  raceCount_ = ReadRaceCount(meetFolder_);
  if (currentRace_ >= raceCount_)
    platform_.dialogs.Notify(NumberText(raceCount_) + kNoRaceAfter);
  else
    ++currentRace_;
  Status loaded = LoadCurrent();
  hyjKyogi();
  return loaded;
}

Status FrmKyogiScreen::jumpToRace(int eventNo, int heat) {
  raceCount_ = ReadRaceCount(meetFolder_);
  jumpFound_ = false;
  {
    auto file = RecordFile::Open(FindFile(meetFolder_, kRaceFileName), race_layout::kRecordLength,
                                 RecordFile::Mode::ReadOnly);
    if (!file) return std::unexpected(file.error());
    for (int i = 1; i <= raceCount_; ++i) {
      const Race r = RaceFromRecord(file->Read(i + 10), true);
      if (r.eventNo != eventNo) continue;
      if (heat > r.heatTotal) heat = r.heatTotal;
      if (r.heatNo == heat) {
        currentRace_ = i;
        jumpFound_ = true;
        break;
      }
    }
  }
  Status loaded = LoadCurrent();
  hyjKyogi();
  return loaded;
}

Result<FocusTarget> FrmKyogiScreen::EnterLaneField(LaneField field, int row, std::string_view textBeforeCaret) {
  if (row < 0 || row >= kLaneRows)
    return Fail(ErrorKind::Invalid, "行 " + NumberText(row + 1) + " は範囲外です（1～12）。");
  if (textBeforeCaret.empty()) return ToiFocus();
  // A race the file does not hold is never written: saving it would make a
  // race record behind the header's count.
  raceCount_ = ReadRaceCount(meetFolder_);
  if (currentRace_ > raceCount_) return NotInFile(currentRace_);

  const int64_t number = LeadingNumber(textBeforeCaret);
  const size_t k = static_cast<size_t>(row);
  const FocusTarget stay{LaneFieldName(field), row};
  switch (field) {
    case LaneField::txtJun: race_.laneRank[k] = ClampToInt16(number); break;
    case LaneField::txtKiro: {
      const int32_t time = RaceScreenTimeInput(textBeforeCaret);
      if (SecondsPastFiftyNine(time))
        return Fail(ErrorKind::Invalid, kSecondsPastFiftyNine + NumberText(LeadingNumber(textBeforeCaret)));
      if (time == kWithdrawn) {
        auto taken = OfferAlternate(row);
        if (!taken) return std::unexpected(taken.error());
        if (*taken) return stay;
      }
      race_.laneTime[k] = time;
      rankLanes(race_);
      break;
    }
    case LaneField::txtMu: race_.openLevel[k] = ClampToInt16(number); break;
    case LaneField::txtNen: race_.ageLevel[k] = ClampToInt16(number); break;
    case LaneField::txtHoj:
      // A flag is a digit: a sign has no meaning here and clears it.
      race_.standardFlags[k] = number > 0 ? NumberText(number)[0] : ' ';
      break;
    case LaneField::txtBiko: race_.laneRecordClass[k] = ClampToInt16(number); break;
    case LaneField::txtQkiro:
      if (auto ok = StoreSplitOrEntryTime(row, ClampToInt32(number)); !ok) return std::unexpected(ok.error());
      return stay;
    case LaneField::txtNo: {
      auto entries = EntryFile::OpenForReading(EntryFilePath(settings_.entryFolder, settings_.entryFileName));
      const int64_t held = entries ? entries->entriesHeld() : 0;
      race_.laneNo[k] = number > held || number < 0 ? int16_t{0} : ClampToInt16(number);
      break;
    }
  }
  if (auto ok = SaveCurrent(); !ok) return std::unexpected(ok.error());
  hyjKyogi();
  if (field == LaneField::txtKiro)
    if (auto ok = markRaceChanged(); !ok) return std::unexpected(ok.error());
  if (field == LaneField::txtKiro || field == LaneField::txtBiko || field == LaneField::txtNo) TellNextStageDisagrees();
  return stay;
}

Status FrmKyogiScreen::StoreSplitOrEntryTime(int row, int32_t value) {
  const size_t k = static_cast<size_t>(row);
  bool splitStored = false;
  if (race_.eventCode > 22 || race_.eventCode == kEvent1500) {
    if (row < kSplitSlots && race_.relayRec >= 1) {
      auto reader = RelayFile::OpenForReading(meetFolder_);
      if (!reader) return std::unexpected(reader.error());
      // Only a block the relay file holds is the race's; nothing is ever
      // written past the file's blocks.
      if (race_.relayRec <= reader->relayCount() && reader->Read(race_.relayRec).splitTimes[k] != 0) {
        auto relays = RelayFile::Open(meetFolder_);
        if (!relays) return std::unexpected(relays.error());
        RelayBlock block = relays->Read(race_.relayRec);
        block.splitTimes[k] = value;
        if (auto ok = relays->Write(race_.relayRec, block); !ok) return ok;
        splitStored = true;
      }
    }
  }
  if (!splitStored) {
    race_.laneEntryTime[k] = value;
    if (auto ok = SaveCurrent(); !ok) return ok;
  }
  hyjKyogi();
  return {};
}

Status FrmKyogiScreen::EnterToi(std::string_view text) {
  const size_t dot = text.find('.');
  if (dot == std::string_view::npos) return {};
  return jumpToRace(LeadingInt16(text.substr(0, dot)), LeadingInt16(text.substr(dot + 1)));
}

Result<std::optional<FocusTarget>> FrmKyogiScreen::ToiKey(NavKey key, bool shift) {
  const ToiAction action = ToiKeyAction(key, shift);
  switch (action.kind) {
    case ToiAction::Focus: return std::optional<FocusTarget>(action.focus);
    case ToiAction::PreviousRace:
      if (auto ok = showPreviousRace(); !ok) return std::unexpected(ok.error());
      break;
    case ToiAction::NextRace:
      if (auto ok = showNextRace(); !ok) return std::unexpected(ok.error());
      break;
    case ToiAction::None: break;
  }
  return std::optional<FocusTarget>();
}

Status FrmKyogiScreen::readRaceStates() {
  auto states = RaceStates::Read(meetFolder_);
  if (!states) return std::unexpected(states.error());
  raceStates_ = std::move(*states);
  return {};
}

Status FrmKyogiScreen::writeRaceStates() {
  if (!raceStates_) return {};
  return raceStates_->Write(meetFolder_);
}

Status FrmKyogiScreen::markRaceChanged() {
  if (auto ok = readRaceStates(); !ok) return ok;
  MarkRaceChanged(*raceStates_, currentRace_, race_);
  return writeRaceStates();
}

}  // namespace meet
