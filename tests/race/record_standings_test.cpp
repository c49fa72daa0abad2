#include "race/record_standings.h"

#include <gtest/gtest.h>

#include "race/kyogi_fixture.h"
#include "race/standards_check.h"

namespace meet {
namespace {

// 男子 50m自由形 is position 2 (cell 1) of every record.
constexpr int kCell = 1;

// One swim: who (grade code) swam which time in which race, with which
// record class on the lane before the check.
struct Swim {
  int race;
  const char* grade;
  int32_t time;
  int recordClass = 0;
  std::string sex = "1";
};

using Broken = std::pair<int, int32_t>;  // record class, the record beaten

struct Case {
  const char* name;
  std::vector<Swim> others;  // the other swims of the meet
  Swim checked;              // the swim checked, in slot 0 of its race
  std::vector<Broken> broken;
};

// Stored: 地区 (class 26, record 166) 24.70, 地区中学 (29, 169) and
// 地区学童 (30, 170) 26.00, the meet records of grades 31 and 32 (records 201,
// 202) 26.00; 日本 (11, 151) is empty. Grade "00" has no school level and
// the empty meet record of category 1.
TEST(RecordStandings, ARecordIsBrokenOnce) {
  const std::vector<Case> cases = {
      {"the heat breaks it, a slower final under the old record does not", {{1, "00", 2463}}, {2, "00", 2464}, {}},
      {"a faster final breaks it again, against the heat's time", {{1, "00", 2463}}, {2, "00", 2460}, {{26, 2463}}},
      {"two swimmers of the same race under the record both break it", {{2, "00", 2465}}, {2, "00", 2466},
       {{26, 2470}}},
      {"a school record of another school level is another record", {{1, "15", 2550}}, {2, "21", 2580},
       {{29, 2600}}},
      {"the same school level: the heat's time stands", {{1, "15", 2550}}, {2, "16", 2580}, {}},
      {"the meet record of another category is another record", {{1, "31", 2550}}, {2, "32", 2580}, {{31, 2600}}},
      {"an empty stored record is never broken, not even after an earlier swim", {{1, "00", 2300}}, {2, "00", 2200},
       {{26, 2300}}},
      {"an exhibition swim under the record is not an earlier swim", {{1, "00", 2463, 99}}, {2, "00", 2465},
       {{26, 2470}}},
      {"a later race is not earlier", {{3, "00", 2400}}, {2, "00", 2465}, {{26, 2470}}},
      {"another sex is another record", {{1, "00", 2400, 0, "2"}}, {2, "00", 2465}, {{26, 2470}}},
      {"the best of several earlier swims stands", {{1, "00", 2468}, {3, "00", 2300}, {1, "00", 2462}, {2, "00", 2461}},
       {4, "00", 2463}, {}},
  };
  test::TempDir dir;
  test::WriteFile(dir / "shikaku.dat", test::ShikakuBytes(570, {{166, kCell, 2470},
                                                                {169, kCell, 2600},
                                                                {170, kCell, 2600},
                                                                {201, kCell, 2600},
                                                                {202, kCell, 2600}}));
  auto table = LoadShikaku(dir.path());
  ASSERT_TRUE(table.has_value());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<test::HandRace> races(4);
    std::vector<Entry> entries;
    auto place = [&](const Swim& s) {
      Entry e;
      e.gradeCode = s.grade;
      e.age = 16;
      entries.push_back(e);
      test::HandRace& r = races[static_cast<size_t>(s.race - 1)];
      r.sex = s.sex;
      size_t k = 0;
      while (r.laneNo[k] != 0) ++k;
      r.laneNo[k] = static_cast<int>(entries.size());
      r.laneTime[k] = s.time;
      r.recordClass[k] = s.recordClass;
    };
    place(c.checked);
    for (const Swim& s : c.others) place(s);
    const RaceFileImage image = RaceFileImage::FromBytes(test::RaceFileBytes(races));
    const Entry nobody;
    const RecordStandings standings(
        *table, image,
        [&](int n) -> const Entry& { return n >= 1 && n <= static_cast<int>(entries.size()) ? entries[n - 1] : nobody; },
        "0");
    const LaneCheck check = CheckLane(*table, 1, 2, c.checked.time, entries[0], "0", &standings, c.checked.race);
    std::vector<Broken> broken;
    for (const BrokenRecord& b : check.broken) broken.push_back({b.recordClass, b.recordTime});
    EXPECT_EQ(broken, c.broken);
    EXPECT_EQ(check.recordClass, c.broken.empty() ? 0 : c.broken.back().first);
  }
}

}  // namespace
}  // namespace meet
