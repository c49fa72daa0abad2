#include "data/sample_entries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "core/cp932.h"
#include "core/naming.h"
#include "core/numbers.h"
#include "data/entry_file.h"
#include "support/test_support.h"

namespace meet {
namespace {

using test::Le16;
using test::Le32;
using test::Sjis;

const DateTime kToday{2026, 12, 8, 9, 0, 0};
constexpr size_t kRecord = 384;

std::string Bytes(const SampleOptions& options, const DateTime& today = kToday, SampleSummary* summary = nullptr) {
  auto bytes = SampleEntryFileBytes(options, today, summary);
  EXPECT_TRUE(bytes) << bytes.error().message;
  return bytes ? *bytes : std::string();
}

SampleOptions Options(int swimmers, uint64_t seed = 1, int scheme = 0, int course = 0) {
  SampleOptions o;
  o.swimmers = swimmers;
  o.seed = seed;
  o.scheme = scheme;
  o.course = course;
  return o;
}

bool IsRelayEvent(int code) { return (code >= 23 && code <= 29) || code == 31; }

// A calendar date from yyyymmdd, and the age on a day.
struct Ymd {
  int y = 0, m = 0, d = 0;
};
bool ValidDate(const Ymd& t) {
  static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (t.m < 1 || t.m > 12 || t.d < 1) return false;
  bool leap = (t.y % 4 == 0 && t.y % 100 != 0) || t.y % 400 == 0;
  return t.d <= days[t.m - 1] + (t.m == 2 && leap ? 1 : 0);
}
int AgeOn(const Ymd& birth, const Ymd& day) {
  return day.y - birth.y - ((day.m * 100 + day.d) < (birth.m * 100 + birth.d) ? 1 : 0);
}
// Years since starting elementary school (1 = 小1), the school year starting
// on 1 April and those born on 1 April belonging to the year before.
int SchoolYear(const Ymd& birth, const Ymd& day) {
  int schoolYear = day.m >= 4 ? day.y : day.y - 1;
  int cohort = (birth.m * 100 + birth.d) >= 402 ? birth.y : birth.y - 1;
  return schoolYear - cohort - 6;
}

// What the sample file holds, read back through the entry file.
struct ReadBack {
  EntryHeader header;
  EventDefinitions events;
  std::vector<Entry> entries;
  std::vector<std::string> records;  // raw bytes of each entry record
  int32_t held = 0;
};

ReadBack Load(const std::filesystem::path& path) {
  ReadBack r;
  auto file = EntryFile::OpenForReading(path);
  EXPECT_TRUE(file) << file.error().message;
  if (!file) return r;
  r.header = file->header();
  r.events = file->Events();
  r.held = file->entriesHeld();
  std::string bytes = test::ReadFile(path);
  for (int32_t n = 1; n <= r.held; ++n) {
    r.entries.push_back(file->Load(n));
    r.records.push_back(bytes.substr((static_cast<size_t>(n) + 9) * kRecord, kRecord));
  }
  return r;
}

bool IsTeam(const Entry& e) { return e.regNo.substr(5, 8) == "00000000"; }

class SampleFile : public ::testing::Test {
 protected:
  ReadBack Make(const SampleOptions& options, const DateTime& today = kToday) {
    auto written = WriteSampleEntryFile(dir / "demo.Mos", options, today);
    EXPECT_TRUE(written) << written.error().message;
    if (written) summary = *written;
    return Load(dir / "demo.Mos");
  }
  test::TempDir dir;
  SampleSummary summary;
};

TEST(SampleEntries, TheSameOptionsGiveTheSameBytes) {
  std::string first = Bytes(Options(300));
  EXPECT_EQ(first, Bytes(Options(300)));
  EXPECT_NE(first, Bytes(Options(300, 2)));
  EXPECT_NE(first, Bytes(Options(300, 1, 2)));
  EXPECT_NE(first, Bytes(Options(300, 1, 0, 1)));
  // Seeds far apart, and 0, are seeds like any other.
  EXPECT_NE(Bytes(Options(50, 0)), Bytes(Options(50, UINT64_MAX)));
}

TEST(SampleEntries, OptionsOutOfRangeAreRefused) {
  const std::vector<SampleOptions> bad = {Options(-1), Options(kMaxSampleSwimmers + 1), Options(10, 1, 1),
                                          Options(10, 1, 3), Options(10, 1, 0, 2), Options(10, 1, 0, -1)};
  for (const auto& o : bad) {
    SCOPED_TRACE(std::to_string(o.swimmers) + " " + std::to_string(o.scheme) + " " + std::to_string(o.course));
    EXPECT_FALSE(CheckSampleOptions(o));
    auto bytes = SampleEntryFileBytes(o, kToday);
    ASSERT_FALSE(bytes);
    EXPECT_EQ(bytes.error().kind, ErrorKind::Invalid);
  }
  EXPECT_TRUE(CheckSampleOptions(Options(kMaxSampleSwimmers, 1, 2, 1)));
  EXPECT_FALSE(SampleEntryFileBytes(Options(10), DateTime{2026, 2, 30}));
  EXPECT_FALSE(SampleEntryFileBytes(Options(10), DateTime{2026, 13, 1}));
}

TEST(SampleEntries, HeaderAndOwnEventsAreWhereTheLayoutPutsThem) {
  SampleSummary summary;
  std::string bytes = Bytes(Options(40, 7, 2, 1), kToday, &summary);
  ASSERT_EQ(bytes.size(), (static_cast<size_t>(summary.entries) + 10) * kRecord);
  EXPECT_EQ(bytes.substr(0, 4), Le32(summary.entries));
  EXPECT_EQ(bytes.substr(4, 2), Le16(1));                   // entryCourse
  EXPECT_EQ(bytes.substr(6, 10), "2026/12/08");             // entryCreated
  EXPECT_EQ(bytes.substr(36, 10), "2026/12/08");            // entryDateFrom
  EXPECT_EQ(bytes.substr(46, 10), "2026/12/09");            // entryDateTo
  EXPECT_EQ(bytes.substr(63, 2), Le16(2));                  // classScheme
  EXPECT_EQ(bytes.substr(65, 2), Le16(0));                  // entryHeaderSpare
  EXPECT_EQ(bytes.substr(67, 8), Le32(20261208) + Le32(20261209));
  EXPECT_EQ(bytes.substr(75, 32), std::string(32, '\0'));   // entryDays 3–10
  for (size_t k = 56; k < 63; ++k) EXPECT_TRUE(bytes[k] >= '0' && bytes[k] <= '9') << k;  // entryMeetCode

  const std::string events = bytes.substr(kRecord, kRecord);
  EXPECT_EQ(events.substr(0, 8), Sjis("小学生", 8));
  EXPECT_EQ(events.substr(8, 8), Sjis("一般", 8));
  EXPECT_EQ(events.substr(16, 8), std::string(8, '\0'));
  EXPECT_EQ(events.substr(120, 16), Sjis("50mキック", 16));
  EXPECT_EQ(events.substr(136, 16), Sjis("200m混合リレー", 16));
  EXPECT_EQ(events.substr(360, 15), "01" + std::string(13, ' '));
  EXPECT_EQ(bytes.substr(2 * kRecord, 8 * kRecord), std::string(8 * kRecord, '\0'));  // records 3–10
}

TEST_F(SampleFile, HeaderReadsBackAsAPersonExpects) {
  ReadBack r = Make(Options(200, 3, 0, 0));
  EXPECT_EQ(r.header.entryCount, summary.entries);
  EXPECT_EQ(r.held, summary.entries);
  EXPECT_EQ(test::ReadFile(dir / "demo.Mos").size(), static_cast<size_t>(r.header.entryCount + 10) * kRecord);
  EXPECT_EQ(r.header.entryCourse, 0);
  EXPECT_EQ(r.header.classScheme, 0);
  EXPECT_EQ(TrimRight(r.header.entryMeetAbbrev), "冬季大会");
  EXPECT_NE(TrimRight(r.header.entryVenue).find("プール"), std::string::npos);
  EXPECT_EQ(TrimRight(r.header.entryMeetCode).size(), 7u);
  EXPECT_EQ(r.header.entryDays[0], 20261208);
  EXPECT_EQ(r.header.entryDays[1], 20261209);

  NamingContext naming;
  for (size_t k = 0; k < 15; ++k) {
    naming.extraEventNames[k] = r.events.extraEventNames[k];
    naming.extraClassNames[k] = r.events.extraClassNames[k];
  }
  EXPECT_EQ(EventName(30, naming), "50mキック");
  EXPECT_EQ(EventName(31, naming), "200m混合リレー");
  EXPECT_EQ(EventName(32, naming), "");
  EXPECT_EQ(r.events.extraRelayFlags[0], '0');
  EXPECT_EQ(r.events.extraRelayFlags[1], '1');
  for (size_t k = 2; k < 15; ++k) EXPECT_EQ(r.events.extraRelayFlags[k], ' ');
}

TEST_F(SampleFile, NoSwimmersGivesAHeaderOnlyFile) {
  ReadBack r = Make(Options(0));
  EXPECT_EQ(r.header.entryCount, 0);
  EXPECT_EQ(r.held, 0);
  EXPECT_EQ(summary.relayTeams, 0);
  EXPECT_EQ(test::ReadFile(dir / "demo.Mos").size(), 10 * kRecord);
}

TEST_F(SampleFile, ClubsComeOneAfterTheOtherAcrossThePrefectures) {
  static const char* const kPrefectureNames[47] = {
      "北海道", "青森県", "岩手県", "宮城県", "秋田県", "山形県", "福島県", "茨城県", "栃木県", "群馬県",
      "埼玉県", "千葉県", "東京都", "神奈川県", "新潟県", "富山県", "石川県", "福井県", "山梨県", "長野県",
      "岐阜県", "静岡県", "愛知県", "三重県", "滋賀県", "京都府", "大阪府", "兵庫県", "奈良県", "和歌山県",
      "鳥取県", "島根県", "岡山県", "広島県", "山口県", "徳島県", "香川県", "愛媛県", "高知県", "福岡県",
      "佐賀県", "長崎県", "熊本県", "大分県", "宮崎県", "鹿児島県", "沖縄県"};
  ReadBack r = Make(Options(1500, 11));
  std::set<std::string> clubsSeen, prefectures;
  std::set<std::string> entryCodes;
  std::string lastClub, lastAffiliation;
  for (size_t i = 0; i < r.entries.size(); ++i) {
    const Entry& e = r.entries[i];
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(e.entryNo, static_cast<int32_t>(i + 1));
    ASSERT_EQ(e.regNo.size(), 14u);
    ASSERT_EQ(e.regNo.substr(0, 13).find_first_not_of("0123456789"), std::string::npos);  // then one more character
    int pref = static_cast<int>(LeadingNumber(e.regNo.substr(0, 2)));
    ASSERT_GE(pref, 1);
    ASSERT_LE(pref, 47);
    prefectures.insert(e.regNo.substr(0, 2));
    EXPECT_EQ(TrimRight(e.prefName), kPrefectureNames[pref - 1]);
    EXPECT_EQ(e.entryCode7.substr(0, 2), e.regNo.substr(0, 2));
    EXPECT_EQ(e.entryCode7.find_first_not_of("0123456789"), std::string::npos);
    EXPECT_TRUE(entryCodes.insert(e.entryCode7).second) << e.entryCode7;
    EXPECT_EQ(e.entryText6c.size(), 6u);
    EXPECT_EQ(e.entryText6c.find_first_not_of("0123456789"), std::string::npos);
    // A club's entries are consecutive: once left, a club never comes back,
    // and its name is the same on all of them.
    std::string club = e.regNo.substr(0, 5);
    std::string affiliation = TrimRight(e.affiliation);
    EXPECT_FALSE(affiliation.empty());
    if (club != lastClub) {
      EXPECT_TRUE(clubsSeen.insert(club).second) << club;
      lastClub = club;
      lastAffiliation = affiliation;
    } else {
      EXPECT_EQ(affiliation, lastAffiliation);
    }
  }
  EXPECT_GT(clubsSeen.size(), 40u);
  EXPECT_GT(prefectures.size(), 30u);
}

TEST_F(SampleFile, TextsDecodeAndFitTheirFields) {
  ReadBack r = Make(Options(2000, 5, 0, 1));
  for (size_t i = 0; i < r.entries.size(); ++i) {
    const Entry& e = r.entries[i];
    SCOPED_TRACE(i + 1);
    for (const std::string* text : {&e.swimmerName, &e.swimmerKana, &e.affiliation, &e.prefName})
      EXPECT_EQ(text->find("\xEF\xBF\xBD"), std::string::npos) << *text;
    // Fields are blank-filled; the reading is half-width katakana (and a team letter).
    const std::string& rec = r.records[i];
    for (size_t k = 25; k < 65; ++k) EXPECT_NE(rec[k], '\0') << k;
    for (size_t k = 41; k < 57; ++k) {
      auto b = static_cast<uint8_t>(rec[k]);
      EXPECT_TRUE(b == ' ' || (b >= 0xA6 && b <= 0xDF) || (IsTeam(e) && b >= 'A' && b <= 'J')) << k;
    }
    if (IsTeam(e)) {
      // The team is named after its club, with its letter left whole.
      std::string name = TrimRight(e.swimmerName);
      std::string club = TrimRight(e.affiliation);
      ASSERT_EQ(name.substr(0, club.size()), club);
      std::string letter = name.substr(club.size());
      EXPECT_TRUE(letter >= "Ａ" && letter <= "Ｊ" && CharCount(letter) == 1) << name;
    } else {
      EXPECT_NE(e.swimmerName.find("　"), std::string::npos) << e.swimmerName;  // family　given
      EXPECT_NE(TrimRight(e.swimmerKana).find(' '), std::string::npos) << e.swimmerKana;
    }
  }
}

struct Day {
  DateTime today;
  Ymd ymd;
};

// Ages, birth dates and grades around the start of the school year and on a leap day.
TEST_F(SampleFile, SwimmersGradesFitTheirAgesAndBirthDates) {
  const std::vector<Day> days = {{{2026, 12, 8}, {2026, 12, 8}},
                                 {{2026, 4, 1}, {2026, 4, 1}},
                                 {{2026, 4, 2}, {2026, 4, 2}},
                                 {{2024, 2, 29}, {2024, 2, 29}}};
  for (const auto& day : days) {
    SCOPED_TRACE(DateSlashed(day.today));
    ReadBack r = Make(Options(1200, 21), day.today);
    int swimmers = 0, men = 0, women = 0;
    std::set<int> ages;
    for (const Entry& e : r.entries) {
      if (IsTeam(e)) continue;
      ++swimmers;
      SCOPED_TRACE(e.regNo);
      (e.sexCode == "1" ? men : women) += 1;
      EXPECT_TRUE(e.sexCode == "1" || e.sexCode == "2");
      ASSERT_GE(e.age, 6);
      ASSERT_LE(e.age, 70);
      ages.insert(e.age);
      Ymd birth{static_cast<int>(LeadingNumber(e.regNo.substr(5, 4))),
                static_cast<int>(LeadingNumber(e.regNo.substr(9, 2))),
                static_cast<int>(LeadingNumber(e.regNo.substr(11, 2)))};
      ASSERT_TRUE(ValidDate(birth)) << e.regNo;
      EXPECT_EQ(AgeOn(birth, day.ymd), e.age);
      // The grade is the school year of the birth date, in the codes of scheme 0.
      int g = SchoolYear(birth, day.ymd);
      int code = static_cast<int>(LeadingNumber(e.gradeCode));
      ASSERT_EQ(e.gradeCode.size(), 2u);
      if (g <= 0) {
        EXPECT_EQ(e.gradeCode, RightAligned(8 + g, 2));  // " 8" 年長
      } else if (g <= 6) {
        EXPECT_EQ(code, 10 + g);
      } else if (g <= 9) {
        EXPECT_EQ(code, 20 + g - 6);
      } else if (g <= 12) {
        EXPECT_EQ(code, 30 + g - 9);
      } else if (g <= 16) {
        EXPECT_EQ(code, 40 + g - 12);
      } else {
        EXPECT_GE(code, 51);
        EXPECT_LE(code, 61);
        EXPECT_EQ(code, 51 + std::max(0, (e.age - 20) / 5));
      }
      EXPECT_FALSE(ClassName(e.gradeCode, 0).empty()) << e.gradeCode;
    }
    EXPECT_EQ(swimmers, 1200);
    EXPECT_GT(men, 400);
    EXPECT_GT(women, 400);
    EXPECT_TRUE(ages.count(6) && ages.count(70));
  }
}

TEST_F(SampleFile, SchemeTwoCodesRiseWithAge) {
  ReadBack r = Make(Options(1500, 8, 2));
  EXPECT_EQ(r.header.classScheme, 2);
  std::map<int, std::set<int>> codesByAge;
  for (const Entry& e : r.entries) {
    int code = static_cast<int>(LeadingNumber(e.gradeCode));
    SCOPED_TRACE(e.regNo);
    EXPECT_GE(code, 51);
    EXPECT_LE(code, 77);
    EXPECT_NE(code, 63);
    EXPECT_FALSE(ClassName(e.gradeCode, 2).empty()) << e.gradeCode;
    if (!IsTeam(e)) codesByAge[e.age].insert(code);
  }
  // One code per age, never lower for an older swimmer.
  int previous = 0;
  for (const auto& [age, codes] : codesByAge) {
    EXPECT_EQ(codes.size(), 1u) << age;
    EXPECT_GE(*codes.begin(), previous) << age;
    previous = *codes.rbegin();
  }
}

TEST_F(SampleFile, SwimmersEnterIndividualEventsAndTeamsOnlyRelays) {
  ReadBack r = Make(Options(1500, 4, 0, 0));
  int teams = 0, mixed = 0, noTime = 0, times = 0;
  std::set<int> relayEvents;
  for (const Entry& e : r.entries) {
    SCOPED_TRACE(e.regNo + " " + TrimRight(e.swimmerName));
    int entered = 0;
    bool relay = false, individual = false;
    for (int code = 1; code <= 44; ++code) {
      int32_t t = e.entryTimes[static_cast<size_t>(code - 1)];
      if (t == 0) continue;
      ++entered;
      ++times;
      (IsRelayEvent(code) ? relay : individual) = true;
      if (IsRelayEvent(code)) relayEvents.insert(code);
      EXPECT_LE(code, 31);
      if (t == 999999) {
        ++noTime;
        continue;
      }
      EXPECT_GT(t, 1000) << code;                 // more than 10 seconds
      EXPECT_LT(t, 595900) << code;               // a real time, not a status code
      EXPECT_LT((t / 100) % 100, 60) << code;     // seconds below 60
      // A long-course pool has no 25 m races, no 100m個人メドレー and no 4 × 25 m relays.
      EXPECT_TRUE(code != 1 && code != 8 && code != 12 && code != 16 && code != 20 && code != 23 && code != 26)
          << code;
    }
    if (IsTeam(e)) {
      ++teams;
      EXPECT_TRUE(relay);
      EXPECT_FALSE(individual);
      EXPECT_LE(entered, 3);
      if (e.sexCode == "3") {
        ++mixed;
        EXPECT_NE(e.entryTimes[30], 0);  // 200m混合リレー only
        EXPECT_EQ(entered, 1);
      } else {
        EXPECT_TRUE(e.sexCode == "1" || e.sexCode == "2");
        EXPECT_EQ(e.entryTimes[30], 0);
      }
    } else {
      EXPECT_FALSE(relay);
      EXPECT_TRUE(individual);
      EXPECT_GE(entered, 1);
      EXPECT_LE(entered, 5);
      // The meet's own 50mキック is for elementary school children.
      int code = static_cast<int>(LeadingNumber(e.gradeCode));
      if (e.entryTimes[29] != 0) {
        EXPECT_TRUE(code >= 11 && code <= 16) << e.gradeCode;
      }
    }
  }
  EXPECT_EQ(teams, summary.relayTeams);
  EXPECT_EQ(static_cast<int>(r.entries.size()), 1500 + teams);
  EXPECT_GT(teams, 30);
  EXPECT_GT(mixed, 0);
  EXPECT_GT(relayEvents.size(), 4u);
  EXPECT_GT(noTime, 0);               // a few entries without a time
  EXPECT_LT(noTime * 20, times);      // but only a few
}

TEST_F(SampleFile, ShortCourseMeetsHaveTheShortRaces) {
  ReadBack r = Make(Options(1500, 4, 0, 1));
  EXPECT_EQ(r.header.entryCourse, 1);
  std::set<int> codes;
  for (const Entry& e : r.entries)
    for (int code = 1; code <= 44; ++code)
      if (e.entryTimes[static_cast<size_t>(code - 1)] != 0) codes.insert(code);
  for (int code : {1, 8, 12, 16, 20, 23, 26, 30, 31}) EXPECT_TRUE(codes.count(code)) << code;
  for (int code = 32; code <= 44; ++code) EXPECT_FALSE(codes.count(code)) << code;
}

// Seconds of a time code.
double Seconds(int32_t t) { return (t / 10000) * 60.0 + (t % 10000) / 100.0; }

TEST_F(SampleFile, EntryTimesArePlausibleForAgeAndSex) {
  ReadBack r = Make(Options(6000, 9));
  std::vector<double> men50, children50, men1500;
  for (const Entry& e : r.entries) {
    if (IsTeam(e)) continue;
    int32_t free50 = e.entryTimes[1], free1500 = e.entryTimes[6];
    bool grownMan = e.sexCode == "1" && e.age >= 20 && e.age <= 28;
    if (free50 != 0 && free50 != 999999) {
      if (grownMan) men50.push_back(Seconds(free50));
      if (e.age <= 9) children50.push_back(Seconds(free50));
    }
    if (free1500 != 0 && free1500 != 999999 && grownMan) men1500.push_back(Seconds(free1500));
  }
  ASSERT_FALSE(men50.empty());
  ASSERT_FALSE(children50.empty());
  ASSERT_FALSE(men1500.empty());
  for (double s : men50) EXPECT_TRUE(s >= 24.0 && s <= 35.0) << s;
  for (double s : children50) EXPECT_GT(s, 38.0);
  for (double s : men1500) EXPECT_TRUE(s >= 16 * 60.0 && s <= 25 * 60.0) << s;
}

TEST_F(SampleFile, RelayTeamsCarryTheClassOfTheirMembers) {
  for (int scheme : {0, 2}) {
    SCOPED_TRACE(scheme);
    ReadBack r = Make(Options(3000, 13, scheme));
    int summedTeams = 0;
    for (const Entry& e : r.entries) {
      if (!IsTeam(e)) continue;
      int code = static_cast<int>(LeadingNumber(e.gradeCode));
      SCOPED_TRACE(e.regNo + " " + e.gradeCode + " " + std::to_string(e.age));
      EXPECT_FALSE(ClassName(e.gradeCode, scheme).empty());
      if (scheme == 0 && code >= 75) {
        // 90-119歳, 120-159歳 … 320歳以上: the summed ages of the four.
        ++summedTeams;
        int low = code == 75 ? 90 : 120 + (code - 76) * 40;
        int high = code == 75 ? 119 : low + 39;
        EXPECT_GE(e.age, low);
        EXPECT_LE(e.age, high);
      } else if (scheme == 2 && code >= 74) {
        ++summedTeams;
        EXPECT_GE(e.age, 4 * 22);
        EXPECT_LE(e.age, 4 * 70);
      } else {
        // A school team: the class and the age of its oldest member.
        EXPECT_GE(e.age, 6);
        EXPECT_LE(e.age, 70);
      }
      if (scheme == 0 && code >= 11 && code <= 44) {
        int g = code / 10 == 1 ? code - 10 : code / 10 == 2 ? code - 14 : code / 10 == 3 ? code - 21 : code - 28;
        EXPECT_TRUE(e.age == g + 5 || e.age == g + 6);
      }
    }
    EXPECT_GT(summedTeams, 0);
  }
}

TEST(SampleEntries, TheLargestFileKeepsEntryNumbersWithinTheRaceFile) {
  SampleSummary summary;
  std::string bytes = Bytes(Options(kMaxSampleSwimmers, 99, 0, 1), kToday, &summary);
  EXPECT_EQ(bytes.size(), (static_cast<size_t>(summary.entries) + 10) * kRecord);
  EXPECT_LE(summary.entries, 32767);
  EXPECT_GT(summary.relayTeams, 0);
}

}  // namespace
}  // namespace meet
