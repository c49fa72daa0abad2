// Race.dat shared with the timing system: the states read from the bytes,
// and one state changed and written back touching only its own byte (the
// file grown by whole records of "0" when the race lies beyond it).
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "data/race_file.h"
#include "data/race_states.h"
#include "fuzz_bytes.h"
#include "fuzz_support.h"

using namespace meet;

namespace {

std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first three bytes pick the race and its new state: 32767 and 32757
  // (the last race) as they are, others within two records past the file's
  // end (growing the file further costs the run without reaching more).
  if (size < 3) return 0;
  int race = static_cast<uint16_t>(fuzz::I16At(fuzz::Bytes(data, 2), 0)) & 0x7fff;
  if (race < race_layout::kMaxRace) race %= static_cast<int>(size - 3 + 2 * kRaceStateRecordLength);
  const char state = static_cast<char>(data[2]);
  const std::string before(fuzz::Bytes(data + 3, size - 3));
  const auto path = fuzz::Meet() / "Race.dat";
  fuzz::Put(path, data + 3, size - 3);
  auto states = RaceStates::Read(fuzz::Meet());
  if (!states) return 0;
  fuzz::Expect(states->text() == before.substr(0, kRaceStateMaxBytes), "the states read are the file's bytes");
  for (int n : {-1, 0, 1, race, static_cast<int>(before.size()), static_cast<int>(before.size()) + 1})
    (void)states->state(n);
  states->Set(race, state);
  if (!states->Write(fuzz::Meet())) return 0;
  const std::string after = FileBytes(path);
  const bool inRange = race >= 1 && race <= race_layout::kMaxRace;
  const size_t reach = inRange ? static_cast<size_t>(race) : 0;
  size_t grown = before.size();
  if (reach > before.size()) grown = (reach + kRaceStateRecordLength - 1) / kRaceStateRecordLength * kRaceStateRecordLength;
  fuzz::Expect(after.size() == grown, "Race.dat grows only by whole records to reach the race");
  std::string expected = before;
  expected.resize(grown, kStateNoRace);
  if (inRange) expected[reach - 1] = state;
  fuzz::Expect(after == expected, "writing a state changes only that race's byte");
  fuzz::Expect(states->text() == after.substr(0, kRaceStateMaxBytes), "the states kept are the bytes written");
  return 0;
}
