// taikai.dat's race records straight from the bytes and back, through both
// race buffers, and every reader of the file agreeing on its race count.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "data/meet_files.h"
#include "data/race_file.h"
#include "fuzz_bytes.h"
#include "fuzz_support.h"
#include "print/program_pages.h"

using namespace meet;
namespace L = meet::race_layout;

namespace {

bool SameNumbers(const Race& a, const Race& b) {
  return a.eventNo == b.eventNo && a.heatNo == b.heatNo && a.heatTotal == b.heatTotal && a.classFrom == b.classFrom &&
         a.classTo == b.classTo && a.eventCode == b.eventCode && a.relayRec == b.relayRec && a.laneNo == b.laneNo &&
         a.laneTime == b.laneTime && a.laneEntryTime == b.laneEntryTime && a.laneRank == b.laneRank &&
         a.openLevel == b.openLevel && a.ageLevel == b.ageLevel && a.laneRecordClass == b.laneRecordClass;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto bytes = fuzz::Bytes(data, size);
  const int64_t records = fuzz::RecordsIn(bytes, L::kRecordLength);
  for (int64_t r = L::kFirstRaceRecord; r <= std::min(records, L::kFirstRaceRecord - 1 + fuzz::kRecordsDecoded); ++r) {
    const Record record = fuzz::RecordOf(bytes, r, L::kRecordLength);
    // Race buffer B keeps the start time as stored; buffer A, read by
    // LoadRace below, adds the colons.
    const Race race = RaceFromRecord(record, false);
    fuzz::Expect(SameNumbers(race, RaceFromRecord(RecordFromRace(race, false), false)),
                 "a race written back keeps its numbers");
  }
  fuzz::Put(fuzz::Meet() / "taikai.dat", data, size);
  const int count = ReadRaceCount(fuzz::Meet());
  fuzz::Expect(count >= 0 && count <= std::max<int64_t>(0, records - (L::kFirstRaceRecord - 1)),
               "the race count within the race records the file holds");
  for (int n : {0, count, L::kMaxRace + 1}) {
    (void)LoadRace(fuzz::Meet(), n);
    (void)LoadRaceB(fuzz::Meet(), n);
  }
  if (auto races = LoadAllRaces(fuzz::Meet()))
    fuzz::Expect(static_cast<int>(races->size()) == count, "every race loaded is counted");
  const RaceFileImage image = RaceFileImage::FromBytes(std::string(bytes));
  fuzz::Expect(image.raceCount() == count, "the race file image counts the races the race file does");
  for (int n : {-1, 0, 1, count, count + 1}) (void)image.race(n);
  return 0;
}
