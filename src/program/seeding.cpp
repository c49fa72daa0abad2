#include "program/seeding.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "core/backup.h"
#include "core/file_names.h"
#include "core/numbers.h"
#include "core/record_file.h"
#include "core/sort_strings.h"
#include "data/entry_file.h"
#include "data/entry_layout.h"
#include "data/naming_context.h"
#include "data/race_layout.h"
#include "data/race_states.h"
#include "data/relay_file.h"
#include "data/relay_layout.h"
#include "print/program_pages.h"

namespace meet {

namespace RL = race_layout;
namespace YL = relay_layout;
namespace EL = entry_layout;

namespace {

constexpr int kMaxLaneEntrant = 32767;  // laneNo is a 16-bit number
constexpr size_t kClassKeyWidth = 3;
constexpr int kTimeDigits = 7;
constexpr int kNumberDigits = 5;
constexpr const char* kNoStartTime = "      ";

// seedFlag values: heats from the entries, from the previous stage, none.
constexpr char kFromEntries = '1';
constexpr char kFromPreviousStage = '2';
constexpr char kNoCompetitors = '0';

// (A fill, not a copy: GCC 12 warns falsely about copying a literal here.)
void SetFlag(std::string& flag, char value) { flag.assign(1, value); }
bool IsFlag(const std::string& flag, char value) { return flag.size() == 1 && flag[0] == value; }

struct PatternRow {
  const char* normal;
  const char* descending;
};
// Lanes 4..10.
constexpr PatternRow kPatterns[] = {
    {"2314BC000000", "4321BC000000"},  //
    {"34251BC00000", "54321BC00000"},  //
    {"342516BC0000", "654321BC0000"},  //
    {"4536271BC000", "7654321BC000"},  //
    {"45362718BC00", "87654321BC00"},  //
    {"564738291BC0", "987654321BC0"},  //
    {"564738291ABC", "A987654321BC"},  //
};

char FirstChar(const std::string& s) { return s.empty() ? '\0' : s[0]; }

// The seeding mode as the run uses it: any value that is not one of the
// other modes seeds as 単純 (a fresh meet has no digit stored).
char SeedingMode(const Settings& s) {
  char m = FirstChar(s.seedingMode);
  return (m >= '0' && m <= '4') ? m : '0';
}

bool CombinedByClass(const Settings& s, const SeedingOptions& o) { return SeedingMode(s) == '4' && o.chkKubun; }

// One competitor of an entry after sorting.
struct Competitor {
  int32_t number = 0;
  int32_t entryTime = 0;
  std::string classKey;
};

// The race record a heat starts from: the heading of the program entry, no
// competitor in any lane, the start time blank.
Race HeatHeading(const ProgramEntry& p, int eventNo, int heatNo, int heatTotal) {
  Race r;
  r.eventNo = ClampToInt16(eventNo);
  r.heatNo = ClampToInt16(heatNo);
  r.heatTotal = ClampToInt16(heatTotal);
  r.sexCode = p.sexCode;
  r.classFrom = p.ageFrom;
  r.classTo = p.ageTo;
  r.eventCode = p.eventCode;
  r.roundCode = p.stageCode;
  r.startTime = kNoStartTime;
  r.relayRec = 0;
  return r;
}

struct PlannedRace {
  Race race;
  char day = '\0';  // raceSpare1: the program entry's dayNo
};

// Places the competitors of one heat, in placing order, into lanes. The k-th
// competitor takes the lane of the pattern's k-th character. In a dual meet
// (chkRyouken) the first three competitors of prefecture 31 in the heat take
// lanes 3, 5, 1 and those of prefecture 32 lanes 4, 2, 6; everybody else (other
// prefectures, a fourth competitor of one prefecture, and a fixed lane the
// pool does not have) takes the free lanes of the pattern in pattern order.
void FillLanes(Race& race, const std::vector<const Competitor*>& heat, std::string_view pattern, int laneCount,
               bool ryouken) {
  std::array<bool, 13> taken{};  // by lane 1..12
  auto put = [&](const Competitor& c, int lane) {
    taken[static_cast<size_t>(lane)] = true;
    race.laneNo[static_cast<size_t>(lane - 1)] = ClampToInt16(c.number);
    race.laneEntryTime[static_cast<size_t>(lane - 1)] = c.entryTime;
  };
  // The next free lane of the pattern within the pool; then any free lane of
  // the pool; then the alternates.
  auto nextFree = [&]() {
    for (char ch : pattern) {
      int lane = PatternLane(ch);
      if (lane >= 1 && lane <= laneCount && !taken[static_cast<size_t>(lane)]) return lane;
    }
    for (int lane = 1; lane <= 12; ++lane)
      if ((lane <= laneCount || lane >= 11) && !taken[static_cast<size_t>(lane)]) return lane;
    return 0;
  };

  if (!ryouken) {
    for (size_t k = 0; k < heat.size(); ++k) {
      int lane = k < pattern.size() ? PatternLane(pattern[k]) : 0;
      if (lane < 1 || taken[static_cast<size_t>(lane)]) lane = nextFree();
      if (lane >= 1) put(*heat[k], lane);
    }
    return;
  }
  static constexpr int kLanes31[] = {3, 5, 1};
  static constexpr int kLanes32[] = {4, 2, 6};
  std::vector<bool> placed(heat.size(), false);
  int count31 = 0, count32 = 0;
  for (size_t k = 0; k < heat.size(); ++k) {
    const std::string& key = heat[k]->classKey;
    int lane = 0;
    if (key == "131" && count31 < 3) lane = kLanes31[count31++];
    else if (key == "132" && count32 < 3) lane = kLanes32[count32++];
    if (lane >= 1 && lane <= laneCount && !taken[static_cast<size_t>(lane)]) {
      put(*heat[k], lane);
      placed[k] = true;
    }
  }
  for (size_t k = 0; k < heat.size(); ++k) {
    if (placed[k]) continue;
    int lane = nextFree();
    if (lane >= 1) put(*heat[k], lane);
  }
}

// Race count of a race file image: the header's raceCount clamped to the
// race records the bytes hold (0 for 10 bytes or less).
int RaceCountOf(std::string_view bytes) {
  if (bytes.size() <= RL::kEmptyFileSize) return 0;
  Record header(std::string(bytes.substr(0, RL::kRecordLength)), RL::kRecordLength);
  int64_t held = static_cast<int64_t>((bytes.size() + RL::kRecordLength - 1) / RL::kRecordLength) -
                 (RL::kFirstRaceRecord - 1);
  return static_cast<int>(std::clamp<int64_t>(header.I16(RL::kRaceCount), 0, std::max<int64_t>(held, 0)));
}

size_t RaceOffset(int n) { return static_cast<size_t>(n + RL::kFirstRaceRecord - 2) * RL::kRecordLength; }

// Puts a record at its place in a file image, growing it with zero bytes.
void PutRecord(std::string& bytes, size_t offset, const std::string& record) {
  if (bytes.size() < offset + record.size()) bytes.resize(offset + record.size(), '\0');
  bytes.replace(offset, record.size(), record);
}

int16_t I16At(std::string_view bytes, size_t offset) {
  if (offset + 2 > bytes.size()) return 0;
  return static_cast<int16_t>(static_cast<uint8_t>(bytes[offset]) | (static_cast<uint8_t>(bytes[offset + 1]) << 8));
}

void SetI16At(std::string& bytes, size_t offset, int16_t value) {
  if (bytes.size() < offset + 2) bytes.resize(offset + 2, '\0');
  bytes[offset] = static_cast<char>(static_cast<uint16_t>(value) & 0xff);
  bytes[offset + 1] = static_cast<char>((static_cast<uint16_t>(value) >> 8) & 0xff);
}

int32_t I32At(std::string_view bytes, size_t offset) {
  if (offset + 4 > bytes.size()) return 0;
  uint32_t v = 0;
  for (size_t k = 0; k < 4; ++k) v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[offset + k])) << (8 * k);
  return static_cast<int32_t>(v);
}

// Relay links: a fresh block for every relay race and 1500m race of the race
// image, the race's relayRec pointing to it; any other race points to none.
// Blocks beyond the new count stay as they were; the header always carries
// the new count.
int LinkRelays(std::string& raceBytes, std::string& relayBytes) {
  const int races = RaceCountOf(raceBytes);
  int b = 0;
  for (int c = 1; c <= races; ++c) {
    const size_t at = RaceOffset(c);
    const int16_t eventCode = I16At(raceBytes, at + RL::kEventCode);
    if (IsRelayLinked(eventCode)) {
      ++b;
      RelayBlock block;
      block.relayBlockNo = static_cast<int16_t>(b);
      block.relayRace = static_cast<int16_t>(c);
      PutRecord(relayBytes, static_cast<size_t>(b + YL::kFirstBlockRecord - 2) * YL::kRecordLength,
                RecordFromRelayBlock(block).bytes());
      SetI16At(raceBytes, at + RL::kRelayRec, static_cast<int16_t>(b));
    } else if (I16At(raceBytes, at + RL::kRelayRec) != 0) {
      SetI16At(raceBytes, at + RL::kRelayRec, 0);
    }
  }
  Record header(YL::kRecordLength);  // the filler stays NUL
  header.SetI16(YL::kRelayCount, static_cast<int16_t>(b));
  PutRecord(relayBytes, 0, header.bytes());
  return b;
}

// The file's bytes up to the most its format can use.
Result<std::string> ReadIfPresent(const std::filesystem::path& path, uint64_t mostBytes) {
  auto bytes = ReadFileHead(path, mostBytes);
  if (!bytes) {
    if (bytes.error().kind == ErrorKind::NotFound) return std::string();
    return std::unexpected(bytes.error());
  }
  return std::move(*bytes);
}

// "男子 10- 12才 100m自由形 決勝": how a warning names a program entry
// (the band only where the entry has one, the stage only where it is set).
std::string DescribeEntry(const ProgramEntry& p, const NamingContext& naming) {
  std::string text = SexName(p.sexCode);
  const std::string band = ClassLabel(p.ageFrom, p.ageTo, p.eventCode, naming);
  if (!band.empty()) text += " " + band;
  text += " " + EventName(p.eventCode, naming);
  if (!p.stageCode.empty()) text += " " + RoundName(p.stageCode);
  return text;
}

}  // namespace

std::string LanePattern(int laneCount, bool descending) {
  if (laneCount < 4 || laneCount > 10) return {};
  const PatternRow& row = kPatterns[laneCount - 4];
  return descending ? row.descending : row.normal;
}

int PatternLane(char c) {
  if (c >= '1' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'C') return c - 'A' + 10;
  return 0;
}

std::string ClassKey(const Entrant& e, const Settings& settings, const SeedingOptions& options) {
  if (options.chkRyouken) {
    if (e.prefecture == "31") return "131";
    if (e.prefecture == "32") return "132";
  }
  if (!CombinedByClass(settings, options)) return "100";
  int64_t v = 100;
  switch (FirstChar(settings.classMode)) {
    case '1':
      v = 200 - static_cast<int64_t>(e.age);
      break;
    case '2':
      v = (options.chkJun || e.grade < 51) ? 300 - static_cast<int64_t>(e.grade) : static_cast<int64_t>(e.grade) + 100;
      break;
    default:
      break;
  }
  // Three digits keep their order for every age and grade a file can hold:
  // a very old age or a garbled one no longer shortens the key.
  return ZeroPadded(std::clamp<int64_t>(v, 0, 999), static_cast<int>(kClassKeyWidth));
}

std::string SeedKey(std::string_view classKey, int32_t entryTime, int32_t number) {
  std::string key(classKey);
  key += ZeroPadded(std::clamp<int64_t>(entryTime, 0, 9999999), kTimeDigits);
  key += ZeroPadded(std::clamp<int64_t>(number, 0, 99999), kNumberDigits);
  return key;
}

int HeatCountFor(int n, int laneCount) {
  if (n <= 0 || laneCount <= 0) return 0;
  return n / laneCount + (n % laneCount != 0 ? 1 : 0);
}

std::vector<int> DealtAndShiftedSizes(int n, int heats, int laneCount) {
  if (heats <= 0) return {};
  std::vector<int> size(static_cast<size_t>(heats), 0);
  if (heats == 1) {
    size[0] = n;
    return size;
  }
  for (int k = 0; k < n; ++k) ++size[static_cast<size_t>(k % heats)];
  const int half = (laneCount + 1) / 2;
  int a = 0, b = heats - 1;
  // Each step advances a or b or moves one competitor, so the walk ends; the
  // bound only guards against sizes no caller can produce.
  for (int64_t steps = 0; a < b && steps <= static_cast<int64_t>(n) + 2 * heats; ++steps) {
    if (size[static_cast<size_t>(a)] <= half) {
      ++a;
    } else if (size[static_cast<size_t>(b)] >= laneCount) {
      --b;
    } else {
      --size[static_cast<size_t>(a)];
      ++size[static_cast<size_t>(b)];
    }
  }
  return size;
}

std::vector<int> DealtBackwardsSizes(int n, int heats) {
  if (heats <= 0) return {};
  std::vector<int> size(static_cast<size_t>(heats), 0);
  for (int k = 0; k < n; ++k) ++size[static_cast<size_t>(heats - 1 - k % heats)];
  return size;
}

Result<SeedingInput> ReadSeedingInput(const std::filesystem::path& meetFolder, const Settings& settings,
                                      const SeedingOptions& options) {
  SeedingInput input;
  auto program = ProgramOrder::Load(meetFolder);
  if (!program) return std::unexpected(program.error());
  input.program = std::move(*program);

  input.raceFile = FindFile(meetFolder, kRaceFileName);
  auto race = ReadIfPresent(input.raceFile, race_layout::kMaxFileBytes);
  if (!race) return std::unexpected(race.error());
  input.raceBytes = std::move(*race);

  input.relayFile = FindFile(meetFolder, kRelayFileName);
  auto relay = ReadIfPresent(input.relayFile, YL::kMaxFileBytes);
  if (!relay) return std::unexpected(relay.error());
  input.relayBytes = std::move(*relay);

  const std::filesystem::path entryPath = EntryFilePath(settings.entryFolder, settings.entryFileName);
  std::error_code ec;
  input.entryFileFound = std::filesystem::is_regular_file(entryPath, ec);
  // Seeding without the entry file would take every event out of the program.
  if (!input.entryFileFound && !options.chkNoHan)
    return Fail(ErrorKind::NotFound, "申込データ " + entryPath.string() + " がありません。");
  if (!input.entryFileFound) return input;

  auto entries = EntryFile::OpenForReading(entryPath);
  if (!entries) return std::unexpected(entries.error());
  input.extraRelayFlags = entries->Events().extraRelayFlags;
  input.naming = LoadNamingContext(settings, meetFolder);
  if (options.chkNoHan) return input;
  const int32_t held = entries->entriesHeld();
  // The entry records are read once, whole, and only the fields seeding
  // uses are taken from them (the names are never decoded).
  auto bytes = ReadFileHead(entryPath, EL::kMaxFileBytes);
  if (!bytes) return std::unexpected(bytes.error());
  input.entrants.reserve(static_cast<size_t>(std::max(held, 0)));
  for (int32_t n = 1; n <= held; ++n) {
    const size_t at = static_cast<size_t>(n + EL::kFirstEntryRecord - 2) * EL::kRecordLength;
    std::string_view raw;
    if (at < bytes->size()) raw = std::string_view(*bytes).substr(at, EL::kRecordLength);
    Record r(std::string(raw), EL::kRecordLength);
    Entrant a;
    a.number = n;
    a.sexCode = r.Byte(EL::kSexCode);
    a.age = r.I16(EL::kAge);
    a.grade = ClampToInt32(LeadingNumber(r.Raw(EL::kGradeCode, 2)));
    a.prefecture = r.Raw(EL::kRegNo, 2);
    for (size_t ev = 0; ev < a.entryTimes.size(); ++ev) a.entryTimes[ev] = r.I32(EL::kEntryTimes + 4 * ev);
    input.entrants.push_back(std::move(a));
  }
  return input;
}

bool RaceFileHoldsResults(std::string_view raceBytes) {
  const int races = RaceCountOf(raceBytes);
  for (int c = 1; c <= races; ++c) {
    const size_t at = RaceOffset(c);
    for (size_t k = 0; k < static_cast<size_t>(RL::kSlots); ++k)
      if (I32At(raceBytes, at + RL::kLaneTime + 4 * k) != 0) return true;
  }
  return false;
}

Result<SeedingPlan> PlanSeeding(const SeedingInput& input, const Settings& settings, const SeedingOptions& options) {
  SeedingPlan plan;
  ProgramOrder order = input.program;
  std::string raceBytes = input.raceBytes;

  if (!options.chkNoHan) {
    const int laneCount = settings.laneCount;
    if (laneCount < 4 || laneCount > 10)
      return Fail(ErrorKind::Invalid,
                  "コース数 " + std::to_string(laneCount) + " では組合せできません（4～10コース）。");
    const char mode = SeedingMode(settings);
    const char classMode = FirstChar(settings.classMode);
    const bool byClass = CombinedByClass(settings, options);
    const std::string pattern = LanePattern(laneCount, byClass);
    // 混合 and 混合2 use the normal pattern: the competitors are dealt like
    // the sizes and the k-th placed in a heat takes the k-th lane of it.
    const std::string normalPattern = LanePattern(laneCount, false);

    const int programCount = order.count();
    std::vector<ProgramEntry> entries;
    entries.reserve(static_cast<size_t>(programCount));
    for (int t = 1; t <= programCount; ++t) entries.push_back(order.Read(t));
    std::vector<bool> rewritten(entries.size(), false);
    // Later stages whose earlier stage was seeded in this run.
    std::vector<bool> fedThisRun(entries.size(), false);
    // Entrants taken by some numbered program entry: taken[n − 1][event − 1].
    std::vector<std::array<bool, 44>> taken(input.entrants.size());

    // Program entries of one sex, band and event, in file order (the later
    // stages marked after a first stage is seeded).
    std::map<std::tuple<std::string, int16_t, int16_t, int16_t>, std::vector<size_t>> sameEvent;
    for (size_t t = 0; t < entries.size(); ++t)
      sameEvent[{entries[t].sexCode, entries[t].ageFrom, entries[t].ageTo, entries[t].eventCode}].push_back(t);

    // Entrants with an entry time, per event code.
    std::array<std::vector<const Entrant*>, 44> byEvent;
    for (const Entrant& a : input.entrants)
      for (size_t ev = 0; ev < 44; ++ev)
        if (a.entryTimes[ev] != 0) byEvent[ev].push_back(&a);

    int eventNo = 0;  // i
    int64_t raceTotal = 0;  // R
    std::vector<PlannedRace> races;
    auto tooMany = [&]() { return raceTotal > RL::kMaxRace; };
    auto addRace = [&](int64_t raceNo, const ProgramEntry& p, Race race) {
      if (raceNo < 1 || raceNo > RL::kMaxRace) return;
      if (races.size() < static_cast<size_t>(raceNo)) races.resize(static_cast<size_t>(raceNo));
      races[static_cast<size_t>(raceNo - 1)] = PlannedRace{std::move(race), FirstChar(p.dayNo)};
    };
    auto number = [&](size_t t, int heats) {
      ProgramEntry& p = entries[t];
      ++eventNo;
      raceTotal += heats;
      p.orderNo = ClampToInt16(eventNo);
      p.heatCount = ClampToInt16(heats);
      p.firstRace = ClampToInt16(raceTotal - heats + 1);
      rewritten[t] = true;
    };
    auto markLaterStages = [&](size_t t) {
      const ProgramEntry& p = entries[t];
      for (size_t later : sameEvent[{p.sexCode, p.ageFrom, p.ageTo, p.eventCode}]) {
        if (later <= t) continue;
        SetFlag(entries[later].seedFlag, kFromPreviousStage);
        rewritten[later] = true;
        fedThisRun[later] = true;
      }
    };
    // The numbered heats of an entry written with their headings only (the
    // races of a stage whose heats are filled later).
    auto emptyHeats = [&](const ProgramEntry& p, int heats) {
      for (int h = 1; h <= heats; ++h)
        addRace(raceTotal - heats + h, p, HeatHeading(p, eventNo, h, heats));
    };
    auto place = [&](const ProgramEntry& p, const std::vector<Competitor>& sorted, int heats) {
      const int n = static_cast<int>(sorted.size());
      const int64_t first = raceTotal - heats + 1;
      std::vector<std::vector<const Competitor*>> heat(static_cast<size_t>(heats));
      if (mode == '0' || mode == '4') {
        std::vector<int> sizes = DealtAndShiftedSizes(n, heats, laneCount);
        size_t next = 0;
        for (int h = heats; h >= 1; --h)
          for (int k = 0; k < sizes[static_cast<size_t>(h - 1)] && next < sorted.size(); ++k)
            heat[static_cast<size_t>(h - 1)].push_back(&sorted[next++]);
      } else {
        // 平均, 混合, 混合2: sorted position j goes to heat H − (j mod H), so
        // every heat gets a share of every speed group.
        for (int j = 0; j < n; ++j) heat[static_cast<size_t>(heats - 1 - j % heats)].push_back(&sorted[static_cast<size_t>(j)]);
      }
      for (int h = 1; h <= heats; ++h) {
        const auto& members = heat[static_cast<size_t>(h - 1)];
        Race race = HeatHeading(p, eventNo, h, heats);
        if (mode == '0' || mode == '4') {
          std::string_view lanes = pattern;
          if (byClass) {
            const size_t drop = static_cast<size_t>(laneCount / 2 - static_cast<int>(members.size()) / 2);
            lanes.remove_prefix(std::min(drop, lanes.size()));
          }
          FillLanes(race, members, lanes, laneCount, options.chkRyouken);
        } else {
          FillLanes(race, members, normalPattern, laneCount, false);
        }
        addRace(first + h - 1, p, std::move(race));
      }
    };

    for (size_t t = 0; t < entries.size(); ++t) {
      ProgramEntry& p = entries[t];
      if (p.orderNo == 0) continue;
      const char stage = FirstChar(p.stageCode);
      if (IsFlag(p.seedFlag, kFromEntries)) {
        std::vector<std::string> keys;
        std::vector<int32_t> accepted;  // the entrants of this entry, once placed in its heats
        auto placeAll = [&](const std::vector<Competitor>& sorted, int heats) {
          place(p, sorted, heats);
          for (int32_t number : accepted)
            if (number >= 1 && static_cast<size_t>(number) <= taken.size())
              taken[static_cast<size_t>(number - 1)][static_cast<size_t>(p.eventCode - 1)] = true;
        };
        if (p.eventCode >= 1 && p.eventCode <= 44) {
          const char sex = FirstChar(p.sexCode);
          for (const Entrant* a : byEvent[static_cast<size_t>(p.eventCode - 1)]) {
            if (a->sexCode != sex) continue;
            if (classMode == '2' && (a->grade < p.ageFrom || a->grade > p.ageTo)) continue;
            if (classMode == '1' && (a->age < p.ageFrom || a->age > p.ageTo)) continue;
            accepted.push_back(a->number);
            if (a->number > kMaxLaneEntrant)
              return Fail(ErrorKind::Refused, "申込データの番号 " + std::to_string(a->number) +
                                                  " はレースファイルのコースに入りません（32767まで）。組合せできません。");
            keys.push_back(SeedKey(ClassKey(*a, settings, options), a->entryTimes[static_cast<size_t>(p.eventCode - 1)],
                                   a->number));
          }
        }
        SortStrings(keys);
        const int n = static_cast<int>(keys.size());
        if (n == 0) {
          if (stage >= '1' && stage <= '4') {
            SetFlag(p.seedFlag, kNoCompetitors);
            p.orderNo = 0;
            rewritten[t] = true;
          }
          continue;
        }
        std::vector<Competitor> sorted;
        sorted.reserve(keys.size());
        for (const std::string& key : keys) {
          Competitor c;
          c.classKey = key.substr(0, kClassKeyWidth);
          c.number = static_cast<int32_t>(LeadingNumber(std::string_view(key).substr(key.size() - kNumberDigits)));
          c.entryTime = input.entrants[static_cast<size_t>(c.number - 1)].entryTimes[static_cast<size_t>(p.eventCode - 1)];
          sorted.push_back(std::move(c));
        }
        if (n <= laneCount) {
          if (stage == '1') {
            if (options.chkYosen) {
              number(t, 1);
              if (!tooMany()) placeAll(sorted, 1);
              markLaterStages(t);
            } else {
              SetFlag(p.seedFlag, kNoCompetitors);
              p.orderNo = 0;
              rewritten[t] = true;
            }
          } else if (stage == '2') {
            number(t, 1);
            if (!tooMany()) placeAll(sorted, 1);
          }
          continue;
        }
        const int heats = HeatCountFor(n, laneCount);
        number(t, heats);
        if (tooMany()) continue;
        if (stage == '1') {
          placeAll(sorted, heats);
          markLaterStages(t);
        } else if (stage == '2') {
          placeAll(sorted, heats);
        } else {
          // Reserved races get their headings, so that no race of an earlier
          // seeding stays inside the new race count.
          emptyHeats(p, heats);
        }
      } else if (IsFlag(p.seedFlag, kFromPreviousStage) && stage != '1') {
        if (!fedThisRun[t] && stage >= '2' && stage <= '4')
          plan.warnings.push_back(DescribeEntry(p, input.naming) +
                                  ": 前の予選がこの作成で組まれていないため、組が空のままです（初期化してから作成してください）。");
        if (stage == '2') {
          number(t, 1);
          emptyHeats(p, 1);
        } else if (stage == '3' || stage == '4') {
          number(t, 2);
          emptyHeats(p, 2);
        }
      }
    }
    if (tooMany())
      return Fail(ErrorKind::Refused, "必要なレース数 " + std::to_string(raceTotal) + " が上限の " +
                                          std::to_string(RL::kMaxRace) + " を超えるため、組合せできません。" +
                                          "競技順または申込データを見直してください。");

    // Entrants with an entry time whom no numbered program entry takes, per
    // event and sex (a band the program lacks, a sex or an event left out).
    std::map<std::pair<int, char>, int> untaken;
    for (size_t n = 0; n < input.entrants.size(); ++n)
      for (size_t ev = 0; ev < 44; ++ev)
        if (input.entrants[n].entryTimes[ev] != 0 && !taken[n][ev])
          ++untaken[{static_cast<int>(ev) + 1, input.entrants[n].sexCode}];
    for (const auto& [key, count] : untaken) {
      ProgramEntry p;
      p.sexCode = std::string(1, key.second);
      p.eventCode = static_cast<int16_t>(key.first);
      p.ageFrom = 1;
      p.ageTo = 100;
      plan.warnings.push_back(DescribeEntry(p, input.naming) + ": 申込 " + std::to_string(count) +
                              " 件がどの競技順の区分にも入らず、組まれていません。");
    }

    for (size_t t = 0; t < entries.size(); ++t) {
      if (!rewritten[t]) continue;
      if (auto ok = order.Write(static_cast<int>(t + 1), entries[t]); !ok) return std::unexpected(ok.error());
    }
    plan.eventsNumbered = eventNo;

    // The race file: header and races 1..R over the old bytes.
    const int raceCount = static_cast<int>(raceTotal);
    Record header(RL::kRecordLength);  // the filler stays NUL
    header.SetI16(RL::kRaceCount, static_cast<int16_t>(raceCount));
    PutRecord(raceBytes, 0, header.bytes());
    races.resize(static_cast<size_t>(raceCount));
    for (int r = 1; r <= raceCount; ++r) {
      PlannedRace& planned = races[static_cast<size_t>(r - 1)];
      Record record = RecordFromRace(planned.race, false);
      record.SetByte(RL::kRaceSpare1, planned.day);
      PutRecord(raceBytes, RaceOffset(r), record.bytes());
    }
  }

  std::string relayBytes = input.relayBytes;
  plan.relayBlocks = LinkRelays(raceBytes, relayBytes);
  plan.raceCount = RaceCountOf(raceBytes);
  plan.programBytes = order.bytes();
  plan.programChanged = plan.programBytes != input.program.bytes();
  plan.raceChanged = raceBytes != input.raceBytes;
  plan.relayChanged = relayBytes != input.relayBytes;
  plan.raceBytes = std::move(raceBytes);
  plan.relayBytes = std::move(relayBytes);
  return plan;
}

Result<SeedingSummary> RunSeeding(const std::filesystem::path& meetFolder, const Settings& settings,
                                  const SeedingOptions& options, Dialogs& dialogs, const Clock& clock) {
  auto input = ReadSeedingInput(meetFolder, settings, options);
  if (!input) return std::unexpected(input.error());
  auto plan = PlanSeeding(*input, settings, options);
  if (!plan) return std::unexpected(plan.error());

  SeedingSummary summary;
  if (RaceFileHoldsResults(input->raceBytes)) {
    if (!dialogs.AskOkCancel(options.chkNoHan ? kAskRebuildWithResults : kAskOverwriteResults))
      return Fail(ErrorKind::Cancelled, "競技ファイルの作成を取り消しました。");
    const DateTime now = clock.Now();
    for (const auto& file : {input->raceFile, input->relayFile}) {
      auto kept = KeepBackup(meetFolder, file, now);
      if (!kept) return std::unexpected(kept.error());
      if (!kept->empty()) summary.backups.push_back(*kept);
    }
  }

  if (plan->programChanged)
    if (auto ok = WriteWholeFile(input->program.path(), plan->programBytes); !ok) return std::unexpected(ok.error());
  if (plan->raceChanged)
    if (auto ok = WriteWholeFile(input->raceFile, plan->raceBytes); !ok) return std::unexpected(ok.error());
  if (plan->relayChanged)
    if (auto ok = WriteWholeFile(input->relayFile, plan->relayBytes); !ok) return std::unexpected(ok.error());

  PageBuildOptions pages;
  pages.pattern = std::clamp(options.cboPattern, 0, 1);
  pages.noStageBreak = options.chkKetugo;
  pages.noDayBreak = options.chkNichi;
  pages.raceDays = RaceDays(ProgramOrder::FromBytes(input->program.path(), plan->programBytes), plan->raceCount);
  if (auto ok = BuildProgramPages(meetFolder, input->extraRelayFlags, pages); !ok) return std::unexpected(ok.error());
  if (auto ok = CreateRaceStates(meetFolder, plan->raceCount); !ok) return std::unexpected(ok.error());

  summary.raceCount = plan->raceCount;
  summary.relayBlocks = plan->relayBlocks;
  summary.eventsNumbered = plan->eventsNumbered;
  summary.warnings = plan->warnings;
  return summary;
}

Result<int> ResetProgramForSeeding(const std::filesystem::path& meetFolder) {
  auto order = ProgramOrder::Load(meetFolder);
  if (!order) return std::unexpected(order.error());
  for (int n = 1; n <= order->count(); ++n) {
    ProgramEntry e = order->Read(n);
    e.orderNo = ClampToInt16(n);
    SetFlag(e.seedFlag, kFromEntries);
    if (auto ok = order->Write(n, e); !ok) return std::unexpected(ok.error());
  }
  if (auto ok = order->Save(); !ok) return std::unexpected(ok.error());
  return order->count();
}

}  // namespace meet
