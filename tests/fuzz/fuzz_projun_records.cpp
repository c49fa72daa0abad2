// projun.dat's program entries straight from the bytes and back, and the
// race days worked out from them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_bytes.h"
#include "program/projun_file.h"

using namespace meet;
namespace L = meet::projun_layout;

namespace {

bool SameNumbers(const ProgramEntry& a, const ProgramEntry& b) {
  return a.orderNo == b.orderNo && a.heatCount == b.heatCount && a.ageFrom == b.ageFrom && a.ageTo == b.ageTo &&
         a.eventCode == b.eventCode && a.perHeatTime == b.perHeatTime && a.totalTime == b.totalTime &&
         a.startTime == b.startTime && a.firstRace == b.firstRace && a.entrySpare == b.entrySpare &&
         a.excludedHeats == b.excludedHeats;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(fuzz::Bytes(data, size));
  const ProgramOrder order = ProgramOrder::FromBytes("projun.dat", bytes);
  const int count = order.count();
  const int64_t records = fuzz::RecordsIn(bytes, L::kRecordLength);
  fuzz::Expect(count >= 0 && count <= std::max<int64_t>(0, records - (L::kFirstEntryRecord - 1)),
               "the entry count within the entries the file holds");
  for (int n : {-1, 0, count + 1, L::kMaxEntries, L::kMaxEntries + 1}) (void)order.Read(n);
  for (int n = 1; n <= std::min<int>(count, fuzz::kRecordsDecoded); ++n) {
    const ProgramEntry e = order.Read(n);
    fuzz::Expect(SameNumbers(e, ProgramEntryFromRecord(RecordFromProgramEntry(e))),
                 "a program entry written back keeps its numbers");
    (void)HhmmssToSeconds(e.totalTime);
    (void)SecondsToHhmmss(HhmmssToSeconds(e.startTime));
    (void)MmssToSeconds(e.perHeatTime);
  }
  const int races = size > 0 ? 1 + data[0] * 8 : 0;
  const auto days = RaceDays(order, races);
  fuzz::Expect(static_cast<int>(days.size()) >= races, "a day for every race");
  return 0;
}
