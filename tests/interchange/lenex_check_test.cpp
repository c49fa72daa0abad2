// The Lenex validator: the official samples and a clean hand-written file
// find nothing; each fault planted in that file is found once, on its
// element's path, with its message.
#include "interchange/lenex_check.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "interchange/lenex_read.h"

namespace meet {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::vector<LenexFinding>& findings) {
  std::vector<std::string> lines;
  for (const LenexFinding& f : findings) lines.push_back(f.Line());
  return lines;
}

std::vector<std::string> Check(const std::string& text) {
  auto document = ParseLenex(text, "t.lef");
  EXPECT_TRUE(document) << document.error().message;
  if (!document) return {"unreadable"};
  return Lines(CheckLenex(**document));
}

TEST(LenexCheck, TheOfficialSamplesPass) {
  const char* source = std::getenv("MEETDESK_SOURCE_DIR");
  const fs::path folder = fs::path(source ? source : ".") / "tests" / "interchange" / "data";
  for (const char* name : {"example-results.lxf", "example-entries.lxf"}) {
    auto document = ReadLenexFile(folder / name);
    ASSERT_TRUE(document) << name << ": " << document.error().message;
    EXPECT_EQ(Lines(CheckLenex(**document)), std::vector<std::string>{}) << name;
  }
}

// Individual and relay results with splits, rankings, a prelim and its final,
// a record list with a record holder: everything the validator follows.
const std::string kClean = R"(<?xml version="1.0" encoding="UTF-8"?>
<LENEX version="3.0">
  <CONSTRUCTOR name="meetdesk" registration="test" version="1">
    <CONTACT email="desk@example.jp" />
  </CONSTRUCTOR>
  <MEETS>
    <MEET name="テスト大会" city="東京" nation="JPN" course="LCM">
      <POINTTABLE name="World Aquatics" version="2024" />
      <SESSIONS>
        <SESSION number="1" date="2024-07-01" daytime="09:30">
          <EVENTS>
            <EVENT eventid="1" number="1" gender="M" round="PRE" daytime="09:30">
              <SWIMSTYLE distance="100" relaycount="1" stroke="FREE" />
              <AGEGROUPS>
                <AGEGROUP agegroupid="1" agemin="-1" agemax="-1">
                  <RANKINGS>
                    <RANKING place="1" resultid="1" />
                  </RANKINGS>
                </AGEGROUP>
              </AGEGROUPS>
              <HEATS>
                <HEAT heatid="1" number="1" daytime="09:30" />
              </HEATS>
            </EVENT>
            <EVENT eventid="2" number="1" gender="M" round="FIN" preveventid="1">
              <SWIMSTYLE distance="100" relaycount="1" stroke="FREE" />
              <HEATS>
                <HEAT heatid="2" number="1" />
              </HEATS>
            </EVENT>
            <EVENT eventid="3" number="2" gender="X" round="TIM">
              <SWIMSTYLE distance="50" relaycount="4" stroke="MEDLEY" />
              <AGEGROUPS>
                <AGEGROUP agegroupid="1" agemin="100" agemax="119" calculate="TOTAL" />
              </AGEGROUPS>
              <HEATS>
                <HEAT heatid="3" number="1" />
              </HEATS>
            </EVENT>
          </EVENTS>
        </SESSION>
      </SESSIONS>
      <CLUBS>
        <CLUB name="東京SC" code="13001" clubid="1">
          <ATHLETES>
            <ATHLETE athleteid="1" lastname="山田" firstname="太郎" gender="M" birthdate="2010-01-01" license="1300101">
              <ENTRIES>
                <ENTRY eventid="1" entrytime="00:01:00.00" heatid="1" lane="4" />
              </ENTRIES>
              <RESULTS>
                <RESULT resultid="1" eventid="1" heatid="1" lane="4" swimtime="00:00:59.00" reactiontime="+65" points="600">
                  <SPLITS>
                    <SPLIT distance="50" swimtime="00:00:28.50" />
                    <SPLIT distance="100" swimtime="00:00:59.00" />
                  </SPLITS>
                </RESULT>
              </RESULTS>
            </ATHLETE>
            <ATHLETE athleteid="2" lastname="鈴木" firstname="花子" gender="F" birthdate="2012-02-29" />
            <ATHLETE athleteid="3" lastname="佐藤" firstname="" gender="F" birthdate="2011-12-31" />
          </ATHLETES>
          <RELAYS>
            <RELAY relayid="1" number="1" gender="X" agemin="-1" agemax="-1" agetotalmin="-1" agetotalmax="-1">
              <RESULTS>
                <RESULT resultid="2" eventid="3" heatid="3" lane="3" swimtime="NT" status="DSQ" comment="引継ぎ違反">
                  <RELAYPOSITIONS>
                    <RELAYPOSITION number="1" athleteid="1" reactiontime="0" />
                    <RELAYPOSITION number="2" athleteid="2" reactiontime="-3" />
                  </RELAYPOSITIONS>
                </RESULT>
              </RESULTS>
            </RELAY>
          </RELAYS>
        </CLUB>
      </CLUBS>
    </MEET>
  </MEETS>
  <RECORDLISTS>
    <RECORDLIST name="大会記録" course="LCM" gender="M">
      <RECORDS>
        <RECORD swimtime="00:00:50.00">
          <SWIMSTYLE distance="100" relaycount="1" stroke="FREE" />
          <ATHLETE lastname="記録" firstname="保持" gender="M" birthdate="2000-01-01" />
          <MEETINFO city="東京" date="2020-08-01" nation="JPN" />
        </RECORD>
      </RECORDS>
    </RECORDLIST>
  </RECORDLISTS>
</LENEX>
)";

std::string Planted(const std::string& from, const std::string& to) {
  const size_t at = kClean.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  EXPECT_EQ(kClean.find(from, at + 1), std::string::npos) << "twice: " << from;
  if (at == std::string::npos) return kClean;
  return kClean.substr(0, at) + to + kClean.substr(at + from.size());
}

TEST(LenexCheck, ACleanFileFindsNothing) { EXPECT_EQ(Check(kClean), std::vector<std::string>{}); }

TEST(LenexCheck, EachPlantedFaultIsFoundOnceOnItsPath) {
  const std::string meet = "/LENEX/MEETS/MEET[1]";
  const std::string events = meet + "/SESSIONS/SESSION[1]/EVENTS";
  const std::string athlete1 = meet + "/CLUBS/CLUB[1]/ATHLETES/ATHLETE[1]";
  const std::string result1 = athlete1 + "/RESULTS/RESULT[1]";
  const std::string relay = meet + "/CLUBS/CLUB[1]/RELAYS/RELAY[1]";
  const std::string record = "/LENEX/RECORDLISTS/RECORDLIST[1]/RECORDS/RECORD[1]";
  struct Row {
    std::string from, to, finding;
  };
  const std::vector<Row> rows = {
      // Required attributes and elements.
      {R"(<EVENT eventid="2" number="1")", R"(<EVENT number="1")", events + "/EVENT[2]: eventid がありません"},
      {R"(lastname="鈴木" )", "", meet + "/CLUBS/CLUB[1]/ATHLETES/ATHLETE[2]: lastname がありません"},
      {R"(resultid="2" eventid="3" heatid="3" lane="3" swimtime="NT")", R"(resultid="2" eventid="3" heatid="3" lane="3")",
       relay + "/RESULTS/RESULT[1]: swimtime がありません"},
      {R"(agetotalmax="-1">)", ">", relay + ": agetotalmax がありません"},
      {R"(<CONTACT email="desk@example.jp" />)", "<CONTACT />", "/LENEX/CONSTRUCTOR/CONTACT: email がありません"},
      {R"(city="東京" date="2020-08-01")", R"(city="東京")", record + "/MEETINFO: date がありません"},
      {R"(<SWIMSTYLE distance="50" relaycount="4" stroke="MEDLEY" />)", "", events + "/EVENT[3]: SWIMSTYLE がありません"},
      {R"(<SWIMSTYLE distance="50" relaycount="4" stroke="MEDLEY" />)",
       R"(<SWIMSTYLE distance="50" relaycount="4" stroke="MEDLEY" /><SWIMSTYLE distance="50" relaycount="4" stroke="MEDLEY" />)",
       events + "/EVENT[3]: SWIMSTYLE が 2 個あります（一つだけです）"},
      {R"(nation="JPN" course="LCM">)", R"(nation="JPN">)",
       meet + "/SESSIONS/SESSION[1]: course がありません（MEET にも course がありません）"},
      {R"(relaycount="4" stroke="MEDLEY")", R"(relaycount="4" stroke="UNKNOWN")",
       events + "/EVENT[3]/SWIMSTYLE: name がありません（stroke が UNKNOWN の泳法です）"},
      {R"(<AGEGROUP agegroupid="1" agemin="100")", R"(<AGEGROUP agemin="100")",
       events + "/EVENT[3]/AGEGROUPS/AGEGROUP[1]: agegroupid がありません"},
      // Ids and numbers that must be unique.
      {R"(<AGEGROUPS>
                <AGEGROUP agegroupid="1" agemin="100")", R"(<AGEGROUPS>
                <AGEGROUP agegroupid="2" agemin="-1" agemax="-1" /><AGEGROUP agegroupid="2" agemin="100")",
       events + "/EVENT[3]/AGEGROUPS/AGEGROUP[2]: agegroupid 2 が重複しています（最初は " + events +
           "/EVENT[3]/AGEGROUPS/AGEGROUP[1]）"},
      {R"(<HEAT heatid="3" number="1" />)", R"(<HEAT heatid="3" number="1" /><HEAT heatid="4" number="1" />)",
       events + "/EVENT[3]/HEATS/HEAT[2]: number 1 が重複しています（最初は " + events + "/EVENT[3]/HEATS/HEAT[1]）"},
      {R"(<EVENT eventid="2")", R"(<EVENT eventid="1")",
       events + "/EVENT[2]: eventid 1 が重複しています（最初は " + events + "/EVENT[1]）"},
      {R"(<HEAT heatid="2")", R"(<HEAT heatid="1")",
       events + "/EVENT[2]/HEATS/HEAT[1]: heatid 1 が重複しています（最初は " + events + "/EVENT[1]/HEATS/HEAT[1]）"},
      {R"(athleteid="3")", R"(athleteid="2")",
       meet + "/CLUBS/CLUB[1]/ATHLETES/ATHLETE[3]: athleteid 2 が重複しています（最初は " + meet +
           "/CLUBS/CLUB[1]/ATHLETES/ATHLETE[2]）"},
      {R"(<RESULT resultid="2")", R"(<RESULT resultid="1")",
       relay + "/RESULTS/RESULT[1]: resultid 1 が重複しています（最初は " + result1 + "）"},
      // References that resolve nowhere.
      {R"(preveventid="1")", R"(preveventid="9")", events + "/EVENT[2]: preveventid 9 に当たる EVENT がありません"},
      {R"(<ENTRY eventid="1")", R"(<ENTRY eventid="8")",
       athlete1 + "/ENTRIES/ENTRY[1]: eventid 8 に当たる EVENT がありません"},
      {R"(heatid="1" lane="4" />)", R"(heatid="7" lane="4" />)",
       athlete1 + "/ENTRIES/ENTRY[1]: heatid 7 に当たる HEAT がありません"},
      {R"(number="2" athleteid="2")", R"(number="2" athleteid="5")",
       relay + "/RESULTS/RESULT[1]/RELAYPOSITIONS/RELAYPOSITION[2]: athleteid 5 に当たる ATHLETE がありません"},
      {R"(place="1" resultid="1")", R"(place="1" resultid="8")",
       events + "/EVENT[1]/AGEGROUPS/AGEGROUP[1]/RANKINGS/RANKING[1]: resultid 8 に当たる RESULT がありません"},
      // Malformed values.
      {R"(swimtime="00:00:59.00" reactiontime)", R"(swimtime="59.00" reactiontime)",
       result1 + R"(: swimtime "59.00" は競泳タイム（HH:MM:SS.ss か NT）ではありません)"},
      {R"(entrytime="00:01:00.00")", R"(entrytime="00:01:00.0")",
       athlete1 + R"(/ENTRIES/ENTRY[1]: entrytime "00:01:00.0" は競泳タイム（HH:MM:SS.ss か NT）ではありません)"},
      {R"(number="1" daytime="09:30" />)", R"(number="1" daytime="9:30" />)",
       events + R"(/EVENT[1]/HEATS/HEAT[1]: daytime "9:30" は時刻（HH:MM）ではありません)"},
      {R"(date="2024-07-01")", R"(date="2024-7-1")",
       meet + R"(/SESSIONS/SESSION[1]: date "2024-7-1" は日付（YYYY-MM-DD）ではありません)"},
      {R"(birthdate="2012-02-29")", R"(birthdate="2011-02-29")",
       meet + R"(/CLUBS/CLUB[1]/ATHLETES/ATHLETE[2]: birthdate "2011-02-29" は日付（YYYY-MM-DD）ではありません)"},
      {R"(reactiontime="+65")", R"(reactiontime="65")",
       result1 + R"(: reactiontime "65" は反応時間（+14、-3、0 の形）ではありません)"},
      {R"(lane="4" swimtime)", R"(lane="4a" swimtime)", result1 + R"(: lane "4a" は整数ではありません)"},
      {R"(points="600")", R"(points="99999999999")", result1 + R"(: points "99999999999" は整数ではありません)"},
      {R"(relaycount="4" stroke="MEDLEY")", R"(relaycount="0" stroke="MEDLEY")",
       events + "/EVENT[3]/SWIMSTYLE: relaycount 0 は 1 以上のはずです"},
      // Codes.
      {R"(firstname="花子" gender="F")", R"(firstname="花子" gender="X")",
       meet + R"(/CLUBS/CLUB[1]/ATHLETES/ATHLETE[2]: gender "X" は使える値ではありません（M, F）)"},
      {R"(round="PRE")", R"(round="HEATS")",
       events + R"(/EVENT[1]: round "HEATS" は使える値ではありません（TIM, FHT, FIN, SEM, QUA, PRE, SOP, SOS, SOQ, TIMETRIAL, EXTRAHEATS）)"},
      {R"(stroke="MEDLEY")", R"(stroke="IM")",
       events + R"(/EVENT[3]/SWIMSTYLE: stroke "IM" は使える値ではありません（APNEA, BACK, BIFINS, MIXEDFINS, BREAST, DYNAMIC, DYNAMIC_BIFINS, DYNAMIC_NOFINS, FLY, FREE, IMMERSION, IMRELAY, MEDLEY, SPEED_APNEA, SPEED_ENDURANCE, STATIC, SURFACE, UNKNOWN）)"},
      {R"(nation="JPN" course="LCM">)", R"(nation="JPN" course="50M">)",
       meet + R"(: course "50M" は使える値ではありません（LCM, SCM, SCY, SCM16, SCM20, SCM33, SCY20, SCY27, SCY33, SCY36, OPEN）)"},
      {R"(city="東京" nation="JPN" course)", R"(city="東京" nation="JAP" course)",
       meet + R"(: nation "JAP" は国コードではありません)"},
      {R"(status="DSQ")", R"(status="DQ")",
       relay + R"(/RESULTS/RESULT[1]: status "DQ" は使える値ではありません（EXH, DSQ, DNS, DNF, SICK, WDR, RJC）)"},
      {R"(calculate="TOTAL")", R"(calculate="SUM")",
       events + R"(/EVENT[3]/AGEGROUPS/AGEGROUP[1]: calculate "SUM" は使える値ではありません（SINGLE, TOTAL）)"},
      // Splits.
      {R"(<SPLIT distance="100" swimtime="00:00:59.00" />)", R"(<SPLIT distance="100" swimtime="00:00:28.00" />)",
       result1 + "/SPLITS/SPLIT[2]: swimtime 00:00:28.00 が前の SPLIT（00:00:28.50）より大きくありません"},
      {R"(<SPLIT distance="100" swimtime="00:00:59.00" />)", R"(<SPLIT distance="50" swimtime="00:00:59.00" />)",
       result1 + "/SPLITS/SPLIT[2]: distance 50 が前の SPLIT（50）より大きくありません"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Check(Planted(row.from, row.to)), std::vector<std::string>{row.finding}) << row.from << " → " << row.to;
}

TEST(LenexCheck, ShapesTheDocumentationAllowsFindNothing) {
  struct Row {
    std::string from, to;
  };
  const std::vector<Row> rows = {
      {R"(round="PRE")", R"(round="GER.RES")"},                          // a federation's own value
      {R"(status="DSQ")", R"(status="")"},                                // an empty status: a regular result
      {R"(reactiontime="+65")", R"(reactiontime="")"},                    // no reaction time
      {R"(swimtime="00:00:59.00" reactiontime)", R"(swimtime="NT" reactiontime)"},
      {R"(number="1" daytime="09:30" />)", R"(number="1" daytime="24:00" />)"},
      {R"(<CLUB name="東京SC")", R"(<CLUB type="UNATTACHED")"},           // an unattached club has no name
      {R"(<POINTTABLE)", R"(<EXTRA /><EXTRA /><POINTTABLE)"},           // a program's own elements
      {R"(points="600")", R"(points="600" late="yes")"},                  // and attributes
  };
  for (const Row& row : rows) EXPECT_EQ(Check(Planted(row.from, row.to)), std::vector<std::string>{}) << row.to;
  // Without a course of the meet, sessions that name theirs are enough.
  std::string perSession = Planted(R"(nation="JPN" course="LCM">)", R"(nation="JPN">)");
  const std::string session = R"(<SESSION number="1")";
  perSession.replace(perSession.find(session), session.size(), R"(<SESSION course="SCM" number="1")");
  EXPECT_EQ(Check(perSession), std::vector<std::string>{});
}

TEST(LenexCheck, ValuesInMessagesStayOnOneShortLine) {
  const std::string value = "line one&#10;line two " + std::string(60, 'x');
  const auto lines = Check(Planted(R"(lane="4" swimtime)", "lane=\"" + value + "\" swimtime"));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].find('\n'), std::string::npos);
  EXPECT_NE(lines[0].find("\"line one line two xxx"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("…\" は整数ではありません"), std::string::npos) << lines[0];
}

}  // namespace
}  // namespace meet
