#include "records/shikaku_screen.h"

#include <algorithm>

#include "core/backup.h"
#include "core/numbers.h"
#include "core/time_code.h"
#include "data/naming_context.h"
#include "records/biko_file.h"
#include "records/record_check.h"

namespace meet {

namespace {

const std::string kNoText;

std::string RangeText(RecordRange range) {
  if (range.first == range.last) return NumberText(range.first) + " 番";
  return NumberText(range.first) + "～" + NumberText(range.last) + " 番";
}

}  // namespace

std::string InitialiseQuestion(int kind, bool keepTimes, RecordRange range) {
  std::string what = "「" + KindCaption(kind) + "」（" + RangeText(range) + "）";
  if (keepTimes) return what + "のグループを初期化します（記録は残します）。\nよろしいですか？";
  return what + "の記録をすべて消し、グループも初期化します。\nよろしいですか？";
}

FrmShikakuScreen::FrmShikakuScreen(std::filesystem::path meetFolder, Settings settings, Platform& platform)
    : meetFolder_(std::move(meetFolder)), settings_(std::move(settings)), platform_(platform) {
  ctx_ = LoadNamingContext(settings_, meetFolder_);
  fields_.fill(kTimeFieldInitialText);
}

Result<ShikakuTable> FrmShikakuScreen::Load() const { return LoadShikaku(meetFolder_); }

Status FrmShikakuScreen::Save(ShikakuTable& table) const {
  return SaveShikakuTable(ShikakuFilePath(meetFolder_), table);
}

Status FrmShikakuScreen::KeepCopy() {
  auto kept = KeepBackup(meetFolder_, ShikakuFilePath(meetFolder_), platform_.clock.Now());
  if (!kept) return std::unexpected(kept.error());
  lastBackup_ = kept->string();
  return {};
}

void FrmShikakuScreen::Relist(const ShikakuTable& table) {
  RecordRange k = KindRecords(kind_);
  groups_ = ListGroups(table, k.first, k.last, ctx_);
}

void FrmShikakuScreen::Show(const ShikakuTable& table, int recordNo) {
  shownRecord_ = recordNo;
  const ShikakuRecord& rec = table.record(recordNo);
  for (size_t k = 0; k < fields_.size(); ++k) fields_[k] = FormatTime(rec.cellTimes[k]);
  naiyo_ = RecordLabel(recordNo, ctx_);
  recordNoText_ = NumberText(recordNo);
  groupLine_ = -1;
  for (size_t i = 0; i < groups_.groups.size(); ++i)
    if (groups_.groups[i].contains(recordNo)) groupLine_ = static_cast<int>(i);
}

Status FrmShikakuScreen::Open() { return ChooseKind(kKindMeet); }

Status FrmShikakuScreen::ChooseKind(int kind) {
  if (kind < 0 || kind >= kKindCount) return Fail(ErrorKind::Invalid, "区分は 0～5 で選んでください。");
  auto table = Load();
  if (!table) return std::unexpected(table.error());
  kind_ = kind;
  Relist(*table);
  Show(*table, KindRecords(kind).first);
  return {};
}

Status FrmShikakuScreen::ChooseGroupLine(int line) {
  if (line < 0 || line >= static_cast<int>(groups_.groups.size()))
    return Fail(ErrorKind::Invalid, "一覧にない行です。");
  return ShowRecord(groups_.groups[static_cast<size_t>(line)].first);
}

Status FrmShikakuScreen::ShowRecord(int recordNo) {
  int kind = KindOfRecord(recordNo);
  if (kind < 0) return Fail(ErrorKind::Invalid, "レコード番号は 1～570 です: " + NumberText(recordNo));
  auto table = Load();
  if (!table) return std::unexpected(table.error());
  kind_ = kind;
  Relist(*table);
  Show(*table, recordNo);
  return {};
}

const std::string& FrmShikakuScreen::field(int k) const {
  return k >= 0 && k < kTimeFields ? fields_[static_cast<size_t>(k)] : kNoText;
}

void FrmShikakuScreen::SetFieldText(int field, std::string text) {
  if (field >= 0 && field < kTimeFields) fields_[static_cast<size_t>(field)] = std::move(text);
}

Result<RecordRange> FrmShikakuScreen::EnterField(int field, std::string_view textBeforeCaret) {
  if (field < 0 || field >= kTimeFields)
    return Fail(ErrorKind::Invalid, "位置は 1～87 です: " + NumberText(field + 1));
  fields_[static_cast<size_t>(field)] = FormatTime(std::max<int32_t>(0, LeadingInt32(textBeforeCaret)));
  std::array<int32_t, kTimeFields> cells{};
  for (size_t k = 0; k < cells.size(); ++k) cells[k] = ParseTime(fields_[k]);
  auto table = Load();
  if (!table) return std::unexpected(table.error());
  RecordRange written = EnterCells(*table, shownRecord_, cells);
  if (auto ok = Save(*table); !ok) return std::unexpected(ok.error());
  Relist(*table);
  groupLine_ = -1;
  for (size_t i = 0; i < groups_.groups.size(); ++i)
    if (groups_.groups[i].contains(shownRecord_)) groupLine_ = static_cast<int>(i);
  return written;
}

int FrmShikakuScreen::FieldAbove(int field) { return field > 0 ? field - 1 : field; }
int FrmShikakuScreen::FieldBelow(int field) { return field < kTimeFields - 1 ? field + 1 : field; }
int FrmShikakuScreen::FieldLeft(int field) { return field - kTimeFieldRows >= 0 ? field - kTimeFieldRows : field; }
int FrmShikakuScreen::FieldRight(int field) {
  return field + kTimeFieldRows <= kTimeFields - 1 ? field + kTimeFieldRows : field;
}

void FrmShikakuScreen::SetGroupText(int index, std::string text) {
  if (index == 0 || index == 1) groupTexts_[static_cast<size_t>(index)] = std::move(text);
}

Result<RecordRange> FrmShikakuScreen::MakeGroupFromFields() {
  auto table = Load();
  if (!table) return std::unexpected(table.error());
  auto made = MakeGroup(*table, kind_, LeadingInt32(groupTexts_[0]), LeadingInt32(groupTexts_[1]));
  if (!made) return made;
  if (auto ok = Save(*table); !ok) return std::unexpected(ok.error());
  Relist(*table);
  Show(*table, shownRecord_);
  return made;
}

Result<RecordRange> FrmShikakuScreen::Initialise() {
  RecordRange range = InitialiseRange(kind_, shownRecord_);
  if (range.empty()) return range;  // 級 is never initialised
  if (!platform_.dialogs.AskOkCancel(InitialiseQuestion(kind_, keepTimes_, range)))
    return Fail(ErrorKind::Cancelled, "初期化を取り消しました。");
  if (auto ok = KeepCopy(); !ok) return std::unexpected(ok.error());
  auto table = Load();
  if (!table) return std::unexpected(table.error());
  InitialiseKind(*table, kind_, shownRecord_, keepTimes_);
  if (auto ok = Save(*table); !ok) return std::unexpected(ok.error());
  Relist(*table);
  Show(*table, shownRecord_);
  return range;
}

Status FrmShikakuScreen::TakePreviousMeet() {
  if (chosenFolder_.empty()) return Fail(ErrorKind::Invalid, "前回大会のフォルダーを選んでください。");
  std::error_code ec;
  if (!std::filesystem::is_directory(chosenFolder_, ec))
    return Fail(ErrorKind::NotFound, "前回大会のフォルダーがありません: " + chosenFolder_);
  auto table = Load();
  if (!table) return std::unexpected(table.error());
  PreviousMeet previous = InspectPreviousMeet(chosenFolder_);
  previousFolder_ = chosenFolder_;
  targetLabels_ = {previous.hasTable ? "有" : "無", previous.hasList ? "有" : "無"};
  targetEnabled_ = {previous.hasTable, previous.listEntries > 0};
  if (targetEnabled_[0]) copyMode_ = CopyMode::Original;
  else if (targetEnabled_[1]) copyMode_ = CopyMode::Results;
  // Everything is offered when this meet has no table yet; otherwise the
  // operator ticks what may be overwritten.
  parts_.fill(table->empty());
  return {};
}

void FrmShikakuScreen::SetPart(int part, bool ticked) {
  if (part >= 0 && part < kCopyPartCount) parts_[static_cast<size_t>(part)] = ticked;
}

Result<CopyOutcome> FrmShikakuScreen::Copy() {
  if (previousFolder_.empty()) return Fail(ErrorKind::Invalid, "前回大会のフォルダーを選んで「↓」を押してください。");
  bool original = copyMode_ == CopyMode::Original;
  if (original && !targetEnabled_[0])
    return Fail(ErrorKind::Refused, "前回大会に記録の表（shikaku.dat）がありません。");
  if (!original && !targetEnabled_[1])
    return Fail(ErrorKind::Refused, "前回大会に新記録の一覧（biko.dat）がありません。");
  if (std::none_of(parts_.begin(), parts_.end(), [](bool b) { return b; }))
    return Fail(ErrorKind::Invalid, "複写する区分を選んでください。");

  ShikakuTable previous;
  std::vector<BikoEntry> entries;
  if (original) {
    auto loaded = LoadShikaku(previousFolder_);
    if (!loaded) return std::unexpected(loaded.error());
    previous = std::move(*loaded);
  } else {
    auto loaded = LoadBikoEntries(previousFolder_);
    if (!loaded) return std::unexpected(loaded.error());
    entries = std::move(*loaded);
  }
  auto table = Load();
  if (!table) return std::unexpected(table.error());
  CopyOutcome outcome;
  if (original) {
    auto copied = CopyOriginal(*table, previous, parts_);
    if (!copied) return copied;
    outcome = *copied;
  } else {
    outcome = ApplyNewRecords(*table, entries, parts_);
  }
  if (table->anyChanged()) {
    if (auto ok = KeepCopy(); !ok) return std::unexpected(ok.error());
    if (auto ok = Save(*table); !ok) return std::unexpected(ok.error());
  }
  Relist(*table);
  Show(*table, shownRecord_);
  return outcome;
}

Result<int> FrmShikakuScreen::Check() {
  return RunRecordCheck(meetFolder_, settings_, platform_.printer, platform_.clock);
}

}  // namespace meet
