#include "program/race_title.h"

#include <optional>
#include <vector>

#include "core/cp932.h"
#include "core/file_names.h"
#include "core/numbers.h"
#include "core/record_file.h"
#include "data/race_file.h"
#include "data/race_layout.h"
#include "data/race_states.h"
#include "data/relay_file.h"
#include "print/hpro_file.h"
#include "program/projun_file.h"

namespace meet {

namespace L = race_layout;

namespace {

size_t RecordOffset(int64_t recordNo) { return static_cast<size_t>(recordNo - 1) * L::kRecordLength; }

Record RecordAt(const std::string& bytes, int64_t recordNo) {
  return Record(bytes.substr(std::min(bytes.size(), RecordOffset(recordNo)), L::kRecordLength), L::kRecordLength);
}

void PutRecord(std::string& bytes, int64_t recordNo, const Record& record) {
  const size_t at = RecordOffset(recordNo);
  if (bytes.size() < at + L::kRecordLength) bytes.resize(at + L::kRecordLength, '\0');
  bytes.replace(at, L::kRecordLength, record.bytes());
}

std::string StoredStart(const Record& r) { return r.Text(L::kStartTime, L::kStartTimeWidth); }

// A text field from the file as a box shows it: the NULs of a field never
// written are dropped.
std::string BoxText(std::string text) {
  std::string out;
  for (char c : text)
    if (c != '\0') out += c;
  return out;
}

// A race number at or after the insertion point moves up with its race.
bool Moves(int race, int from, int count) { return race >= from && race <= count; }

}  // namespace

FrmmKkyogiScreen::FrmmKkyogiScreen(std::filesystem::path meetFolder, int currentRace)
    : meetFolder_(std::move(meetFolder)), currentRace_(currentRace) {}

Status FrmmKkyogiScreen::Open() {
  const int count = ReadRaceCount(meetFolder_);
  if (currentRace_ < 1 || currentRace_ > count)
    return Fail(ErrorKind::NotFound, "レース " + NumberText(currentRace_) + " はレースファイルにありません（" +
                                         NumberText(count) + " レース）。");
  auto file = RecordFile::Open(FindFile(meetFolder_, kRaceFileName), L::kRecordLength, RecordFile::Mode::ReadOnly);
  if (!file) return std::unexpected(file.error());
  const Record r = file->Read(currentRace_ + 10);
  const Race race = RaceFromRecord(r, false);
  boxes.txtNo = NumberText(race.eventNo);
  boxes.txtSei = BoxText(race.sexCode);
  boxes.txtKubun1 = NumberText(race.classFrom);
  boxes.txtKubun2 = NumberText(race.classTo);
  boxes.txtShu = NumberText(race.eventCode);
  boxes.txtYoketu = BoxText(race.roundCode);
  boxes.txtTKumi = NumberText(race.heatTotal);
  boxes.txtKumi = NumberText(race.heatNo);
  boxes.txtJikan = BoxText(StoredStart(r));
  boxes.txtRirei = NumberText(race.relayRec);
  optSohnyu = Insertion::None;
  return {};
}

Result<TitleChange> FrmmKkyogiScreen::cmdZikko() {
  wroteRaceFile_ = false;
  const std::filesystem::path racePath = FindFile(meetFolder_, kRaceFileName);
  const int count = ReadRaceCount(meetFolder_);
  if (currentRace_ < 1 || currentRace_ > count)
    return Fail(ErrorKind::NotFound, "レース " + NumberText(currentRace_) + " はレースファイルにありません（" +
                                         NumberText(count) + " レース）。");
  const bool insert = optSohnyu != Insertion::None;
  if (insert && count + 1 > L::kMaxRace)
    return Fail(ErrorKind::Refused, "レース数が " + NumberText(L::kMaxRace) + " を超えるため、挿入できません。");

  auto read = ReadFileHead(racePath, L::kMaxFileBytes);
  if (!read) return std::unexpected(read.error());
  std::string bytes = std::move(*read);
  TitleChange change;
  change.raceCount = count;

  // Everything an insertion changes besides the race file is read first, so
  // that a file that cannot be read stops the command before anything is
  // written.
  std::optional<RaceStates> states;
  std::optional<PageFile> pages;
  std::optional<ProgramOrder> program;
  std::vector<int> relayBlocksToMove;
  if (insert) {
    auto s = RaceStates::Read(meetFolder_);
    if (!s) return std::unexpected(s.error());
    states = std::move(*s);
    auto p = PageFile::Load(meetFolder_);
    if (!p) return std::unexpected(p.error());
    pages = std::move(*p);
    auto o = ProgramOrder::Load(meetFolder_);
    if (!o) return std::unexpected(o.error());
    program = std::move(*o);
    auto relays = RelayFile::OpenForReading(meetFolder_);
    if (!relays) return std::unexpected(relays.error());
    for (int b = 1; b <= relays->relayCount(); ++b)
      if (Moves(relays->Read(b).relayRace, currentRace_, count)) relayBlocksToMove.push_back(b);
  }

  // 1. The insertion: races count..currentRace one place up.
  if (insert) {
    for (int i = count; i >= currentRace_; --i) {
      Record r = RecordAt(bytes, i + 10);
      if (optSohnyu == Insertion::Event) r.SetI16(L::kEventNo, ClampToInt16(int64_t{r.I16(L::kEventNo)} + 1));
      PutRecord(bytes, i + 11, r);
    }
    Record header(L::kRecordLength);  // the filler NUL, as every header write leaves it
    header.SetI16(L::kRaceCount, static_cast<int16_t>(count + 1));
    PutRecord(bytes, 1, header);
    change.inserted = true;
    change.raceCount = count + 1;
  }

  // 2. The heading of the race at currentRace; its lanes and spare bytes stay.
  Record r = RecordAt(bytes, currentRace_ + 10);
  r.SetI16(L::kEventNo, LeadingInt16(boxes.txtNo));
  r.SetText(L::kSexCode, 1, boxes.txtSei);
  r.SetI16(L::kClassFrom, LeadingInt16(boxes.txtKubun1));
  r.SetI16(L::kClassTo, LeadingInt16(boxes.txtKubun2));
  r.SetI16(L::kEventCode, LeadingInt16(boxes.txtShu));
  r.SetText(L::kRoundCode, 1, boxes.txtYoketu);
  r.SetI16(L::kHeatTotal, LeadingInt16(boxes.txtTKumi));
  r.SetI16(L::kHeatNo, LeadingInt16(boxes.txtKumi));
  r.SetText(L::kStartTime, L::kStartTimeWidth, boxes.txtJikan);
  r.SetI16(L::kRelayRec, LeadingInt16(boxes.txtRirei));
  PutRecord(bytes, currentRace_ + 10, r);
  if (auto ok = WriteWholeFile(racePath, bytes); !ok) return std::unexpected(ok.error());
  wroteRaceFile_ = true;
  if (!insert) return change;

  auto partly = [&](const Error& e, const std::string& done) {
    return Fail(e.kind, "レースは挿入しましたが、" + done + "の更新に失敗しました: " + e.message);
  };

  // Race.dat: each state moves with its race, the new race is seeded. Only
  // the characters that change are written.
  if (states->size() > 0) {
    auto stateOf = [&](int n) {
      const char c = states->state(n);
      return c == '\0' ? kStateNoRace : c;
    };
    std::vector<char> before;
    for (int i = currentRace_; i <= count + 1; ++i) before.push_back(states->state(i));
    for (int i = count; i >= currentRace_; --i) states->Set(i + 1, stateOf(i));
    states->Set(currentRace_, kStateSeeded);
    for (int i = currentRace_; i <= count + 1; ++i)
      if (states->state(i) != before[static_cast<size_t>(i - currentRace_)]) ++change.statesMoved;
    if (auto ok = states->Write(meetFolder_); !ok) return partly(ok.error(), "Race.dat");
  }

  // relay.dat: the race of each block.
  if (!relayBlocksToMove.empty()) {
    auto relays = RelayFile::Open(meetFolder_);
    if (!relays) return partly(relays.error(), "relay.dat");
    for (int b : relayBlocksToMove) {
      RelayBlock block = relays->Read(b);
      block.relayRace = static_cast<int16_t>(block.relayRace + 1);
      if (auto ok = relays->Write(b, block); !ok) return partly(ok.error(), "relay.dat");
      ++change.relayBlocksMoved;
    }
  }

  // hpro.dat: the race numbers in the page slots.
  for (int p = 1; p <= pages->pageCount(); ++p) {
    ProgramPage page = pages->Read(p);
    bool moved = false;
    for (int16_t& race : page.pageRace)
      if (Moves(race, currentRace_, count)) {
        ++race;
        moved = true;
        ++change.pageSlotsMoved;
      }
    if (moved)
      if (auto ok = pages->Write(p, page); !ok) return partly(ok.error(), "hpro.dat");
  }
  if (auto ok = pages->Save(); !ok) return partly(ok.error(), "hpro.dat");

  // projun.dat: the first race of each program entry.
  for (int n = 1; n <= program->count(); ++n) {
    ProgramEntry e = program->Read(n);
    if (!Moves(e.firstRace, currentRace_, count)) continue;
    ++e.firstRace;
    if (auto ok = program->Write(n, e); !ok) return partly(ok.error(), "projun.dat");
    ++change.programEntriesMoved;
  }
  if (auto ok = program->Save(); !ok) return partly(ok.error(), "projun.dat");
  return change;
}

}  // namespace meet
