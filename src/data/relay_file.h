// The relay file "relay.dat" of the meet folder: one block per relay race and
// per 1500m自由形 race, with the members of every leg and the split times.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "core/error.h"
#include "core/record_file.h"
#include "data/relay_layout.h"

namespace meet {

inline constexpr const char* kRelayFileName = "relay.dat";

struct RelayBlock {
  int16_t relayBlockNo = 0;
  std::array<int16_t, 48> legMembers{};  // leg l (0–3) of slot k (0–11) at l × 12 + k
  int16_t relayRace = 0;
  std::array<int32_t, 10> splitTimes{};  // first leg of a relay / 800 m of the 1500m

  // 0 for a leg or slot out of range.
  int16_t member(int leg, int slot) const {
    if (leg < 0 || leg > 3 || slot < 0 || slot > 11) return 0;
    return legMembers[static_cast<size_t>(leg * 12 + slot)];
  }
};

// The open relay file (`OpenRelayFile`): created empty when missing; closed
// when it goes out of scope.
class RelayFile {
 public:
  static Result<RelayFile> Open(const std::filesystem::path& meetFolder);
  // Opens for reading only; a missing file reads as zero blocks.
  static Result<RelayFile> OpenForReading(const std::filesystem::path& meetFolder);

  // Blocks in the file: the header's relayCount clamped to 0 .. the blocks the
  // file holds (0 when it holds 10 bytes or less).
  int16_t relayCount() const { return relayCount_; }
  // Block b (from 1); past the end reads as zeros; b below 1 as an empty block.
  RelayBlock Read(int b) const;
  // Writes block b (1 .. kMaxBlock; any other number is refused).
  Status Write(int b, const RelayBlock& block);
  // Writes the header with a new block count (the filler as NUL); a negative
  // count is refused.
  Status SetRelayCount(int16_t count);

 private:
  RelayFile(RecordFile file, int16_t count) : file_(std::move(file)), relayCount_(count) {}
  RecordFile file_;
  int16_t relayCount_ = 0;
};

// A race of this event code has a relay block of its own: the relays (codes
// above 22) and the 1500m自由形 (code 7), whose 800 m splits the block keeps.
inline bool IsRelayLinked(int eventCode) { return eventCode > 22 || eventCode == 7; }

// The block count of relay.dat's bytes as RelayFile reads it: the header's
// relayCount clamped to 0 .. the blocks the bytes hold.
int16_t RelayBlocksHeld(std::string_view fileBytes);

RelayBlock RelayBlockFromRecord(const Record& record);
Record RecordFromRelayBlock(const RelayBlock& block);

}  // namespace meet
