// relay.dat's blocks straight from the bytes and back, and every reader of
// the file agreeing on its block count.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "data/meet_files.h"
#include "data/relay_file.h"
#include "fuzz_bytes.h"
#include "fuzz_support.h"

using namespace meet;
namespace L = meet::relay_layout;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto bytes = fuzz::Bytes(data, size);
  const int64_t records = fuzz::RecordsIn(bytes, L::kRecordLength);
  for (int64_t r = L::kFirstBlockRecord; r <= std::min(records, L::kFirstBlockRecord - 1 + fuzz::kRecordsDecoded); ++r) {
    const RelayBlock block = RelayBlockFromRecord(fuzz::RecordOf(bytes, r, L::kRecordLength));
    const RelayBlock again = RelayBlockFromRecord(RecordFromRelayBlock(block));
    fuzz::Expect(again.relayBlockNo == block.relayBlockNo && again.legMembers == block.legMembers &&
                     again.relayRace == block.relayRace && again.splitTimes == block.splitTimes,
                 "a relay block written back keeps its numbers");
    for (int leg : {-1, 0, 3, 4})
      for (int slot : {-1, 0, 11, 12}) (void)block.member(leg, slot);
  }
  const int held = RelayBlocksHeld(bytes);
  fuzz::Expect(held >= 0 && held <= std::max<int64_t>(0, records - (L::kFirstBlockRecord - 1)),
               "the block count within the blocks the bytes hold");
  fuzz::Put(fuzz::Meet() / "relay.dat", data, size);
  if (auto file = RelayFile::OpenForReading(fuzz::Meet())) {
    fuzz::Expect(file->relayCount() == held, "the relay file counts the blocks the bytes do");
    for (int b : {-1, 0, 1, held, held + 1, L::kMaxBlock + 1}) (void)file->Read(b);
  }
  if (auto blocks = LoadAllRelayBlocks(fuzz::Meet()))
    fuzz::Expect(static_cast<int>(blocks->size()) == held, "every block loaded is counted");
  return 0;
}
