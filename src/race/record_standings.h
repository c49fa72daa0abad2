// The records of shikaku.dat as they stand during the meet. A record is
// broken once: a swim that beats it is, for every later race of its sex and
// event, the time to beat. shikaku.dat itself is never rewritten; how a
// record stands is worked out from the race file whenever it is asked.
//
// An earlier swim is a lane (slots 0–9, with a swimmer) of a race with a
// lower race number, the same sex and event code, a swim time (not 0, not
// participation nor a status) and not an exhibition (record class 99) that
// beats the stored value of a record it is compared with (the records of
// `RecordsChecked`: so a school record only by a swimmer of that school
// level, a meet record only by a swimmer of that category). A swim of the
// same race is not earlier. A stored value of 0 (no record) is never broken.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "data/entry_file.h"
#include "print/program_pages.h"
#include "records/shikaku_file.h"

namespace meet {

class RecordStandings {
 public:
  // Entry n of the entry file (an entry it does not hold reads as empty);
  // the reference is used at once, before the next call.
  using EntryOf = std::function<const Entry&(int entryNo)>;

  // Over the races of `races`. The table and the races are kept by
  // reference and must outlive this object. Nothing is read before the
  // first question; then the sex and event of every race, and the lanes of
  // a sex and event (with their swimmers) when that sex and event is first
  // asked.
  RecordStandings(const ShikakuTable& table, const RaceFileImage& races, EntryOf entryOf, std::string classMode);

  // Record `recordNo` at `position` (from 1) for a swim of race `raceNo` of
  // sex `sex` (1–3) and event `eventCode`: the better of the stored value
  // and every earlier swim that broke it; 0 when the stored value is 0 or
  // the record or position lies outside the table. Never above the stored
  // value, so a swim that does not beat the stored value need not ask.
  int32_t Before(int raceNo, int sex, int eventCode, int recordNo, int position) const;

 private:
  // One earlier swim that broke a record, and the best time up to it.
  struct Breaking {
    int race = 0;
    int32_t best = 0;
  };
  using Key = std::pair<int, int>;  // (sex, event code) or (record, position)
  using Index = std::map<Key, std::vector<Breaking>>;

  // What decides which records a swimmer's swims are compared with (school
  // level '\0': not looked up yet).
  struct Swimmer {
    char schoolLevel = '\0';
    int category = 0;
  };

  const Index& IndexOf(int sex, int eventCode) const;
  const Swimmer& SwimmerOf(int16_t entryNo) const;

  const ShikakuTable& table_;
  const RaceFileImage& races_;
  EntryOf entryOf_;
  std::string classMode_;
  // Made when first needed: the race numbers of each sex and event code
  // (ascending); the index of a sex and event when first asked.
  mutable bool grouped_ = false;
  mutable std::map<Key, std::vector<int>> racesOf_;
  mutable std::map<Key, Index> indexes_;
  mutable std::vector<Swimmer> swimmers_;  // by entry number + 32768
};

}  // namespace meet
