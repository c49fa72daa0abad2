// The meet folder check (点検): the input's first byte picks which file of the
// meet folder it replaces, the rest are that file's bytes; every file is read
// and compared with the others, then the file is put back.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "fuzz_support.h"
#include "results/meet_check.h"

using namespace meet;

namespace {

struct Kind {
  const char* corpus;
  const char* name;
};
constexpr Kind kKinds[] = {{"kijun", "kijun.dat"},       {"taikai", "taikai.dat"},     {"relay", "relay.dat"},
                           {"race_states", "Race.dat"}, {"projun", "projun.dat"},     {"hpro", "hpro.dat"},
                           {"shikaku", "shikaku.dat"},   {"biko", "biko.dat"},         {"optkubun", "optkubun.dat"},
                           {"entry", "fz.Mos"},         {"goal", "goal/G0001"},       {"lap", "lap/R0001"}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const Kind& kind = kKinds[data[0] % std::size(kKinds)];
  const bool entry = std::string(kind.corpus) == "entry";
  const std::filesystem::path file = entry ? fuzz::EntryFile() : fuzz::Meet() / kind.name;
  fuzz::Put(file, data + 1, size - 1);
  const MeetCheckReport report = CheckMeetFolder(fuzz::Meet(), fuzz::EntryFile());
  (void)report.Summary();
  fuzz::Restore(kind.corpus, std::filesystem::path(kind.name).filename().string(), file);
  return 0;
}
