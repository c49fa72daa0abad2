// The text dumps' lines: the whole text checked as "旧データ入力" checks it,
// each line into its record, and the line written from that record read back
// to the same record (a dump written can always be read again).
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/cp932.h"
#include "data/race_layout.h"
#include "data/relay_layout.h"
#include "fuzz_bytes.h"
#include "print/hpro_layout.h"
#include "program/projun_layout.h"
#include "race/text_dumps.h"
#include "records/shikaku_file.h"

using namespace meet;

namespace {

struct Kind {
  DumpKind kind;
  size_t values, recordLength;
};
constexpr Kind kKinds[] = {{DumpKind::Races, kRacesDumpValues, race_layout::kRecordLength},
                           {DumpKind::Program, kProgramDumpValues, projun_layout::kRecordLength},
                           {DumpKind::Pages, kPagesDumpValues, hpro_layout::kRecordLength},
                           {DumpKind::Relays, kRelaysDumpValues, relay_layout::kRecordLength}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte picks the dump; the rest is its text.
  if (size == 0) return 0;
  const auto text = fuzz::Bytes(data + 1, size - 1);
  if (data[0] % 5 == 4) {
    if (auto lines = ParseDumpText(text, kStandardsDumpValues, ShikakuTable::kRecords, kStandardsDumpName))
      for (const auto& line : *lines)
        for (const std::string& v : line) (void)ParseTime(v);
    return 0;
  }
  const Kind& k = kKinds[data[0] % 5];
  auto lines = ParseDumpText(text, k.values, 1000, "dump.txt");
  if (!lines) return 0;
  for (const auto& values : *lines) {
    fuzz::Expect(values.size() == k.values, "a line checked holds the dump's values");
    Record record(k.recordLength);
    if (!RecordFromDumpValues(k.kind, values, record)) continue;
    const std::string line = DumpLine(k.kind, record);
    auto again = ParseDumpText(EncodeCp932(line), k.values, 1, "dump.txt");
    fuzz::Expect(again.has_value() && again->size() == 1, "a line written is read back");
    Record reread(k.recordLength);
    fuzz::Expect(RecordFromDumpValues(k.kind, (*again)[0], reread).has_value(), "a line written is taken back");
    fuzz::Expect(DumpLine(k.kind, reread) == line, "a line written reads back to the same record");
  }
  return 0;
}
