#include "results/projun2_file.h"

#include <algorithm>

#include "core/file_names.h"
#include "core/numbers.h"
#include "core/sort_strings.h"

namespace meet {

namespace {

namespace L = projun_layout;

// A number of the key: blank-padded to six characters (out-of-range values
// from a damaged file are clamped so that the width holds).
std::string KeyNumber(int64_t value) { return RightAligned(std::clamp<int64_t>(value, 0, 99999), 6); }

}  // namespace

std::string EventOrderKey(const ProgramEntry& entry, int position) {
  const std::string sex = entry.sexCode.empty() ? std::string(" ") : entry.sexCode.substr(0, 1);
  return sex + KeyNumber(int64_t{entry.eventCode} + 100) + KeyNumber(int64_t{entry.ageFrom} + 100) +
         KeyNumber(int64_t{entry.ageTo} + 100) + KeyNumber(int64_t{position} + 10000);
}

std::vector<EventOrderEntry> EventOrder(const ProgramOrder& order) {
  std::vector<std::string> keys;
  std::vector<ProgramEntry> entries(static_cast<size_t>(order.count()) + 1);
  for (int n = 1; n <= order.count(); ++n) {
    ProgramEntry e = order.Read(n);
    if (e.orderNo == 0) continue;
    keys.push_back(EventOrderKey(e, n));
    entries[static_cast<size_t>(n)] = std::move(e);
  }
  SortStrings(keys);
  std::vector<EventOrderEntry> out;
  out.reserve(keys.size());
  for (const std::string& key : keys) {
    const int position = static_cast<int>(LeadingNumber(key.substr(key.size() - 6)) - 10000);
    out.push_back(EventOrderEntry{position, entries[static_cast<size_t>(position)]});
  }
  return out;
}

std::string EventOrderFileBytes(const ProgramOrder& order, const std::vector<EventOrderEntry>& entries) {
  // A projun.dat too short to hold its header gets a fresh one.
  std::string header = order.bytes().size() >= L::kRecordLength ? order.bytes().substr(0, L::kRecordLength)
                                                                  : ProgramHeaderRecord(0).bytes();
  std::string bytes = header + std::string(L::kRecordLength * (L::kFirstEntryRecord - 2), '\0');
  for (const EventOrderEntry& e : entries) {
    bytes += RecordFromProgramEntry(e.entry).bytes();
  }
  return bytes;
}

Result<std::vector<EventOrderEntry>> RebuildEventOrderFile(const std::filesystem::path& meetFolder,
                                                           const ProgramOrder& order) {
  std::vector<EventOrderEntry> entries = EventOrder(order);
  if (auto ok = WriteWholeFile(FindFile(meetFolder, kEventOrderFileName), EventOrderFileBytes(order, entries)); !ok)
    return std::unexpected(ok.error());
  return entries;
}

}  // namespace meet
