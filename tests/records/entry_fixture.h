// Entry files for the record check's tests: entrants with the fields the
// check reads, written record by record as the entry program lays them out.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "data/entry_file.h"
#include "data/entry_layout.h"

namespace meet::test {

inline Entry Entrant(int32_t entryNo, const std::string& name, const std::string& grade, int age,
                     const std::string& sex = "1", const std::string& affiliation = "ＡＢＣ水泳") {
  Entry e;
  e.entryNo = entryNo;
  e.swimmerName = name;
  e.affiliation = affiliation;
  e.gradeCode = grade;
  e.age = static_cast<int16_t>(age);
  e.sexCode = sex;
  return e;
}

// Header (count, class scheme), record 2, records 3–10 and the entrants.
inline std::string EntryFileBytes(const std::vector<Entry>& entrants, int16_t classScheme = 0) {
  EntryHeader h;
  h.entryCount = static_cast<int32_t>(entrants.size());
  h.classScheme = classScheme;
  std::string bytes = RecordFromEntryHeader(h).bytes() + RecordFromEventDefinitions(EventDefinitions{}).bytes();
  bytes += std::string(entry_layout::kRecordLength * 8, '\0');
  for (const Entry& e : entrants) bytes += RecordFromEntry(e).bytes();
  return bytes;
}

}  // namespace meet::test
