#include "records/sample_standards.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/backup.h"
#include "core/file_names.h"
#include "core/numbers.h"

namespace meet {

namespace {

// Long-course times of the world's best men, in seconds, per event code 1–29
// (25m events and the short relays as the fastest swims over that distance).
constexpr std::array<double, 30> kWorldSeconds = {
    0,
    9.9,   20.9,  46.9,  102.0, 220.1, 452.1, 871.0,  // 自由形 25m … 1500m
    11.5,  23.7,  51.6,  111.9,                       // 背泳ぎ
    12.5,  25.9,  56.9,  125.5,                       // 平泳ぎ
    10.6,  22.3,  49.4,  110.3,                       // バタフライ
    50.3,  114.0, 242.5,                              // 個人メドレー
    46.0,  93.0,  206.8,                              // メドレーリレー 100m … 400m
    41.0,  83.0,  188.2,  418.5,                      // リレー 100m … 800m
};

constexpr double kClubLevel = 1.30;  // a good club swimmer against the world's best
constexpr double kWomen = 1.10;
constexpr double kMixed = 1.05;      // mixed teams (relays only)

// Meet records and standards against a good club swimmer of the age: about
// one entry time in twenty beats a meet record, one in four reaches a standard.
constexpr double kMeetRecordPace = 0.87;
constexpr double kStandard1Pace = 0.98;
constexpr double kStandard2Pace = 0.97;
constexpr double kStandard4Pace = 1.00;

// Each level slower than the one above it: 世界, アジア, 日本, 地方, 県, 地区.
constexpr std::array<double, 6> kLevelFactor = {1.00, 1.02, 1.04, 1.10, 1.16, 1.22};
// General, 大学, 高校, 中学, 学童.
constexpr std::array<double, 5> kSchoolFactor = {1.00, 1.02, 1.05, 1.20, 1.45};

bool IsRelay(int eventCode) { return eventCode >= 23 && eventCode <= 29; }

double AgeFactor(int age) {
  if (age <= 6) return 2.1;
  if (age < 17) return 1.0 + (17 - age) * 0.1;
  if (age <= 28) return 1.0;
  return 1.0 + (age - 28) * 0.012;
}

int32_t TimeCodeOf(double seconds) {
  auto hundredths = static_cast<int64_t>(std::llround(seconds * 100.0));
  int64_t minutes = hundredths / 6000, rest = hundredths % 6000;
  return ClampToInt32(std::min<int64_t>(minutes * 10000 + rest, 595899));
}

// The time one hundredth slower.
int32_t NextTime(int32_t code) {
  int32_t hundredths = code % 100, seconds = code / 100 % 100, minutes = code / 10000;
  if (++hundredths == 100) {
    hundredths = 0;
    if (++seconds == 60) {
      seconds = 0;
      ++minutes;
    }
  }
  return minutes * 10000 + seconds * 100 + hundredths;
}

class SplitMix {
 public:
  explicit SplitMix(uint64_t seed) : state_(seed) {}
  // A number in [0, 1).
  double Unit() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / static_cast<double>(1ull << 53);
  }

 private:
  uint64_t state_;
};

// The age a class code stands for: the age itself under classes by age;
// under grade codes the usual age of the grade (小1 is 7 … 大4 is 22, the
// preschool codes 5, the adult and masters codes 30). 0: no such class.
int AgeOfClass(int code, bool byAge) {
  if (byAge) return code >= 5 && code <= 90 ? code : 0;
  if (code >= 5 && code <= 9) return 5;
  if (code >= 11 && code <= 16) return 6 + (code - 10);
  if (code >= 21 && code <= 23) return 12 + (code - 20);
  if (code >= 31 && code <= 33) return 15 + (code - 30);
  if (code >= 41 && code <= 44) return 18 + (code - 40);
  if (code >= 51 && code <= 65) return 30;
  return 0;
}

// A time per cell for a swimmer of `age`: individual events for men and
// women, relays for men, women and mixed teams.
using Cells = std::array<int32_t, shikaku_layout::kCells>;

Cells ClubCells(int age, double factor, SplitMix& rng, bool withRelays) {
  Cells cells{};
  for (int sex = 1; sex <= 3; ++sex) {
    for (int e = 1; e <= 29; ++e) {
      if (IsRelay(e) ? !withRelays : sex == 3) continue;
      double s = kWorldSeconds[static_cast<size_t>(e)] * kClubLevel * AgeFactor(age) * factor;
      s *= sex == 2 ? kWomen : (sex == 3 ? kMixed : 1.0);
      s *= 1.0 + 0.02 * rng.Unit();
      cells[static_cast<size_t>(CellOf(sex, e))] = TimeCodeOf(s);
    }
  }
  return cells;
}

void SetCells(ShikakuTable& table, int r, const Cells& cells) { table.Change(r)->cellTimes = cells; }

}  // namespace

ShikakuTable SampleStandardsTable(uint64_t seed, std::string_view classMode) {
  ShikakuTable table = ShikakuTable::Fresh();
  SplitMix rng(seed * 0x2545F4914F6CDD1Dull + 7);
  bool byAge = classMode == "1";

  // Levels 世界 … 地区 × general and school records: records 141–170.
  for (int sex = 1; sex <= 3; ++sex) {
    for (int e = 1; e <= 29; ++e) {
      if (sex == 3 && !IsRelay(e)) continue;
      double world = kWorldSeconds[static_cast<size_t>(e)] * (sex == 2 ? kWomen : (sex == 3 ? kMixed : 1.0));
      size_t cell = static_cast<size_t>(CellOf(sex, e));
      for (int cat = 0; cat < 5; ++cat) {
        int32_t faster = 0;
        for (int level = 0; level < 6; ++level) {
          double s = world * kLevelFactor[static_cast<size_t>(level)] * kSchoolFactor[static_cast<size_t>(cat)];
          s *= 1.0 + 0.008 * rng.Unit();
          int32_t code = TimeCodeOf(s);
          if (code <= faster) code = NextTime(faster);  // never faster than the level above
          faster = code;
          table.Change(141 + level * 5 + cat)->cellTimes[cell] = code;
        }
      }
    }
  }
  // School records are never faster than the general record of their level.
  for (int level = 0; level < 6; ++level) {
    int base = 141 + level * 5;
    for (int cat = 1; cat < 5; ++cat)
      for (size_t c = 0; c < shikaku_layout::kCells; ++c) {
        int32_t& t = table.Change(base + cat)->cellTimes[c];
        t = std::max(t, table.record(base).cellTimes[c]);
      }
  }

  // Meet records (171–270) and 標準4 (471–570) per class code.
  for (int code = 1; code <= 100; ++code) {
    int age = AgeOfClass(code, byAge);
    if (age == 0) continue;
    SetCells(table, 170 + code, ClubCells(age, kMeetRecordPace, rng, true));
    SetCells(table, 470 + code, ClubCells(age, kStandard4Pace, rng, true));
  }
  // 標準1 by age (271–370): the adults of 19 to 29 share one standard.
  for (int age = 5; age <= 90; ++age) SetCells(table, 270 + age, ClubCells(age, kStandard1Pace, rng, false));
  for (int age = 19; age <= 29; ++age) {
    table.Change(270 + age)->cellTimes = table.record(270 + 19).cellTimes;
    table.Change(270 + age)->groupKey = 270 + 19;
  }
  // 標準2 by grade code (371–470).
  for (int code = 1; code <= 100; ++code) {
    int age = AgeOfClass(code, false);
    if (age != 0) SetCells(table, 370 + code, ClubCells(age, kStandard2Pace, rng, false));
  }
  // The 級 ladder (1–140): per age band, level 1 the easiest time and level
  // 14 the fastest, as the level check climbs it.
  constexpr std::array<int, 10> kBandAges = {8, 9, 10, 11, 12, 13, 14, 15, 17, 22};
  for (int band = 0; band < 10; ++band) {
    Cells previous{};
    for (int level = 14; level >= 1; --level) {
      Cells cells = ClubCells(kBandAges[static_cast<size_t>(band)], 0.98 + 0.07 * (14 - level), rng, false);
      for (size_t c = 0; c < cells.size(); ++c)
        if (cells[c] != 0 && cells[c] <= previous[c]) cells[c] = NextTime(previous[c]);
      SetCells(table, band * 14 + level, cells);
      previous = cells;
    }
  }
  return table;
}

Result<SampleStandardsWritten> WriteSampleStandards(const std::filesystem::path& meetFolder, uint64_t seed,
                                                    std::string_view classMode, const DateTime& now) {
  SampleStandardsWritten written;
  written.file = ShikakuFilePath(meetFolder);
  auto kept = KeepBackup(meetFolder, written.file, now);
  if (!kept) return std::unexpected(kept.error());
  written.backup = *kept;
  if (auto ok = WriteWholeFile(written.file, ShikakuTableBytes(SampleStandardsTable(seed, classMode))); !ok)
    return std::unexpected(ok.error());
  return written;
}

}  // namespace meet
