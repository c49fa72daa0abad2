#include "program/race_title.h"

#include <unistd.h>

#include <optional>
#include <system_error>
#include <vector>

#include "core/backup.h"
#include "core/cp932.h"
#include "core/file_names.h"
#include "core/numbers.h"
#include "core/record_file.h"
#include "core/time_code.h"
#include "data/race_file.h"
#include "data/race_layout.h"
#include "data/relay_file.h"
#include "data/relay_layout.h"
#include "data/timing_file_names.h"
#include "print/hpro_file.h"
#include "program/projun_file.h"
#include "program/projun_layout.h"

namespace meet {

namespace L = race_layout;
namespace YL = relay_layout;

namespace {

size_t RecordOffset(int64_t recordNo, size_t length) { return static_cast<size_t>(recordNo - 1) * length; }

Record RecordAt(const std::string& bytes, int64_t recordNo, size_t length = L::kRecordLength) {
  const size_t at = RecordOffset(recordNo, length);
  return Record(at < bytes.size() ? bytes.substr(at, length) : std::string(), length);
}

void PutRecord(std::string& bytes, int64_t recordNo, const Record& record) {
  const size_t length = record.size();
  const size_t at = RecordOffset(recordNo, length);
  if (bytes.size() < at + length) bytes.resize(at + length, '\0');
  bytes.replace(at, length, record.bytes());
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

// A one-byte code of the file as a program entry holds it ("" for NUL).
std::string CodeText(const Record& r, size_t offset) {
  const char c = r.Byte(offset);
  return c == '\0' ? std::string() : std::string(1, c);
}

// The race's six-character start time hhmmss as a program time HHMMSS,
// each pair read by the leading-digits rule (blanks read as 0).
int32_t ProgramStart(const std::string& hhmmss) {
  auto pair = [&](size_t at) { return at < hhmmss.size() ? LeadingNumber(hhmmss.substr(at, 2)) : 0; };
  return ClampToInt32(pair(0) * 10000 + pair(2) * 100 + pair(4));
}

// A race number at or after the insertion point moves up with its race.
bool Moves(int race, int from, int count) { return race >= from && race <= count; }

Error Refusal(std::string message) { return Error{ErrorKind::Refused, std::move(message)}; }

// The program entry (its position) of the numbered event `eventNo` whose
// races include `race`, or 0.
int EventEntry(const ProgramOrder& order, int eventNo, int race) {
  if (eventNo == 0) return 0;
  for (int n = 1; n <= order.count(); ++n) {
    const ProgramEntry e = order.Read(n);
    if (e.orderNo == eventNo && e.heatCount > 0 && e.firstRace <= race && race <= e.firstRace + e.heatCount - 1)
      return n;
  }
  return 0;
}

// A whole file the change rewrites, with the bytes to put back.
struct FileChange {
  std::filesystem::path path;
  bool existed = false;
  std::string before, after;
};

struct RenameStep {
  std::filesystem::path from, to;
};

struct Plan {
  std::vector<FileChange> files;    // the race file first
  std::vector<RenameStep> renames;  // each folder's highest race first
  bool moveStates = false;          // Race.dat: states move up from the new race
  TitleChange change;
};

std::string Shown(const std::filesystem::path& meetFolder, const std::filesystem::path& path) {
  return path.lexically_relative(meetFolder).generic_string();
}

// The renames of one timing folder: the files of races count..from each to
// the next race's name, highest first. A stale file beyond the last race
// (named after race count + 1) would be taken for the moved last race's
// own, and two spellings of one race's name leave it open which one is the
// race's: both are refused.
Status PlanRenames(const std::filesystem::path& meetFolder, const char* folderName, char letter, int from, int count,
                   std::vector<RenameStep>& renames) {
  const TimingFolderNames names = ListTimingFolder(meetFolder, folderName, letter);
  if (names.folder.empty()) return {};
  const auto& races = names.races;
  if (auto stale = races.find(count + 1); stale != races.end())
    return std::unexpected(Refusal(Shown(meetFolder, names.folder / stale->second.front()) + " があり、レース " +
                                   NumberText(count) + " の移る先の名前が使われているため、挿入できません。"));
  bool any = false;
  for (int i = count; i >= from; --i) {
    auto it = races.find(i);
    if (it == races.end()) continue;
    if (it->second.size() > 1)
      return std::unexpected(Refusal(Shown(meetFolder, names.folder / it->second[0]) + " と " + it->second[1] +
                                     " が同じレース " + NumberText(i) + " のファイルのため、挿入できません。"));
    const std::filesystem::path source = names.folder / it->second.front();
    if (auto ok = CheckWritable(source); !ok) return ok;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(source, ec))
      return std::unexpected(Refusal(Shown(meetFolder, source) + " はファイルではないため、名前を変えられません。"));
    renames.push_back({source, names.folder / RenumberedTimingFileName(it->second.front(), i + 1)});
    any = true;
  }
  if (any && ::access(names.folder.c_str(), W_OK | X_OK) != 0)
    return std::unexpected(Refusal(Shown(meetFolder, names.folder) + " のファイルの名前を変えられません。"));
  return {};
}

std::string Join(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& s : items) out += (out.empty() ? "" : "、") + s;
  return out;
}

// The race range "5～120" ("5" for one race).
std::string RaceRange(int from, int to) {
  return from == to ? NumberText(from) : NumberText(from) + "～" + NumberText(to);
}

// The insertion at race c of a file of `count` races, in memory: the new
// bytes of every file and the renames of the timing files. `r` is the new
// race's heading as typed, on an empty record. Nothing is written.
Result<Plan> PlanInsertion(const std::filesystem::path& meetFolder, Insertion insertion, int c, int count,
                           const std::filesystem::path& racePath, const std::string& before, Record r) {
  Plan plan;
  TitleChange& change = plan.change;
  change.race = c;
  change.insertion = insertion;
  const bool event = insertion == Insertion::Event;
  const Record displaced = RecordAt(before, c + 10);
  const int eventNo = displaced.I16(L::kEventNo);
  change.eventNo = eventNo;
  if (r.I16(L::kEventNo) != eventNo)
    return Fail(ErrorKind::Refused, std::string(event ? "種目" : "組") + "の挿入では、番号を挿入する位置のレース " +
                                        NumberText(c) + " と同じ " + NumberText(eventNo) + " にしてください。");
  if (event && c > 1 && RecordAt(before, c - 1 + 10).I16(L::kEventNo) == eventNo)
    return Fail(ErrorKind::Refused, "レース " + NumberText(c) + " は " + NumberText(eventNo) +
                                        " 番の途中の組のため、種目を挿入できません（種目の最初の組の位置で挿入します）。");

  // Every other file the insertion changes is read first, so that a file
  // that cannot be read stops the command before anything is written.
  auto program = ProgramOrder::Load(meetFolder);
  if (!program) return std::unexpected(program.error());
  const int entryAt = EventEntry(*program, eventNo, c);
  if (entryAt == 0)
    return Fail(ErrorKind::Refused, "競技順（projun.dat）にレース " + NumberText(c) + " を含む " +
                                        NumberText(eventNo) + " 番の種目がないため、挿入できません。");
  if (event && program->count() + 1 > projun_layout::kMaxEntries)
    return Fail(ErrorKind::Refused,
                "競技順の件数が " + NumberText(projun_layout::kMaxEntries) + " を超えるため、挿入できません。");
  const ProgramEntry eventEntry = program->Read(entryAt);
  auto pages = PageFile::Load(meetFolder);
  if (!pages) return std::unexpected(pages.error());
  const std::filesystem::path relayPath = FindFile(meetFolder, kRelayFileName);
  std::string relayBefore;
  bool relayExisted = true;
  if (auto relay = ReadFileHead(relayPath, static_cast<uint64_t>(YL::kMaxBlock + 10) * YL::kRecordLength)) {
    relayBefore = std::move(*relay);
  } else if (relay.error().kind == ErrorKind::NotFound) {
    relayExisted = false;
  } else {
    return std::unexpected(relay.error());
  }
  auto states = RaceStates::Read(meetFolder);
  if (!states) return std::unexpected(states.error());

  // taikai.dat: races count..c one place up ("種目": each one event later).
  std::string races = before;
  for (int i = count; i >= c; --i) {
    Record moved = RecordAt(before, i + 10);
    if (event) {
      const int16_t raised = ClampToInt16(int64_t{moved.I16(L::kEventNo)} + 1);
      if (raised != moved.I16(L::kEventNo)) ++change.eventNumbersRaised;
      moved.SetI16(L::kEventNo, raised);
    }
    PutRecord(races, i + 11, moved);
  }
  Record header(L::kRecordLength);  // the filler NUL, as every header write leaves it
  header.SetI16(L::kRaceCount, static_cast<int16_t>(count + 1));
  PutRecord(races, 1, header);
  change.inserted = true;
  change.raceCount = count + 1;
  change.racesMoved = count - c + 1;

  // relay.dat: the race of each block, and a block of its own for a new
  // relay or 1500m race (the block of the race that stood there is not
  // shared, whatever txtRirei says).
  std::string relayAfter = relayBefore;
  const int blocks = RelayBlocksHeld(relayBefore);
  for (int b = 1; b <= blocks; ++b) {
    Record block = RecordAt(relayBefore, b + 10, YL::kRecordLength);
    const int race = block.I16(YL::kRelayRace);
    if (!Moves(race, c, count)) continue;
    block.SetI16(YL::kRelayRace, static_cast<int16_t>(race + 1));
    PutRecord(relayAfter, b + 10, block);
    ++change.relayBlocksMoved;
  }
  r.SetI16(L::kRelayRec, 0);
  if (IsRelayLinked(r.I16(L::kEventCode))) {
    const int b = blocks + 1;
    if (b > YL::kMaxBlock)
      return Fail(ErrorKind::Refused,
                  "リレーのブロック数が " + NumberText(YL::kMaxBlock) + " を超えるため、挿入できません。");
    RelayBlock fresh;
    fresh.relayBlockNo = static_cast<int16_t>(b);
    fresh.relayRace = static_cast<int16_t>(c);
    if (relayAfter.size() < 10 * YL::kRecordLength) relayAfter.resize(10 * YL::kRecordLength, '\0');
    PutRecord(relayAfter, b + 10, RecordFromRelayBlock(fresh));
    Record relayHeader(YL::kRecordLength);  // the filler NUL
    relayHeader.SetI16(YL::kRelayCount, static_cast<int16_t>(b));
    PutRecord(relayAfter, 1, relayHeader);
    r.SetI16(L::kRelayRec, static_cast<int16_t>(b));
    change.newRelayBlock = b;
  }

  // The new race is on the meet day of its event. "種目": one heat of its
  // own. "組": the event's run of races around it numbered heats 1..n of n.
  r.SetByte(L::kRaceSpare1, !eventEntry.dayNo.empty() ? eventEntry.dayNo[0] : displaced.Byte(L::kRaceSpare1));
  if (event) {
    r.SetI16(L::kHeatNo, 1);
    r.SetI16(L::kHeatTotal, 1);
  }
  PutRecord(races, c + 10, r);
  if (!event) {
    auto eventOf = [&](int n) { return RecordAt(races, n + 10).I16(L::kEventNo); };
    int first = c, last = c;
    while (first > 1 && eventOf(first - 1) == eventNo) --first;
    while (last < count + 1 && eventOf(last + 1) == eventNo) ++last;
    const int n = last - first + 1;
    for (int i = first; i <= last; ++i) {
      Record heat = RecordAt(races, i + 10);
      const int16_t heatNo = static_cast<int16_t>(i - first + 1);
      if (i != c && (heat.I16(L::kHeatNo) != heatNo || heat.I16(L::kHeatTotal) != n)) ++change.heatsRenumbered;
      heat.SetI16(L::kHeatNo, heatNo);
      heat.SetI16(L::kHeatTotal, static_cast<int16_t>(n));
      PutRecord(races, i + 10, heat);
    }
    change.heatsFrom = first;
    change.heats = n;
  }

  // projun.dat: each entry keeps pointing at its moved races; "組" gives the
  // event's entry its heats, "種目" inserts the new event's entry before the
  // entry of the race that stood there, every later event one number up.
  const std::string programBefore = program->bytes();
  for (int n = 1; n <= program->count(); ++n) {
    ProgramEntry e = program->Read(n);
    if (!event && n == entryAt) {
      e.firstRace = static_cast<int16_t>(change.heatsFrom);
      e.heatCount = static_cast<int16_t>(change.heats);
    } else if (Moves(e.firstRace, c, count)) {
      ++e.firstRace;
      ++change.programEntriesMoved;
      if (event && e.orderNo != 0) {
        const int16_t raised = ClampToInt16(int64_t{e.orderNo} + 1);
        if (raised != e.orderNo) ++change.programNumbersRaised;
        e.orderNo = raised;
      }
    } else {
      continue;
    }
    if (auto ok = program->Write(n, e); !ok) return std::unexpected(ok.error());
  }
  if (event) {
    const int total = program->count();
    program->SetCount(total + 1);
    for (int n = total; n >= entryAt; --n)
      if (auto ok = program->Write(n + 1, program->Read(n)); !ok) return std::unexpected(ok.error());
    ProgramEntry added = BlankProgramEntry();
    added.orderNo = static_cast<int16_t>(eventNo);
    added.heatCount = 1;
    added.sexCode = CodeText(r, L::kSexCode);
    added.ageFrom = r.I16(L::kClassFrom);
    added.ageTo = r.I16(L::kClassTo);
    added.eventCode = r.I16(L::kEventCode);
    added.stageCode = CodeText(r, L::kRoundCode);
    added.startTime = ProgramStart(r.Raw(L::kStartTime, L::kStartTimeWidth));
    added.firstRace = static_cast<int16_t>(c);
    added.seedFlag = "1";
    added.dayNo = eventEntry.dayNo;
    if (auto ok = program->Write(entryAt, added); !ok) return std::unexpected(ok.error());
    change.programEntryInserted = entryAt;
  }

  // hpro.dat: the race numbers in the page slots.
  const std::string pagesBefore = pages->bytes();
  for (int p = 1; p <= pages->pageCount(); ++p) {
    ProgramPage page = pages->Read(p);
    bool moved = false;
    for (int16_t& race : page.pageRace)
      if (Moves(race, c, count)) {
        ++race;
        moved = true;
        ++change.pageSlotsMoved;
      }
    if (moved)
      if (auto ok = pages->Write(p, page); !ok) return std::unexpected(ok.error());
  }

  std::error_code ec;
  plan.files.push_back({racePath, true, before, races});
  if (program->bytes() != programBefore)
    plan.files.push_back({program->path(), std::filesystem::exists(program->path(), ec), programBefore,
                          program->bytes()});
  if (relayAfter != relayBefore) plan.files.push_back({relayPath, relayExisted, relayBefore, relayAfter});
  if (pages->bytes() != pagesBefore)
    plan.files.push_back({pages->path(), std::filesystem::exists(pages->path(), ec), pagesBefore, pages->bytes()});
  plan.moveStates = states->size() > 0;

  // goal/ and lap/: each timing file moves with its race.
  if (auto ok = PlanRenames(meetFolder, kGoalFolderName, kGoalFileLetter, c, count, plan.renames); !ok)
    return std::unexpected(ok.error());
  if (auto ok = PlanRenames(meetFolder, kLapFolderName, kLapFileLetter, c, count, plan.renames); !ok)
    return std::unexpected(ok.error());
  return plan;
}

// The writes of the plan: whole files, the renames (highest race first) and
// the states. When one fails, what was written is put back, last first, and
// the failure says whether that worked; `diskChanged` tells whether the meet
// on disk is left changed.
Status ApplyPlan(const std::filesystem::path& meetFolder, Plan& plan, int c, int count, TitleWrites& w,
                 bool& diskChanged) {
  TitleChange& change = plan.change;
  std::optional<Error> failed;
  size_t filesDone = 0, renamesDone = 0;
  std::vector<std::pair<int, char>> statesBefore;
  bool statesTried = false;
  for (const FileChange& f : plan.files) {
    if (auto ok = w.WriteWhole(f.path, f.after); !ok) {
      failed = ok.error();
      break;
    }
    ++filesDone;
  }
  if (!failed) {
    for (const RenameStep& step : plan.renames) {
      if (auto ok = w.Rename(step.from, step.to); !ok) {
        failed = ok.error();
        break;
      }
      ++renamesDone;
    }
    change.timingFilesRenamed = static_cast<int>(renamesDone);
  }
  if (!failed && plan.moveStates) {
    // Race.dat is read again just before: the timing system may have set a
    // race "6" since. Each state moves with its race, the new race is
    // seeded, and only the characters that change are written.
    auto states = RaceStates::Read(meetFolder);
    if (!states) {
      failed = states.error();
    } else {
      auto stateOf = [&](int n) {
        const char s = states->state(n);
        return s == '\0' ? kStateNoRace : s;
      };
      for (int i = c; i <= count + 1; ++i) statesBefore.push_back({i, stateOf(i)});
      for (int i = count; i >= c; --i) states->Set(i + 1, stateOf(i));
      states->Set(c, kStateSeeded);
      for (const auto& [i, old] : statesBefore)
        if (states->state(i) != old) ++change.statesMoved;
      statesTried = true;
      if (auto ok = w.WriteStates(meetFolder, *states); !ok) failed = ok.error();
    }
  }
  diskChanged = !failed;
  if (!failed) return {};
  if (!plan.change.inserted) return std::unexpected(*failed);  // one whole file: nothing was written

  std::vector<std::string> notBack;
  const std::filesystem::path statesPath = FindFile(meetFolder, kRaceStateFileName);
  if (statesTried) {
    auto states = RaceStates::Read(meetFolder);
    if (states) {
      for (const auto& [i, old] : statesBefore) states->Set(i, old);
      if (!w.WriteStates(meetFolder, *states)) notBack.push_back(Shown(meetFolder, statesPath));
    } else {
      notBack.push_back(Shown(meetFolder, statesPath));
    }
  }
  for (size_t k = renamesDone; k-- > 0;)
    if (!w.Rename(plan.renames[k].to, plan.renames[k].from)) notBack.push_back(Shown(meetFolder, plan.renames[k].to));
  for (size_t k = filesDone; k-- > 0;) {
    const FileChange& f = plan.files[k];
    const Status ok = f.existed ? w.WriteWhole(f.path, f.before) : w.Remove(f.path);
    if (!ok) notBack.push_back(Shown(meetFolder, f.path));
  }
  if (notBack.empty())
    return Fail(failed->kind, "レースの挿入を取りやめ、書いたファイルを元に戻しました: " + failed->message);
  diskChanged = true;
  return Fail(failed->kind, "レースの挿入が途中で失敗し、" + Join(notBack) +
                                " を元に戻せませんでした（backup/ に控えがあります）: " + failed->message);
}

}  // namespace

Status TitleWrites::WriteWhole(const std::filesystem::path& path, std::string_view bytes) {
  return WriteWholeFile(path, bytes);
}

Status TitleWrites::Remove(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
  if (ec) return Fail(ErrorKind::Io, path.string() + " を消せません: " + ec.message());
  return {};
}

Status TitleWrites::Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::error_code ec;
  if (std::filesystem::exists(std::filesystem::symlink_status(to, ec)))
    return Fail(ErrorKind::Refused, to.string() + " がすでにあります。");
  std::filesystem::rename(from, to, ec);
  if (ec) return Fail(ErrorKind::Io, from.string() + " の名前を変えられません: " + ec.message());
  return {};
}

Status TitleWrites::WriteStates(const std::filesystem::path& meetFolder, RaceStates& states) {
  return states.Write(meetFolder);
}

std::string InsertionSummary(const TitleChange& c) {
  if (!c.inserted) return {};
  const bool event = c.insertion == Insertion::Event;
  std::string s = "レース " + NumberText(c.race) + " に " + NumberText(c.eventNo) + " 番の" +
                  (event ? "種目" : "組") + "を挿入しました（全 " + NumberText(c.raceCount) + " レース）。\n";
  if (c.racesMoved > 0) {
    s += "元のレース " + RaceRange(c.race, c.race + c.racesMoved - 1) + " をレース " +
         RaceRange(c.race + 1, c.race + c.racesMoved) + " へ移しました（Race.dat の状態 " +
         NumberText(c.statesMoved) + " か所、ページの枠 " + NumberText(c.pageSlotsMoved) + "、リレーのブロック " +
         NumberText(c.relayBlocksMoved) + "、競技順 " + NumberText(c.programEntriesMoved) + " 件、計時ファイル " + NumberText(c.timingFilesRenamed) +
         " 件）。\n";
  }
  if (event) {
    if (c.eventNumbersRaised > 0)
      s += "後ろの番号を 1 ずつ増やしました（レース " + NumberText(c.eventNumbersRaised) + "、競技順 " +
           NumberText(c.programNumbersRaised) + " 件）。\n";
    s += "競技順の " + NumberText(c.programEntryInserted) + " 件目に " + NumberText(c.eventNo) + " 番（1 組、レース " +
         NumberText(c.race) + "）を挿入しました。\n";
  } else {
    s += NumberText(c.eventNo) + " 番をレース " + RaceRange(c.heatsFrom, c.heatsFrom + c.heats - 1) + " の 1～" +
         NumberText(c.heats) + " 組（" + NumberText(c.heats) + " 組）に振り直し（組の変わったレース " +
         NumberText(c.heatsRenumbered) + "）、競技順の " + NumberText(c.eventNo) + " 番を " + NumberText(c.heats) +
         " 組にしました。\n";
  }
  if (c.newRelayBlock > 0)
    s += "レース " + NumberText(c.race) + " にリレーのブロック " + NumberText(c.newRelayBlock) + " を作りました。\n";
  s += "レース " + NumberText(c.race) + " はまだどのページにも載っていません（「ページ調整」か meetctl pages set P R… で載せます）。";
  if (!c.backups.empty()) s += "\n元のファイルは backup/ に控えました。";
  return s;
}

FrmmKkyogiScreen::FrmmKkyogiScreen(std::filesystem::path meetFolder, int currentRace, const Clock& clock,
                                   Dialogs& dialogs)
    : meetFolder_(std::move(meetFolder)), currentRace_(currentRace), clock_(clock), dialogs_(dialogs) {}

std::string InsertionQuestion(Insertion insertion, int race, int raceCount) {
  return "レース " + NumberText(race) + " の位置に" + (insertion == Insertion::Event ? "種目" : "組") +
         "のレースを挿入し、レース " + RaceRange(race, raceCount) +
         " を一つずつ後ろへ移します。\nレースを名指すファイルを書き換えます（元のファイルは backup/ に控えます）。";
}

Result<std::string> StartTimeField(const std::string& typed) {
  const std::string text = Trim(typed);
  if (text.empty()) return typed;
  const std::optional<int32_t> value = TimeOfDayValue(text);
  if (!value)
    return Fail(ErrorKind::Invalid, "時間 " + typed + " は時刻ではありません。hhmmss（時 0～23、分・秒 0～59。93000 は 9:30:00）で入力してください。");
  return TimeOfDayField(*value);
}

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
  openedJikan_ = boxes.txtJikan;
  boxes.txtRirei = NumberText(race.relayRec);
  optSohnyu = Insertion::None;
  return {};
}

Result<TitleChange> FrmmKkyogiScreen::cmdZikko() {
  wroteRaceFile_ = false;
  const std::filesystem::path racePath = FindFile(meetFolder_, kRaceFileName);
  const int count = ReadRaceCount(meetFolder_);
  const int c = currentRace_;
  if (c < 1 || c > count)
    return Fail(ErrorKind::NotFound, "レース " + NumberText(c) + " はレースファイルにありません（" +
                                         NumberText(count) + " レース）。");
  const bool insert = optSohnyu != Insertion::None;
  // A start time the operator typed is checked and stored right-aligned; the
  // time as it was opened is written back as it stands.
  std::string start = boxes.txtJikan;
  if (start != openedJikan_) {
    auto field = StartTimeField(start);
    if (!field) return std::unexpected(field.error());
    start = *field;
  }
  if (insert && count + 1 > L::kMaxRace)
    return Fail(ErrorKind::Refused, "レース数が " + NumberText(L::kMaxRace) + " を超えるため、挿入できません。");

  auto read = ReadFileHead(racePath, L::kMaxFileBytes);
  if (!read) return std::unexpected(read.error());
  const std::string before = std::move(*read);

  // The heading as typed. An inserted race starts from an empty record: no
  // swimmer, result or mark in any lane; a heading change keeps the lanes.
  Record r = insert ? Record(L::kRecordLength) : RecordAt(before, c + 10);
  r.SetI16(L::kEventNo, LeadingInt16(boxes.txtNo));
  r.SetText(L::kSexCode, 1, boxes.txtSei);
  r.SetI16(L::kClassFrom, LeadingInt16(boxes.txtKubun1));
  r.SetI16(L::kClassTo, LeadingInt16(boxes.txtKubun2));
  r.SetI16(L::kEventCode, LeadingInt16(boxes.txtShu));
  r.SetText(L::kRoundCode, 1, boxes.txtYoketu);
  r.SetI16(L::kHeatTotal, LeadingInt16(boxes.txtTKumi));
  r.SetI16(L::kHeatNo, LeadingInt16(boxes.txtKumi));
  r.SetText(L::kStartTime, L::kStartTimeWidth, start);
  r.SetI16(L::kRelayRec, LeadingInt16(boxes.txtRirei));

  Plan plan;
  if (insert) {
    auto planned = PlanInsertion(meetFolder_, optSohnyu, c, count, racePath, before, std::move(r));
    if (!planned) return std::unexpected(planned.error());
    plan = std::move(*planned);
  } else {
    std::string races = before;
    PutRecord(races, c + 10, r);
    plan.files.push_back({racePath, true, before, std::move(races)});
    plan.change.race = c;
    plan.change.raceCount = count;
  }

  // Every file is checked before the first write; an insertion keeps each
  // file it changes under backup/ first.
  const std::filesystem::path statesPath = FindFile(meetFolder_, kRaceStateFileName);
  for (const FileChange& f : plan.files)
    if (auto ok = CheckWritable(f.path); !ok) return std::unexpected(ok.error());
  if (plan.moveStates)
    if (auto ok = CheckWritable(statesPath); !ok) return std::unexpected(ok.error());
  if (insert && !dialogs_.AskOkCancel(InsertionQuestion(optSohnyu, c, count)))
    return Fail(ErrorKind::Cancelled, "挿入を取り消しました。何も変えていません。");
  if (insert) {
    const DateTime now = clock_.Now();
    std::vector<std::filesystem::path> kept;
    for (const FileChange& f : plan.files)
      if (f.existed) kept.push_back(f.path);
    if (plan.moveStates) kept.push_back(statesPath);
    for (const auto& file : kept) {
      auto backup = KeepBackup(meetFolder_, file, now);
      if (!backup) return std::unexpected(backup.error());
      if (!backup->empty()) plan.change.backups.push_back(*backup);
    }
  }

  TitleWrites plainWrites;
  auto applied = ApplyPlan(meetFolder_, plan, c, count, writes_ ? *writes_ : plainWrites, wroteRaceFile_);
  if (!applied) return std::unexpected(applied.error());
  return plan.change;
}

}  // namespace meet
