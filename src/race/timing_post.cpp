#include "race/timing_post.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <optional>

#include "core/numbers.h"
#include "core/printer.h"
#include "core/time_code.h"
#include "data/entry_file.h"
#include "data/naming_context.h"
#include "data/race_states.h"
#include "data/relay_file.h"
#include "print/hpro_file.h"
#include "print/program_print.h"
#include "print/results_print.h"
#include "race/frm_race_screen.h"
#include "race/next_stage.h"
#include "race/race_sheets.h"
#include "race/rank_lanes.h"
#include "race/record_standings.h"
#include "race/standards_check.h"
#include "race/timing_files.h"
#include "records/shikaku_file.h"

namespace meet {

namespace {

constexpr int kPlacedSlots = 10;
// hpro.dat's pageMark of a program page printed when its finals were ready.
constexpr char kPagePrinted = '1';

std::string RaceText(int n) { return "レース " + NumberText(n); }

// The final time of a goal-file line, or nothing when the line is short or
// its time is not a whole number 0..999999.
std::optional<int32_t> GoalTime(const std::vector<std::string>& line) {
  if (line.size() < 2) return std::nullopt;
  const std::string& v = line[1];
  if (v.empty() || v.size() > 6) return std::nullopt;
  if (!std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
  const int32_t time = LeadingInt32(v);
  // 9999 is no time (99 seconds): never a time to place or a record.
  if (!IsTimeCode(time)) return std::nullopt;
  return time;
}

// The split mmsshh of an 8-character lap text: positions 1–2, 4–5 and 7–8.
std::optional<int32_t> SplitCode(const std::string& text8) {
  if (text8.size() != 8) return std::nullopt;
  std::string digits = text8.substr(0, 2) + text8.substr(3, 2) + text8.substr(6, 2);
  if (digits.find_first_not_of(" 0123456789") != std::string::npos) return std::nullopt;
  if (digits.find_first_not_of(' ') == std::string::npos) return std::nullopt;
  return LeadingInt32(digits);
}

// Posting is one at a time in the process: a click on "確定" while the
// automatic posting runs (or the other way round) is refused.
std::atomic<bool> postingNow{false};

class PostingGuard {
 public:
  PostingGuard() : owned_(!postingNow.exchange(true)) {}
  ~PostingGuard() {
    if (owned_) postingNow = false;
  }
  bool owned() const { return owned_; }

 private:
  bool owned_;
};

// A program page a seeded race asked for: printed once, after every race of
// the posting is in, with the most copies asked.
struct PendingPage {
  int page = 0;
  int copies = 0;
  std::vector<int> races;  // the posted races whose next stage it lists
  bool printed = false;
};

// What every posted race needs, opened once per posting.
struct Shared {
  const MeetFiles& meet;
  Platform& platform;
  bool printing;
  ShikakuTable table;
  std::optional<EntryFile> entries;
  NamingContext naming;
  std::vector<PendingPage> pages;
};

// A document of posted race n the printer could not print: n stays "7".
void PrintFailed(PostReport& report, int n, const Error& error) {
  report.failures.push_back(PrintFailure{error.message, n == 0 ? std::vector<int>{} : std::vector<int>{n}});
}

void AskForPage(Shared& s, int page, int copies, int n) {
  for (PendingPage& p : s.pages) {
    if (p.page != page) continue;
    p.copies = std::max(p.copies, copies);
    p.races.push_back(n);
    return;
  }
  s.pages.push_back(PendingPage{page, copies, {n}, false});
}

Status SetState(const std::filesystem::path& folder, int n, char state) {
  auto states = RaceStates::Read(folder);
  if (!states) return std::unexpected(states.error());
  states->Set(n, state);
  return states->Write(folder);
}

// Step 2 of posting: the lap line of the split index of every lane into the
// race's relay block.
void ImportSplits(Shared& s, int n, const Race& race, PostReport& report) {
  const Settings& set = s.meet.settings;
  if (set.timingSystem != "1") return;
  if (race.eventCode != 7 && (race.eventCode < 23 || race.eventCode > 29)) return;
  const int index = SplitIndex(race.eventCode, TimingLapLength(set));
  if (index == 0) return;
  const std::filesystem::path folder = s.meet.meetFolder;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(LapFilePath(folder, n), ec)) {
    report.notes.push_back(RaceText(n) + ": ラップファイルがないため、途中時間は変えていません。");
    return;
  }
  auto relay = RelayFile::Open(folder);
  if (!relay) {
    report.notes.push_back(RaceText(n) + ": relay.dat を開けないため、途中時間は変えていません。");
    return;
  }
  const int b = race.relayRec;
  if (b < 1 || b > relay->relayCount() || relay->Read(b).relayRace != n) {
    report.notes.push_back(RaceText(n) + ": このレースのリレーデータがないため、途中時間は変えていません。");
    return;
  }
  RelayBlock block = relay->Read(b);
  const std::vector<LapLine> laps = ReadLapFile(folder, n);
  bool changed = false;
  for (int slot = 0; slot < kPlacedSlots; ++slot) {
    if (race.laneNo[static_cast<size_t>(slot)] == 0) continue;
    int count = 0;
    for (const LapLine& line : laps) {
      if (line.lane != slot + 1) continue;
      if (++count != index) continue;
      if (auto code = SplitCode(line.time)) {
        block.splitTimes[static_cast<size_t>(slot)] = *code;
        changed = true;
      } else {
        report.notes.push_back(RaceText(n) + " " + NumberText(slot + 1) + "コース: 途中時間 \"" + line.time +
                               "\" が読めないため、変えていません。");
      }
      break;
    }
  }
  if (changed) {
    if (auto ok = relay->Write(b, block); !ok)
      report.notes.push_back(RaceText(n) + ": 途中時間を書けませんでした: " + ok.error().message);
  }
}

bool IsLastHeat(const Race& race) { return race.heatNo >= 1 && race.heatNo == race.heatTotal; }

// Step 10: the next stage seeded from the heats, its race sheet and program
// page printed. A next stage that cannot be seeded (a heat not confirmed, a
// result already in it, none at all) is a note; so is every swimmer the
// seeding took out of a lane, and every tie that decided a lane.
Status PostNextStage(Shared& s, int n, PostReport& report) {
  const std::filesystem::path folder = s.meet.meetFolder;
  const Settings& set = s.meet.settings;
  auto stage = SeedNextStage(folder, set, n);
  if (!stage) {
    if (stage.error().kind != ErrorKind::NotFound && stage.error().kind != ErrorKind::Refused)
      return std::unexpected(stage.error());
    report.notes.push_back(stage.error().message);
    return {};
  }
  const PrintSources sources(s.meet);
  std::vector<LaneChange> replaced;
  for (const LaneChange& c : stage->changes)
    if (c.before != 0) replaced.push_back(c);
  for (const std::string& line : LaneChangeLines(replaced, sources))
    report.notes.push_back(RaceText(stage->race) + " " + line);
  const std::vector<std::string> ties = SwimOffLines(*stage, sources);
  report.notes.insert(report.notes.end(), ties.begin(), ties.end());
  if (!stage->written) return {};
  int placed = 0;
  for (int16_t no : stage->seeded.laneNo) placed += no != 0;
  report.seeded.push_back({stage->race, n, placed});
  if (!s.printing) return {};

  const int next = stage->race;
  if (!ties.empty()) {
    if (auto ok = PrintSwimOffNotice(s.platform.printer, SheetHeading(sources, stage->seeded), *stage, sources); !ok)
      PrintFailed(report, n, ok.error());
    else
      report.printed.push_back({"同記録", next, 1});
  }
  const int sheets = PostCopies(set, stage->seeded.roundCode, 3, 8, 13);
  if (auto ok = PrintRaceSheet(s.platform, s.meet, next, stage->seeded, sheets); !ok)
    PrintFailed(report, n, ok.error());
  else if (sheets > 0)
    report.printed.push_back({"レース", next, sheets});
  const int pageCopies = PostCopies(set, stage->seeded.roundCode, 2, 7, 12);
  const int page = PageOfRace(folder, next);
  if (page == 0) {
    report.notes.push_back(RaceText(next) + " はプログラムのページにないため、ページは印刷していません。");
  } else if (pageCopies > 0) {
    AskForPage(s, page, pageCopies, n);
  }
  return {};
}

// Steps 1–10 of one race in state "6". Returns false when the race was left
// as it was (its goal file could not be read).
Result<bool> PostRace(Shared& s, int n, PostReport& report) {
  const std::filesystem::path folder = s.meet.meetFolder;
  const Settings& set = s.meet.settings;
  const std::filesystem::path goal = GoalFilePath(folder, n);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(goal, ec)) {
    report.notes.push_back(RaceText(n) + ": ゴールファイル " + goal.filename().string() +
                           " がないため、確定していません（状態 6 のまま）。");
    return false;
  }
  const auto lines = ReadTimingFile(goal);
  if (lines.empty()) {
    report.notes.push_back(RaceText(n) + ": ゴールファイル " + goal.filename().string() +
                           " が空か読めないため、確定していません（状態 6 のまま）。");
    return false;
  }
  // A goal file none of whose lines can be read is no result: the race waits
  // at "6" for a file the timing system writes again.
  bool anyLine = false;
  for (size_t k = 0; k < lines.size() && k < static_cast<size_t>(kPlacedSlots); ++k) anyLine = anyLine || GoalTime(lines[k]);
  if (!anyLine) {
    report.notes.push_back(RaceText(n) + ": ゴールファイル " + goal.filename().string() +
                           " に読める行がないため、確定していません（状態 6 のまま）。");
    return false;
  }
  auto loaded = LoadRaceB(folder, n);
  if (!loaded) return std::unexpected(loaded.error());
  Race race = *loaded;

  ImportSplits(s, n, race, report);

  for (int slot = 0; slot < kPlacedSlots; ++slot) {
    const size_t k = static_cast<size_t>(slot);
    const auto* line = k < lines.size() ? &lines[k] : nullptr;
    const auto time = line ? GoalTime(*line) : std::nullopt;
    race.laneRank[k] = line && !line->empty() ? LeadingInt16((*line)[0]) : 0;
    race.laneTime[k] = time.value_or(0);
    if (!time && race.laneNo[k] != 0)
      report.notes.push_back(RaceText(n) + " " + NumberText(slot + 1) + "コース: ゴールファイルの行「" +
                             (line && line->size() >= 2 ? (*line)[0] + "," + (*line)[1] : std::string("（なし）")) +
                             "」が読めないか、記録がタイムコードではないため、記録なしにしました。");
  }
  rankLanes(race);

  if (std::string notice = PrintCopiesNotice(set); !notice.empty()) report.notes.push_back(notice);
  const int checks = PostCopies(set, race.roundCode, 5, 10, 15);
  if (checks > 0 && s.entries) {
    NullPrinter silent;
    Printer& printer = s.printing ? s.platform.printer : static_cast<Printer&>(silent);
    // Records as they stand after the earlier races, this posting's included.
    auto races = RaceFileImage::Load(folder);
    if (!races) return std::unexpected(races.error());
    const EntryFile& entries = *s.entries;
    Entry loaded;
    const RecordStandings standings(
        s.table, *races, [&](int e) -> const Entry& { return loaded = entries.Load(e); }, set.classMode);
    RecordNotices notices(printer, race, s.naming, n);
    for (int c = 0; c < checks; ++c)
      for (int slot = 0; slot < kPlacedSlots; ++slot)
        checkStandardsAndRecords(race, n, slot, s.table, entries, set.classMode, standings, notices);
    // The results are kept whatever the printer does.
    if (auto ok = notices.End(); !ok)
      PrintFailed(report, n, ok.error());
    else if (notices.printed() > 0 && s.printing)
      report.printed.push_back({"記録", n, checks});
  }

  if (auto ok = SaveRaceKeepingSpares(folder, n, race); !ok) return std::unexpected(ok.error());
  if (auto ok = SetState(folder, n, kStateChanged); !ok) return std::unexpected(ok.error());
  report.posted.push_back({n, kStateChanged});

  // A document the printer refuses is told and the posting goes on; the
  // race stays "7" so that it can be printed again.
  const bool lastHeat = IsLastHeat(race);
  if (s.printing) {
    if (RaceHasLaps(race.eventCode, static_cast<int>(LeadingNumber(set.lapText)))) {
      const int copies = PostCopies(set, race.roundCode, 16, 17, 18);
      if (auto ok = PrintLapSheet(s.platform, s.meet, n, race, copies); !ok)
        PrintFailed(report, n, ok.error());
      else if (copies > 0)
        report.printed.push_back({"ラップ", n, copies});
    }
    if (lastHeat) {
      const int copies = PostCopies(set, race.roundCode, 1, 6, 11);
      if (auto ok = PrintRaceResults(s.platform, s.meet, n, copies); !ok)
        PrintFailed(report, n, ok.error());
      else if (copies > 0)
        report.printed.push_back({"結果", n, copies});
    }
  }
  if (lastHeat && race.roundCode != "2") {
    if (auto ok = PostNextStage(s, n, report); !ok) return std::unexpected(ok.error());
  }
  return true;
}

// The program pages the seeded races asked for, each once.
void PrintPendingPages(Shared& s, PostReport& report) {
  for (PendingPage& p : s.pages) {
    auto ok = PrintProgramPages(s.platform, s.meet, p.page, p.page, p.copies, false);
    if (!ok) {
      report.failures.push_back(PrintFailure{ok.error().message, p.races});
      continue;
    }
    p.printed = true;
    report.printed.push_back({"プログラム", p.page, p.copies});
  }
}

// Step 7's "8" for every posted race whose documents were all printed.
Status MarkPrinted(Shared& s, PostReport& report) {
  for (PostedRace& posted : report.posted) {
    bool failed = false;
    for (const PrintFailure& f : report.failures)
      failed = failed || std::find(f.races.begin(), f.races.end(), posted.race) != f.races.end();
    if (failed) continue;
    if (auto ok = SetState(s.meet.meetFolder, posted.race, kStatePrinted); !ok) return ok;
    posted.state = kStatePrinted;
  }
  return {};
}

// Step 3: the first page not yet printed whose races are all finals with
// lane 5 filled. A page this posting printed already (the seeded race's
// page) is marked without a second print; a page is marked only once it is
// printed, so one the printer refused is tried again by the next posting.
Status PrintReadyPage(Shared& s, PostReport& report) {
  const std::filesystem::path folder = s.meet.meetFolder;
  auto pages = PageFile::Load(folder);
  if (!pages) return std::unexpected(pages.error());
  const int raceCount = ReadRaceCount(folder);
  for (int p = 1; p <= pages->pageCount(); ++p) {
    ProgramPage page = pages->Read(p);
    if (page.pageMark == kPagePrinted || page.FilledSlots() == 0) continue;
    bool ready = true;
    for (int16_t r : page.pageRace) {
      if (r == 0) continue;
      if (r < 1 || r > raceCount) {
        ready = false;
        break;
      }
      auto race = LoadRaceB(folder, r);
      if (!race || race->roundCode != "2" || race->laneNo[4] == 0) {
        ready = false;
        break;
      }
    }
    if (!ready) continue;
    const auto asked = std::find_if(s.pages.begin(), s.pages.end(), [p](const PendingPage& q) { return q.page == p; });
    if (asked != s.pages.end() && !asked->printed) return {};  // refused once in this posting already
    const int copies = PostCopies(s.meet.settings, "", 9, 9, 9);
    if (asked == s.pages.end() && copies > 0) {
      if (auto ok = PrintProgramPages(s.platform, s.meet, p, p, copies, false); !ok) {
        PrintFailed(report, 0, ok.error());
        return {};
      }
      report.printed.push_back({"プログラム(決勝)", p, copies});
    }
    page.pageMark = kPagePrinted;
    if (auto ok = pages->Write(p, page); !ok) return ok;
    return pages->Save();
  }
  return {};
}

}  // namespace

int TimingLapLength(const Settings& settings) {
  const int pool = settings.courseMode == "1" ? 25 : 50;
  return settings.timingSide == "1" ? pool * 2 : pool;
}

int SplitIndex(int eventCode, int lapLength) {
  int distance = 0;
  if (eventCode == 7) distance = 800;
  else if (eventCode == 23 || eventCode == 26) distance = 25;
  else if (eventCode == 24 || eventCode == 27) distance = 50;
  else if (eventCode == 25 || eventCode == 28) distance = 100;
  else if (eventCode == 29) distance = 200;
  if (distance == 0 || lapLength <= 0 || distance % lapLength != 0) return 0;
  return distance / lapLength;
}

int EventDistance(int eventCode) {
  switch (eventCode) {
    case 1: case 8: case 12: case 16: return 25;
    case 2: case 9: case 13: case 17: return 50;
    case 3: case 10: case 14: case 18: case 20: case 23: case 26: return 100;
    case 4: case 11: case 15: case 19: case 21: case 24: case 27: return 200;
    case 5: case 22: case 25: case 28: return 400;
    case 6: case 29: return 800;
    case 7: return 1500;
    default: return 0;
  }
}

bool RaceHasLaps(int eventCode, int lapDistance) {
  if (eventCode >= 30) return true;
  const int distance = EventDistance(eventCode);
  return distance > 0 && distance > lapDistance;
}

int PostCopies(const Settings& settings, std::string_view roundCode, int first, int second, int other) {
  const int k = roundCode == "1" ? first : roundCode == "2" ? second : other;
  if (k < 1 || k > static_cast<int>(settings.printCopies.size())) return 0;
  return HeldPrintCopies(settings.printCopies[static_cast<size_t>(k - 1)]);
}

std::vector<std::string> PrintFailureLines(const PostReport& report) {
  std::vector<std::string> lines;
  std::vector<int> kept;
  for (const PrintFailure& f : report.failures) {
    lines.push_back(f.message);
    for (int r : f.races)
      if (std::find(kept.begin(), kept.end(), r) == kept.end()) kept.push_back(r);
  }
  if (kept.empty()) return lines;
  std::sort(kept.begin(), kept.end());
  std::string races;
  for (int r : kept) races += (races.empty() ? "" : "、") + NumberText(r);
  lines.push_back("レース " + races + " は状態 7 のままです（印刷し直せます）。");
  return lines;
}

Result<PostReport> postTimingResults(const MeetFiles& meet, Platform& platform, bool printing) {
  PostingGuard guard;
  if (!guard.owned()) return Fail(ErrorKind::Refused, "確定の処理中です。終わるまでお待ちください。");
  const std::filesystem::path folder = meet.meetFolder;
  PostReport report;

  auto table = LoadShikaku(folder);
  if (!table) return std::unexpected(table.error());
  Shared s{meet, platform, printing, std::move(*table), std::nullopt, LoadNamingContext(meet.settings, folder), {}};
  if (auto entries = EntryFile::OpenForReading(EntryFilePath(meet.settings.entryFolder, meet.settings.entryFileName)))
    s.entries = std::move(*entries);
  else
    report.notes.push_back("申込ファイルを開けないため、標準記録と大会記録の判定はしていません。");

  if (printing) {
    platform.printer.SetFontName(kMincho);
    platform.printer.SetFontSize(11);
  }
  const int raceCount = ReadRaceCount(folder);
  auto states = RaceStates::Read(folder);
  if (!states) return std::unexpected(states.error());
  for (int n = 1; n <= static_cast<int>(states->size()); ++n) {
    if (states->state(n) != kStateTimingWaiting) continue;
    if (n > raceCount) {
      report.notes.push_back(RaceText(n) + " はレースファイルにないため、確定していません。");
      continue;
    }
    // A failure once races are posted stops the posting but keeps its report.
    auto posted = PostRace(s, n, report);
    if (!posted) {
      report.stopped = posted.error();
      break;
    }
    // States the timing system set meanwhile are seen from here on.
    if (*posted) {
      states = RaceStates::Read(folder);
      if (!states) {
        report.stopped = states.error();
        break;
      }
    }
  }
  if (printing && !report.posted.empty() && !report.stopped) {
    PrintPendingPages(s, report);
    if (auto ok = MarkPrinted(s, report); !ok) report.stopped = ok.error();
    // The ready page is a printout like the others: a page file that cannot
    // be used is its failure, not the posting's.
    else if (auto ready = PrintReadyPage(s, report); !ready)
      PrintFailed(report, 0, ready.error());
  }
  // Nothing posted: the screen stays on its race.
  if (report.posted.empty()) return report;

  states = RaceStates::Read(folder);
  if (!states) {
    if (!report.stopped) report.stopped = states.error();
    return report;
  }
  report.showRace = std::max(1, raceCount);
  for (int n = 1; n <= raceCount; ++n) {
    const char c = states->state(n);
    if (c < kStateTimingWaiting) {
      report.showRace = std::max(1, n - 1);
      break;
    }
  }
  return report;
}

}  // namespace meet
