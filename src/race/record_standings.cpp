#include "race/record_standings.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include "data/race_layout.h"
#include "race/standards_check.h"
#include "records/shikaku_layout.h"

namespace meet {

namespace {

constexpr int kCheckedSlots = 10;          // lanes 1 to 10; the alternates never swim for a record
constexpr int32_t kLastSwimTime = 595899;  // participation and the status codes start above

int SexNumber(char sexCode) { return sexCode >= '1' && sexCode <= '3' ? sexCode - '0' : 0; }

}  // namespace

RecordStandings::RecordStandings(const ShikakuTable& table, const RaceFileImage& races, EntryOf entryOf,
                                 std::string classMode)
    : table_(table), races_(races), entryOf_(std::move(entryOf)), classMode_(std::move(classMode)) {}

const RecordStandings::Swimmer& RecordStandings::SwimmerOf(int16_t entryNo) const {
  // Entry numbers are 16-bit: one place for each, made when first needed.
  const size_t at = static_cast<size_t>(entryNo) - std::numeric_limits<int16_t>::min();
  if (swimmers_.empty()) swimmers_.resize(size_t{1} << 16);
  Swimmer& who = swimmers_[at];
  if (who.schoolLevel == '\0') {
    static const Entry kNobody;
    const Entry& entry = entryOf_ ? entryOf_(entryNo) : kNobody;
    who.schoolLevel = SchoolLevel(entry);
    who.category = CategoryNumber(entry, classMode_);
    if (who.schoolLevel == '\0') who.schoolLevel = ' ';
  }
  return who;
}

const RecordStandings::Index& RecordStandings::IndexOf(int sex, int eventCode) const {
  const Key key{sex, eventCode};
  if (auto it = indexes_.find(key); it != indexes_.end()) return it->second;
  if (!grouped_) {
    // Only the sex and event code of every race: the lanes are read for the
    // races of a sex and event asked.
    grouped_ = true;
    for (int n = 1; n <= races_.raceCount(); ++n) {
      const Record record = races_.RecordOf(n);
      const int s = SexNumber(record.Byte(race_layout::kSexCode));
      if (s != 0) racesOf_[{s, record.I16(race_layout::kEventCode)}].push_back(n);
    }
  }
  Index& index = indexes_[key];
  const auto group = racesOf_.find(key);
  if (group == racesOf_.end()) return index;
  for (int n : group->second) {
    const Race race = races_.race(n);
    for (size_t k = 0; k < kCheckedSlots; ++k) {
      const int32_t time = race.laneTime[k];
      if (race.laneNo[k] == 0 || time < 1 || time > kLastSwimTime || race.laneRecordClass[k] == kExhibitionClass)
        continue;
      const Swimmer& who = SwimmerOf(race.laneNo[k]);
      for (const RecordChecked& c : RecordsChecked(sex, eventCode, who.schoolLevel, who.category)) {
        if (c.recordNo < 1 || c.recordNo > ShikakuTable::kRecords || c.position < 1 ||
            c.position > shikaku_layout::kCells)
          continue;
        const int32_t stored = table_.record(c.recordNo).cellTimes[static_cast<size_t>(c.position - 1)];
        if (stored == 0 || time >= stored) continue;
        std::vector<Breaking>& swims = index[{c.recordNo, c.position}];
        // Races come in ascending order: the best so far runs along.
        const int32_t best = swims.empty() ? time : std::min(time, swims.back().best);
        if (!swims.empty() && swims.back().race == n)
          swims.back().best = best;
        else
          swims.push_back({n, best});
      }
    }
  }
  return index;
}

int32_t RecordStandings::Before(int raceNo, int sex, int eventCode, int recordNo, int position) const {
  if (recordNo < 1 || recordNo > ShikakuTable::kRecords || position < 1 || position > shikaku_layout::kCells) return 0;
  const int32_t stored = table_.record(recordNo).cellTimes[static_cast<size_t>(position - 1)];
  if (stored == 0) return 0;
  const Index& index = IndexOf(sex, eventCode);
  const auto it = index.find({recordNo, position});
  if (it == index.end()) return stored;
  const std::vector<Breaking>& swims = it->second;
  // The last swim of a race before raceNo holds the best of all before it.
  const auto after = std::lower_bound(swims.begin(), swims.end(), raceNo,
                                      [](const Breaking& b, int r) { return b.race < r; });
  if (after == swims.begin()) return stored;
  return std::min(stored, std::prev(after)->best);
}

}  // namespace meet
