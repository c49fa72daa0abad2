// What the byte-level targets share: the input as bytes, its records, and a
// rule of the reader that the input broke (the run stops there and libFuzzer
// keeps the input as a finding).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/record_file.h"

namespace meet::fuzz {

inline std::string_view Bytes(const uint8_t* data, size_t size) { return {reinterpret_cast<const char*>(data), size}; }

inline void Expect(bool holds, const char* rule) {
  if (holds) return;
  std::fprintf(stderr, "fuzz: broken rule: %s\n", rule);
  std::abort();
}

// Records the bytes hold completely or in part.
inline int64_t RecordsIn(std::string_view bytes, size_t length) {
  return static_cast<int64_t>((bytes.size() + length - 1) / length);
}
// Record n (from 1) of the bytes; past the end zero bytes.
inline Record RecordOf(std::string_view bytes, int64_t n, size_t length) {
  const size_t at = static_cast<size_t>(n - 1) * length;
  if (n < 1 || at >= bytes.size()) return Record(length);
  return Record(std::string(bytes.substr(at, length)), length);
}
// The records a target decodes one by one: every record's code is the same,
// and a run must stay fast.
inline constexpr int64_t kRecordsDecoded = 16;

// The little-endian Integer at a byte offset (0 past the end).
inline int16_t I16At(std::string_view bytes, size_t at) {
  if (at + 2 > bytes.size()) return 0;
  return static_cast<int16_t>(static_cast<uint8_t>(bytes[at]) | (static_cast<uint8_t>(bytes[at + 1]) << 8));
}

}  // namespace meet::fuzz
