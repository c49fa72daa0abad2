// The Lenex export of a small meet made with meetctl (seeded, timed, posted,
// a disqualification, a points table): the element tree holds every
// attribute the meet gives it, with the values of the meet's own files; the
// .lxf holds one .lef of its base name; a failed export leaves the old file.
#include "interchange/lenex_export.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <map>
#include <set>

#include "app/meetctl_run.h"
#include "interchange/frm_lenex_screen.h"
#include "interchange/lxf_write.h"
#include "results/wa_points.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace meet {
namespace {

namespace fs = std::filesystem;

class LenexExport : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir;
    ctl_ = (*dir_ / "ctl" / "dr_kyo.ctl").string();
    fs::create_directories(*dir_ / "meets");
    ok({"sample-entries", (*dir_ / "t.Mos").string(), "--swimmers", "40"});
    ok({"new", (*dir_ / "t.Mos").string(), (*dir_ / "meets").string()});
    for (auto [name, value] : {std::pair{"laneCount", "8"}, {"laneCountUsed", "8"}, {"minEntrants", "1"},
                               {"classMode", "1"}, {"timingSystem", "1"}, {"meetName", "テスト記録会"},
                               {"venue", "東和プール"}})
      ok({"settings", "set", name, value});
    ok({"program", "generate"});
    ok({"seed"});
    ok({"race", "title", "1", "startTime=093000"});
    // The first event's heats with a disqualification in lane 4 of its first heat, then
    // the events after it, each timed and posted as the pool would.
    ok({"timing", "finish", "1", "--dq", "4"});
    ok({"post"});
    for (int round = 0; round < 8; ++round) {
      ok({"timing", "finish", "--all-seeded"});
      ok({"post"});
    }
    test::WriteFile(*dir_ / "wa.csv", "LCM,M,50,FREE,1,20.91\nLCM,F,50,FREE,1,23.61\n");
    ok({"points-table", "load", (*dir_ / "wa.csv").string()});
    // The first relay race: its team in lane 4 swims with four swimmers of its club.
    for (int r = 1; r <= 200 && relayRace_ == 0; ++r)
      if (const std::string code = Show({"race", "show", std::to_string(r)}, "eventCode"); !code.empty() && std::stoi(code) > 22 &&
          std::stoi(code) < 30 && Show({"race", "show", std::to_string(r)}, "laneNo.3") != "0")
        relayRace_ = r;
    ASSERT_GT(relayRace_, 0);
    const std::string team = Show({"race", "show", std::to_string(relayRace_)}, "laneNo.3");
    const std::string club = Show({"entry", "show", team}, "regNo").substr(0, 5);
    for (int n = 1; n <= 200 && members_.size() < 4; ++n) {
      const std::string reg = Show({"entry", "show", std::to_string(n)}, "regNo");
      if (reg.starts_with(club) && reg.size() == 14 && reg.find_first_not_of("0123456789") == std::string::npos)
        members_.push_back(std::to_string(n));
    }
    ASSERT_EQ(members_.size(), 4u);
    ok({"relay", "order", std::to_string(relayRace_), "4", members_[0], members_[1], members_[2], members_[3]});
    ok({"timing", "finish", std::to_string(relayRace_)});
    ok({"post"});
    // Race 2: its first swimmer withdrawn, its second swims as OP.
    for (int slot = 0, done = 0; slot < 10 && done < 2; ++slot)
      if (Show({"race", "show", "2"}, "laneNo." + std::to_string(slot)) != "0") {
        ok({"race", "enter", "2", std::to_string(slot + 1), done == 0 ? "txtKiro" : "txtBiko", done == 0 ? "8" : "99"});
        ++done;
      }
  }
  static void TearDownTestSuite() { delete dir_; }
  static void ok(std::vector<std::string> args) {
    args.insert(args.begin(), {"--ctl", ctl_, "--yes", "--print", "none"});
    CliRun run = Meetctl(args);
    ASSERT_EQ(run.rc, 0) << args[5] << ": " << run.err;
  }
  static std::string Show(const std::vector<std::string>& args, const std::string& field) {
    std::vector<std::string> a = {"--ctl", ctl_};
    a.insert(a.end(), args.begin(), args.end());
    const std::string out = Meetctl(a).out;
    const size_t at = out.find("\n" + field + "=");
    if (at == std::string::npos) return {};
    const size_t from = at + field.size() + 2;
    return out.substr(from, out.find('\n', from) - from);
  }
  static fs::path Meet() { return *dir_ / "meets" / "t"; }
  static MeetFiles Files() {
    MeetFiles m{Meet(), {}};
    LoadSettings(Meet(), m.settings);
    m.settings.entryFolder = dir_->str();
    m.settings.entryFileName = "t.Mos";
    return m;
  }
  static pugi::xml_node Lenex(pugi::xml_document& doc, LenexKind kind, bool unmask = false) {
    auto counts = BuildLenexDocument(doc, Files(), {kind, unmask});
    EXPECT_TRUE(counts) << counts.error().message;
    return doc.child("LENEX");
  }
  static inline test::TempDir* dir_ = nullptr;
  static inline std::string ctl_;
  static inline int relayRace_ = 0;
  static inline std::vector<std::string> members_;
};

std::string A(pugi::xml_node n, const char* name) { return n.attribute(name).as_string(); }

TEST_F(LenexExport, TheMeetAndItsMaker) {
  pugi::xml_document doc;
  pugi::xml_node lenex = Lenex(doc, LenexKind::Results);
  EXPECT_EQ(A(lenex, "version"), "3.0");
  pugi::xml_node c = lenex.child("CONSTRUCTOR");
  EXPECT_EQ(A(c, "name"), "meetdesk");
  EXPECT_EQ(A(c, "version"), MeetdeskBuildVersion());
  EXPECT_FALSE(A(c, "version").empty());
  EXPECT_EQ(A(c, "registration"), "テスト記録会");
  EXPECT_EQ(A(c.child("CONTACT"), "email"), kLenexContactEmail);
  pugi::xml_node meet = lenex.child("MEETS").child("MEET");
  EXPECT_EQ(A(meet, "name"), "テスト記録会");
  EXPECT_EQ(A(meet, "city"), "東和プール");
  EXPECT_EQ(A(meet, "nation"), "JPN");
  EXPECT_EQ(A(meet, "course"), "LCM");
  MeetFiles shortCourse = Files();
  shortCourse.settings.courseMode = "1";
  pugi::xml_document scm;
  ASSERT_TRUE(BuildLenexDocument(scm, shortCourse, {}));
  EXPECT_EQ(A(scm.child("LENEX").child("MEETS").child("MEET"), "course"), "SCM");
  EXPECT_FALSE(meet.attribute("deadline"));
  EXPECT_EQ(A(meet.child("POINTTABLE"), "name"), "World Aquatics Points");
  Settings s;
  LoadSettings(Meet(), s);
  pugi::xml_node session = meet.child("SESSIONS").child("SESSION");
  EXPECT_EQ(A(session, "number"), "1");
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", s.meetDateFrom / 10000, s.meetDateFrom / 100 % 100, s.meetDateFrom % 100);
  EXPECT_EQ(A(session, "date"), date);
  EXPECT_EQ(A(session, "daytime"), "09:30");  // the start of its first race
  EXPECT_EQ(A(session.select_node("EVENTS/EVENT/HEATS/HEAT[@heatid='1']").node(), "daytime"), "09:30");
  EXPECT_FALSE(session.select_node("EVENTS/EVENT/HEATS/HEAT[@heatid='2']").node().attribute("daytime"));
}

TEST_F(LenexExport, EventsHeatsAndTheirLinks) {
  pugi::xml_document doc;
  pugi::xml_node meet = Lenex(doc, LenexKind::Results).child("MEETS").child("MEET");
  std::map<std::string, pugi::xml_node> events;
  std::set<std::string> heatIds;
  const std::set<std::string> rounds = {"PRE", "FIN", "TIM", "SEM", "SOP"}, genders = {"M", "F", "X"},
                              strokes = {"FREE", "BACK", "BREAST", "FLY", "MEDLEY", "UNKNOWN"};
  for (const pugi::xpath_node& found : meet.select_nodes("SESSIONS/SESSION/EVENTS/EVENT")) {
    const pugi::xml_node e = found.node();
    EXPECT_TRUE(events.emplace(A(e, "eventid"), e).second) << "eventid twice: " << A(e, "eventid");
    EXPECT_TRUE(rounds.count(A(e, "round"))) << A(e, "round");
    EXPECT_TRUE(genders.count(A(e, "gender"))) << A(e, "gender");
    EXPECT_GT(e.attribute("number").as_int(), 0);
    pugi::xml_node style = e.child("SWIMSTYLE");
    EXPECT_TRUE(strokes.count(A(style, "stroke")));
    EXPECT_TRUE(style.attribute("distance") && style.attribute("relaycount"));
    for (pugi::xml_node g : e.child("AGEGROUPS").children("AGEGROUP")) {
      EXPECT_TRUE(g.attribute("agegroupid") && g.attribute("agemin") && g.attribute("agemax"));
      EXPECT_EQ(A(g, "calculate"), style.attribute("relaycount").as_int() == 4 ? "TOTAL" : "");
    }
    for (pugi::xml_node h : e.child("HEATS").children("HEAT")) {
      EXPECT_TRUE(heatIds.insert(A(h, "heatid")).second) << "heatid twice: " << A(h, "heatid");
      EXPECT_GT(h.attribute("number").as_int(), 0);
      // A heat is the race of that number: its event number is the event's.
      EXPECT_EQ(Show({"race", "show", A(h, "heatid")}, "eventNo"), A(e, "number"));
    }
  }
  ASSERT_FALSE(events.empty());
  int finals = 0;
  for (const auto& [id, e] : events) {
    const std::string prev = A(e, "preveventid");
    if (A(e, "round") == "FIN") {
      ++finals;
      ASSERT_TRUE(events.count(prev)) << "final " << id << " links to " << prev;
      EXPECT_EQ(A(events[prev], "round"), "PRE");
      EXPECT_EQ(A(events[prev].child("SWIMSTYLE"), "distance"), A(e.child("SWIMSTYLE"), "distance"));
    } else {
      EXPECT_EQ(prev, "-1") << id;
    }
    if (A(e, "round") == "TIM") {
      EXPECT_EQ(prev, "-1");
    }
  }
  EXPECT_GT(finals, 0);
}

TEST_F(LenexExport, AthletesEntriesResultsAndRankings) {
  pugi::xml_document doc;
  pugi::xml_node meet = Lenex(doc, LenexKind::Results, true).child("MEETS").child("MEET");
  std::set<std::string> resultIds, athleteIds;
  std::map<std::string, pugi::xml_node> results;
  int dsq = 0, points = 0, splits = 0, dns = 0, exh = 0;
  for (pugi::xml_node club : meet.child("CLUBS").children("CLUB")) {
    EXPECT_FALSE(A(club, "name").empty());
    EXPECT_EQ(A(club, "code").size(), 5u);
    EXPECT_EQ(A(club, "region"), A(club, "code").substr(0, 2));
    for (pugi::xml_node a : club.child("ATHLETES").children("ATHLETE")) {
      const std::string id = A(a, "athleteid");
      EXPECT_TRUE(athleteIds.insert(id).second);
      const std::string reg = Show({"entry", "show", id}, "regNo");
      const std::string name = Show({"entry", "show", id}, "swimmerName");
      EXPECT_EQ(A(a, "license"), reg);
      EXPECT_EQ(A(a, "birthdate"), reg.substr(5, 4) + "-" + reg.substr(9, 2) + "-" + reg.substr(11, 2));
      EXPECT_EQ(A(club, "code"), reg.substr(0, 5));
      EXPECT_EQ(A(a, "lastname") + "　" + A(a, "firstname"), name.substr(0, name.find_last_not_of(' ') + 1));
      EXPECT_EQ(A(a, "gender"), Show({"entry", "show", id}, "sexCode") == "1" ? "M" : "F");
      for (pugi::xml_node e : a.child("ENTRIES").children("ENTRY")) {
        EXPECT_EQ(Show({"race", "show", A(e, "heatid")}, "laneNo." + std::to_string(e.attribute("lane").as_int() - 1)), id);
        EXPECT_TRUE(e.attribute("eventid") && e.attribute("entrytime"));
      }
      for (pugi::xml_node r : a.child("RESULTS").children("RESULT")) {
        EXPECT_TRUE(resultIds.insert(A(r, "resultid")).second);
        results[A(r, "resultid")] = r;
        const std::string race = A(r, "heatid"), slot = std::to_string(r.attribute("lane").as_int() - 1);
        const int32_t code = static_cast<int32_t>(std::stol(Show({"race", "show", race}, "laneTime." + slot)));
        if (code >= 700001 && code <= 700006) {
          ++dsq;
          EXPECT_EQ(A(r, "status"), "DSQ");
          EXPECT_EQ(A(r, "swimtime"), "NT");
          EXPECT_FALSE(A(r, "comment").empty());
          EXPECT_FALSE(r.attribute("points"));
        } else if (code == 888888) {
          ++dns;
          EXPECT_EQ(A(r, "status"), "DNS");
          EXPECT_EQ(A(r, "swimtime"), "NT");
        } else if (const auto h = TimeCodeHundredths(code)) {
          char t[64];
          std::snprintf(t, sizeof t, "00:%02lld:%02lld.%02lld", static_cast<long long>(*h / 6000),
                        static_cast<long long>(*h / 100 % 60), static_cast<long long>(*h % 100));
          EXPECT_EQ(A(r, "swimtime"), t);
          const bool op = Show({"race", "show", race}, "laneRecordClass." + slot) == "99";
          exh += op;
          EXPECT_EQ(A(r, "status"), op ? "EXH" : "");
          if (op) {
            EXPECT_FALSE(r.attribute("points"));
          }
          if (r.attribute("points")) {
            ++points;
            const int64_t base = A(a, "gender") == "M" ? 2091 : 2361;
            EXPECT_EQ(r.attribute("points").as_int(), WaPoints(base, *h));
          }
        }
        int64_t before = 0;
        for (pugi::xml_node sp : r.child("SPLITS").children("SPLIT")) {
          ++splits;
          const int64_t at = sp.attribute("distance").as_int();
          EXPECT_GT(at, before);  // cumulative, at every lap of 25 m
          EXPECT_EQ(at % 50, 0);  // at every lap of the long course
          before = at;
        }
      }
    }
  }
  EXPECT_EQ(dsq, 1);
  EXPECT_EQ(dns, 1);
  EXPECT_EQ(exh, 1);
  EXPECT_GT(points, 0);
  EXPECT_GT(splits, 0);
  for (const pugi::xpath_node& r : meet.select_nodes("CLUBS/CLUB/RELAYS/RELAY/RESULTS/RESULT")) {
    EXPECT_TRUE(resultIds.insert(A(r.node(), "resultid")).second);
    results[A(r.node(), "resultid")] = r.node();
  }
  // Every ranking names a result of its event, places rising.
  int ranked = 0;
  for (const pugi::xpath_node& found : meet.select_nodes("SESSIONS/SESSION/EVENTS/EVENT")) {
    const pugi::xml_node e = found.node();
    int place = 0;
    for (const pugi::xpath_node& foundRk : e.select_nodes("AGEGROUPS/AGEGROUP/RANKINGS/RANKING")) {
      const pugi::xml_node rk = foundRk.node();
      ++ranked;
      ASSERT_TRUE(results.count(A(rk, "resultid"))) << A(rk, "resultid");
      EXPECT_EQ(A(results[A(rk, "resultid")], "eventid"), A(e, "eventid"));
      const int p = rk.attribute("place").as_int();
      if (p > 0) {
        EXPECT_GE(p, place);
        place = p;
      }
    }
  }
  EXPECT_GT(ranked, 0);
}

TEST_F(LenexExport, RelaysWithTheirLegs) {
  pugi::xml_document doc;
  pugi::xml_node meet = Lenex(doc, LenexKind::Results, true).child("MEETS").child("MEET");
  const std::string heat = std::to_string(relayRace_);
  pugi::xml_node entry = meet.select_node(("//RELAY/ENTRIES/ENTRY[@heatid='" + heat + "' and @lane='4']").c_str()).node();
  pugi::xml_node result = meet.select_node(("//RELAY/RESULTS/RESULT[@heatid='" + heat + "' and @lane='4']").c_str()).node();
  ASSERT_TRUE(entry);
  ASSERT_TRUE(result);
  pugi::xml_node relay = entry.parent().parent();
  EXPECT_EQ(A(relay, "number"), "1");
  EXPECT_EQ(A(relay, "gender"), Show({"race", "show", heat}, "sexCode") == "1" ? "M" : Show({"race", "show", heat}, "sexCode") == "2" ? "F" : "X");
  EXPECT_TRUE(relay.attribute("agemin") && relay.attribute("agemax") && relay.attribute("agetotalmin") && relay.attribute("agetotalmax"));
  for (pugi::xml_node parent : {entry, result}) {
    int leg = 0;
    for (pugi::xml_node pos : parent.child("RELAYPOSITIONS").children("RELAYPOSITION")) {
      EXPECT_EQ(pos.attribute("number").as_int(), leg + 1);
      EXPECT_EQ(A(pos, "athleteid"), members_[static_cast<size_t>(leg)]);
      // Each leg is an athlete of the file.
      EXPECT_TRUE(meet.select_node(("//ATHLETE[@athleteid='" + A(pos, "athleteid") + "']").c_str()));
      ++leg;
    }
    EXPECT_EQ(leg, 4);
  }
}

// Entry 1 registered in 広島 (its code begins with "34"): masked unless --unmask.
TEST_F(LenexExport, MaskedSwimmersShowNothingOfTheirOwn) {
  std::string entries = test::ReadFile(*dir_ / "t.Mos");
  const std::string reg = Show({"entry", "show", "1"}, "regNo");
  entries.replace(10 * 384 + 11, 2, "34");  // entry 1: record 11, its regNo at offset 11
  test::WriteFile(*dir_ / "m.Mos", entries);
  MeetFiles files = Files();
  files.settings.entryFileName = "m.Mos";
  for (bool unmask : {false, true}) {
    pugi::xml_document doc;
    ASSERT_TRUE(BuildLenexDocument(doc, files, {LenexKind::Results, unmask}));
    pugi::xml_node a = doc.select_node("//ATHLETE[@athleteid='1']").node();
    ASSERT_TRUE(a);
    pugi::xml_node club = a.parent().parent();
    if (unmask) {
      EXPECT_EQ(A(a, "license"), "34" + reg.substr(2));
      EXPECT_EQ(A(club, "code"), "34" + reg.substr(2, 3));
      EXPECT_NE(A(a, "lastname"), "(広島)");
    } else {
      EXPECT_EQ(A(a, "lastname"), "(広島)");
      EXPECT_EQ(A(a, "firstname"), "");
      EXPECT_EQ(A(a, "birthdate"), "1900-01-01");
      EXPECT_FALSE(a.attribute("license"));
      EXPECT_EQ(A(club, "name"), "(広島)");
      EXPECT_FALSE(club.attribute("code"));
      EXPECT_FALSE(club.attribute("region"));
    }
  }
}

TEST_F(LenexExport, StartListsAndEntriesHoldNoResults) {
  for (LenexKind kind : {LenexKind::StartList, LenexKind::Entries}) {
    pugi::xml_document doc;
    pugi::xml_node meet = Lenex(doc, kind).child("MEETS").child("MEET");
    EXPECT_TRUE(meet.select_nodes("//RESULT").empty());
    EXPECT_TRUE(meet.select_nodes("//RANKING").empty());
    EXPECT_FALSE(meet.select_nodes("//ENTRY").empty());
    for (const pugi::xpath_node& e : meet.select_nodes("//ENTRY"))
      EXPECT_EQ(static_cast<bool>(e.node().attribute("heatid")), kind == LenexKind::StartList);
  }
}

TEST_F(LenexExport, TheLxfHoldsOneLefOfItsName) {
  FrmLenexScreen screen(Files());
  screen.txtFile() = (*dir_ / "out.lxf").string();
  auto done = screen.ClickExport();
  ASSERT_TRUE(done) << done.error().message;
  EXPECT_TRUE(screen.lblResult().starts_with("Lenex 結果を書き出しました: ")) << screen.lblResult();
  int error = 0;
  zip_t* z = zip_open((*dir_ / "out.lxf").c_str(), ZIP_RDONLY, &error);
  ASSERT_NE(z, nullptr);
  EXPECT_EQ(zip_get_num_entries(z, 0), 1);
  EXPECT_STREQ(zip_get_name(z, 0, 0), "out.lef");
  zip_stat_t st;
  ASSERT_EQ(zip_stat_index(z, 0, 0, &st), 0);
  std::string lef(st.size, '\0');
  zip_file_t* f = zip_fopen_index(z, 0, 0);
  ASSERT_EQ(zip_fread(f, lef.data(), st.size), static_cast<zip_int64_t>(st.size));
  zip_fclose(f);
  zip_close(z);
  EXPECT_TRUE(lef.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<LENEX version=\"3.0\">\n  <CONSTRUCTOR name=\"meetdesk\""));
  pugi::xml_document doc;
  EXPECT_TRUE(doc.load_string(lef.c_str()));

  // A failed export keeps the old file whole and says why.
  const std::string before = test::ReadFile(*dir_ / "out.lxf");
  MeetFiles broken = Files();
  broken.settings.entryFileName = "missing.Mos";
  FrmLenexScreen failing(broken);
  failing.txtFile() = (*dir_ / "out.lxf").string();
  EXPECT_FALSE(failing.ClickExport());
  EXPECT_FALSE(failing.lblResult().empty());
  EXPECT_EQ(test::ReadFile(*dir_ / "out.lxf"), before);
  // A meet without its dates has no session dates: refused, nothing written.
  MeetFiles undated = Files();
  undated.settings.meetDateFrom = 0;
  FrmLenexScreen dateless(undated);
  dateless.txtFile() = (*dir_ / "undated.lxf").string();
  EXPECT_FALSE(dateless.ClickExport());
  EXPECT_TRUE(dateless.lblResult().starts_with("大会の期日が日付ではありません（0000/00/00）")) << dateless.lblResult();
  EXPECT_FALSE(fs::exists(*dir_ / "undated.lxf"));
  EXPECT_FALSE(WriteLxf(*dir_ / "out.zip", "<LENEX/>"));
  EXPECT_FALSE(fs::exists(*dir_ / "out.zip"));
}

TEST_F(LenexExport, TheVerbRefusesWhatItCannotDo) {
  const std::string meet = Meet().string();
  CliRun two = Meetctl({"--ctl", ctl_, "lenex", "export", (*dir_ / "a.lxf").string(), "--results", "--entries"});
  EXPECT_EQ(two.rc, 2);
  EXPECT_FALSE(fs::exists(*dir_ / "a.lxf"));
  CliRun bad = Meetctl({"--ctl", ctl_, "lenex", "export", (*dir_ / "a.lxf").string(), "--html"});
  EXPECT_EQ(bad.rc, 2);
  EXPECT_NE(bad.err.find("不明なオプションです: --html"), std::string::npos);
  CliRun good = Meetctl({"--ctl", ctl_, "lenex", "export", (*dir_ / "a.lxf").string(), "--startlist"});
  EXPECT_EQ(good.rc, 0) << good.err;
  EXPECT_TRUE(good.out.starts_with("Lenex スタートリストを書き出しました: ")) << good.out;
  CliRun table = Meetctl({"--ctl", ctl_, "points-table", "show"});
  EXPECT_EQ(table.rc, 0);
  EXPECT_NE(table.out.find("LCM,M,50,FREE,1,20.91\n"), std::string::npos) << table.out;
}

}  // namespace
}  // namespace meet
