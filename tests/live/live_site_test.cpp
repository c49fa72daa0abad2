// The live results site over a small meet folder: ranking, relays, masking
// in every answer and every published file, states, swimmer and team pages,
// routes, escaping, a half-written file, changes, publishing.
#include "live/live_site.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <fstream>

#include "core/file_names.h"
#include "live/json_check.h"
#include "live/live_model.h"
#include "live/publish.h"
#include "results/points_fixture.h"
#include "settings/settings.h"

namespace meet {
namespace {

using live::LiveOptions;
using live::LiveSite;
namespace fs = std::filesystem;

std::string Gunzip(const std::string& bytes) {
  z_stream zs{};
  if (inflateInit2(&zs, 15 + 16) != Z_OK) return {};
  std::string out;
  char buffer[65536];
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  zs.avail_in = static_cast<uInt>(bytes.size());
  int rc = Z_OK;
  while (rc == Z_OK) {
    zs.next_out = reinterpret_cast<Bytef*>(buffer);
    zs.avail_out = sizeof buffer;
    rc = inflate(&zs, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - zs.avail_out);
  }
  inflateEnd(&zs);
  return rc == Z_STREAM_END ? out : std::string("(bad gzip)");
}

struct LiveMeet : ::testing::Test {
  void SetUp() override {
    // Event 1: two heats; a tie for first, a disqualification, an
    // exhibition swim. Event 2: one heat not yet swum. Event 3: a relay of
    // three teams, A with its order (one leg masked), a masked team with its
    // order, C before its order is entered.
    meet.Event({{{0, 3000}, {1, 3100}, {2, 700002}}, {{1, 3000}, {2, 2900, 99}}});
    meet.Event({{{0, 0}, {1, 0}}}, "2", 5);
    meet.Event({{{0, 20000}, {1, 21000}, {2, 0}}}, "2", 23);
    meet.swimmers[1].regNo = "3400" + meet.swimmers[1].regNo.substr(4);
    meet.swimmers[0].affiliation = "A&<B>";
    meet.settings.meetName = "春<script>大会";
    const int teamA = meet.races[3].laneNo[0], teamB = meet.races[3].laneNo[1], teamC = meet.races[3].laneNo[2];
    meet.swimmers[static_cast<size_t>(teamA - 1)].name = "クラブＡＢ";
    meet.swimmers[static_cast<size_t>(teamB - 1)].name = "広島ＳＣＡ";
    meet.swimmers[static_cast<size_t>(teamB - 1)].regNo = "34999200001011";
    meet.swimmers[static_cast<size_t>(teamC - 1)].name = "クラブＣＡ";
    test::HandBlock block;
    block.raceNo = 4;
    for (int leg = 0; leg < 4; ++leg) {
      block.legs[static_cast<size_t>(leg)][0] = meet.Swimmer(0, 12);
      block.legs[static_cast<size_t>(leg)][1] = meet.Swimmer(1, 12);
    }
    legA = block.legs[0][0];
    maskedLeg = block.legs[2][0];
    meet.swimmers[static_cast<size_t>(maskedLeg - 1)].regNo = "34111200001011";
    meet.swimmers[static_cast<size_t>(maskedLeg - 1)].name = "隠れ脚";
    for (int leg = 0; leg < 4; ++leg) {
      const int n = block.legs[static_cast<size_t>(leg)][1];
      meet.swimmers[static_cast<size_t>(n - 1)].regNo = "34999200001011";
      meet.swimmers[static_cast<size_t>(n - 1)].name = "広島脚" + std::to_string(leg + 1);
    }
    block.splits[0] = 4950;
    meet.races[3].relayRec = 1;
    ASSERT_TRUE(SaveSettings(meet.dir.path(), meet.settings));
    meet.Write();
    meet.Relays({block});
  }
  LiveSite Site(bool unmask = false) const {
    return LiveSite(meet.dir.path(), meet.settings.entryFolder, meet.settings.entryFileName, LiveOptions{unmask, false});
  }
  std::string Get(const std::string& path, bool unmask = false) const {
    const auto r = Site(unmask).Respond("GET", path);
    EXPECT_EQ(r.status, 200) << path << "\n" << r.body;
    return r.body;
  }
  static size_t At(const std::string& text, const std::string& what) {
    const size_t at = text.find(what);
    EXPECT_NE(at, std::string::npos) << what << " in\n" << text;
    return at;
  }
  test::PointsMeet meet;
  int legA = 0, maskedLeg = 0;
};

TEST_F(LiveMeet, EventResultsRankAcrossHeatsAsThePrintout) {
  const std::string json = Get("/api/event/1");
  const std::string results = json.substr(At(json, "\"results\""), At(json, "\"sections\"") - At(json, "\"results\""));
  // 30.00 in heat 1 lane 1 and heat 2 lane 1 share place 1; 31.00 third; the
  // disqualification last without a place.
  const size_t first = At(results, "{\"race\":1,\"heat\":1,\"lane\":1,\"place\":1,");
  const size_t tie = At(results, "{\"race\":2,\"heat\":2,\"lane\":1,\"place\":1,");
  const size_t third = At(results, "{\"race\":1,\"heat\":1,\"lane\":2,\"place\":3,");
  const size_t dq = At(results, "{\"race\":1,\"heat\":1,\"lane\":3,\"place\":null,");
  EXPECT_LT(first, tie);
  EXPECT_LT(tie, third);
  EXPECT_LT(third, dq);
  At(results, "\"result\":{\"status\":\"dq\",\"hundredths\":null,\"text\":\"失格（泳法）\"}");
  At(results, "\"result\":{\"status\":\"time\",\"hundredths\":3100,\"text\":\"31.00\"}");
  // The exhibition swim (29.00) is listed apart, not ranked.
  EXPECT_EQ(results.find("\"hundredths\":2900"), std::string::npos);
  At(json.substr(At(json, "\"exhibition\"")), "{\"race\":2,\"heat\":2,\"lane\":2,\"place\":null,");
  At(json, "\"state\":\"final\",\"stateLabel\":\"確定\"");
  At(json, "\"version\":1,");
  const std::string meetJson = Get("/api/meet");
  At(meetJson, "{\"event\":2,");
  At(meetJson, "\"heatsSwum\":0,\"relay\":false,\"state\":\"scheduled\"");
  At(Get("/event/1"), "失格（泳法）");
}

TEST(LiveTimes, StatusCodesShowAsTheCrowdReadsThem) {
  struct Row {
    int32_t code;
    const char* status;
    int64_t hundredths;  // -1: none
    const char* text;
  };
  const Row rows[] = {
      {0, "none", -1, ""},          {999999, "none", -1, ""},       {3150, "time", 3150, "31.50"},
      {12345, "time", 8345, "1:23.45"}, {700001, "dq", -1, "失格（ｽﾀｰﾄ）"}, {700006, "dq", -1, "失格（逸脱）"},
      {700007, "dnf", -1, "途中棄権"}, {888888, "dns", -1, "棄権"},      {600000, "participation", -1, "参加"},
      {9999, "invalid", -1, ""},     {-5, "invalid", -1, ""},         {700008, "invalid", -1, ""},
  };
  for (const Row& r : rows) {
    const live::TimeView v = live::TimeOf(r.code);
    EXPECT_STREQ(v.status, r.status) << r.code;
    EXPECT_EQ(v.hundredths.value_or(-1), r.hundredths) << r.code;
    EXPECT_EQ(v.text, r.text) << r.code;
  }
}

TEST_F(LiveMeet, RelaysShowTheTeamWithItsLetterAndTheirLegs) {
  const std::string json = Get("/api/race/4");
  // Lane 1: the team's name with its letter, the four legs in order, the
  // first leg's split beside the entry time.
  const std::string lane1 = json.substr(At(json, "{\"race\":4,\"heat\":1,\"lane\":1,"), At(json, "\"lane\":2,") - At(json, "\"lane\":1,"));
  At(lane1, "\"name\":\"クラブＡＢ\"");
  const size_t leg1 = At(lane1, "{\"leg\":1,\"entry\":" + std::to_string(legA) + ",");
  const size_t leg3 = At(lane1, "{\"leg\":3,\"entry\":null,\"masked\":true,\"name\":\"(広島)\"");
  EXPECT_LT(leg1, leg3);
  At(lane1, "{\"leg\":4,");
  At(lane1, "\"split\":{\"status\":\"time\",\"hundredths\":4950,\"text\":\"49.50\"}");
  // Lane 3: no order yet, the team's name all the same.
  At(json, "\"name\":\"クラブＣＡ\",\"kana\":\"ｴｲｼｬ\",\"club\":\"クラブC\",\"pref\":\"東京都\",\"age\":null,\"grade\":\"\",\"team\":\"13003\",\"relay\":true,\"legs\":[]");
  // The page shows the same, and the event page the legs too.
  for (const std::string page : {"/race/4", "/event/3"}) {
    const std::string html = Get(page);
    At(html, "クラブＡＢ");
    At(html, "クラブＣＡ");
    At(html, "<small class=\"legs\">1 <a href=\"");
    At(html, "3 (広島)");
  }
}

TEST_F(LiveMeet, MaskedSwimmersLeakNowhereServedOrPublished) {
  // Every text that belongs to a masked entry: its name, its number and the
  // pages named after them.
  const std::vector<std::string> secrets = {"泳者2", "隠れ脚", "広島ＳＣＡ", "広島脚1", "広島脚2", "広島脚3", "広島脚4",
                                            "34001", "34111", "34999", "swimmer/2\"", "swimmer/2.html",
                                            "\"entry\":2,", "\"entry\":" + std::to_string(maskedLeg) + ","};
  ASSERT_TRUE(meet.Run());  // the points name the masked clubs too
  const LiveSite site = Site();
  auto listing = site.WithOptions({false, true}).Listing();
  ASSERT_TRUE(listing);
  std::vector<std::string> paths = {"/", "/points", "/api/meet", "/api/points", "/api/search"};
  for (const auto& page : listing->pages) {
    std::string route = page.path == "index.html" ? "/" : "/" + page.path.substr(0, page.path.rfind('.'));
    if (page.path.ends_with(".css") || page.path.ends_with(".js")) route = "/" + page.path;
    paths.push_back(route);
  }
  EXPECT_GT(paths.size(), 30u);
  for (const std::string& path : paths) {
    const auto a = site.Get(path);
    EXPECT_EQ(a->status, 200) << path;
    for (const std::string& s : secrets) EXPECT_EQ(a->body.find(s), std::string::npos) << s << " in " << path;
    EXPECT_EQ(Gunzip(a->gzip.empty() ? std::string() : a->gzip).find("泳者2"), std::string::npos) << path;
  }
  EXPECT_EQ(site.Get("/swimmer/2")->status, 404);
  EXPECT_EQ(site.Get("/api/swimmer/" + std::to_string(maskedLeg))->status, 404);
  EXPECT_EQ(site.Get("/team/34999")->status, 404);
  // The published files, and their gzip copies.
  test::TempDir out;
  ASSERT_TRUE(live::PublishSite(site, meet.dir.path(), out.path()));
  int files = 0;
  for (const auto& e : fs::recursive_directory_iterator(out.path())) {
    if (!e.is_regular_file()) continue;
    ++files;
    std::string bytes = test::ReadFile(e.path());
    if (e.path().extension() == ".gz") bytes = Gunzip(bytes);
    for (const std::string& s : secrets) EXPECT_EQ(bytes.find(s), std::string::npos) << s << " in " << e.path();
  }
  EXPECT_GT(files, 30);
  // Unmasked, the same names are there.
  At(Get("/api/race/4", true), "広島脚1");
  At(Get("/api/event/1", true), "泳者2");
}

TEST_F(LiveMeet, EveryJsonAnswerFollowsTheDocumentedSchema) {
  std::string error;
  const test::Json schema = test::ParseJson(test::ReadFile(LIVE_API_SCHEMA), &error);
  ASSERT_TRUE(error.empty()) << error;
  ASSERT_TRUE(meet.Run());
  fs::create_directories(meet.dir / "lap");
  test::WriteFile(meet.dir / "lap" / "R0001", "1,\"0:14.80\",\"\"\r\n1,\"0:30.00\",\"G\"\r\n");
  const LiveSite site = Site();
  auto check = [&](const std::string& what, const std::string& def, const std::string& body) {
    const test::Json value = test::ParseJson(body, &error);
    ASSERT_TRUE(error.empty()) << what << ": " << error << "\n" << body;
    std::vector<std::string> errors;
    test::Json ref;
    ref.kind = test::Json::Object;
    ref.members.push_back({"$ref", test::Json{test::Json::String, false, 0, false, "#/$defs/" + def, {}, {}}});
    test::CheckSchema(schema, ref, value, what, errors);
    EXPECT_TRUE(errors.empty()) << errors.size() << " mismatches, the first: " << errors.front();
  };
  auto listing = site.WithOptions({false, true}).Listing();
  ASSERT_TRUE(listing);
  int checked = 0;
  for (const auto& page : listing->pages) {
    if (!page.path.starts_with("api/")) continue;
    const std::string route = "/" + page.path.substr(0, page.path.size() - 5);
    const std::string kind = route.substr(5, route.find('/', 5) == std::string::npos ? std::string::npos : route.find('/', 5) - 5);
    check(route, kind, site.Get(route)->body);
    ++checked;
  }
  EXPECT_GT(checked, 15);
  // The check itself finds a wrong answer: a number as text, a key missing.
  std::vector<std::string> wrong;
  test::CheckSchema(schema, *schema.get("$defs")->get("raceSummary"),
                    test::ParseJson("{\"race\":\"1\",\"event\":1,\"heat\":1,\"heats\":1,\"title\":\"\",\"start\":null,\"state\":\"x\"}"),
                    "wrong", wrong);
  EXPECT_EQ(wrong.size(), 3u);  // race, state, stateLabel
  check("/api/nowhere", "error", site.Get("/api/race/999")->body);
  check("/api (405)", "error", site.Respond("POST", "/api/meet").body);
  meet.races[2].laneTime[0] = 3500;
  meet.Races(meet.races);
  const auto changes = site.ChangesSince(0);
  ASSERT_FALSE(changes.empty());
  check("/api/stream", "change", changes.back().Json());
}

TEST_F(LiveMeet, TextFromTheFilesIsEscaped) {
  const std::string page = Get("/");
  EXPECT_EQ(page.find("<script>大会"), std::string::npos);
  At(page, "春&lt;script&gt;大会");
  At(Get("/event/1"), "A&amp;&lt;B&gt;");
  At(Get("/api/event/1"), "\"club\":\"A&\\u003cB>\"");
}

TEST_F(LiveMeet, RoutesMethodsAndNumbers) {
  struct Row {
    const char* method;
    const char* path;
    int status;
  };
  const Row rows[] = {
      {"GET", "/", 200},          {"HEAD", "/", 200},          {"GET", "/api/meet", 200},
      {"GET", "/event/2", 200},   {"GET", "/api/event/1?t=1", 200}, {"GET", "/race/3", 200},
      {"GET", "/api/race/3", 200}, {"GET", "/points", 200},    {"GET", "/api/points", 200},
      {"GET", "/swimmer/1", 200}, {"GET", "/api/swimmer/1", 200}, {"GET", "/team/13001", 200},
      {"GET", "/api/team/13002", 200}, {"GET", "/api/search", 200}, {"GET", "/site.css", 200},
      {"GET", "/site.js", 200},
      {"POST", "/", 405},         {"PUT", "/api/race/1", 405}, {"DELETE", "/nowhere", 405},
      {"GET", "/race/5", 404},    {"GET", "/race/0", 404},     {"GET", "/race/01", 404},
      {"GET", "/race/-1", 404},   {"GET", "/race/99999999999", 404}, {"GET", "/event/4", 404},
      {"GET", "/event/1/", 404},  {"GET", "/event/", 404},     {"GET", "/event/1x", 404},
      {"GET", "/meet", 404},      {"GET", "/api", 404},        {"GET", "/api/", 404},
      {"GET", "/kijun.dat", 404}, {"GET", "/../taikai.dat", 404}, {"GET", "/event/..%2Fkijun.dat", 404},
      {"GET", "", 404},           {"GET", "/index.html", 404}, {"GET", "/search", 404},
      {"GET", "/swimmer/0", 404}, {"GET", "/swimmer/999", 404}, {"GET", "/team/1300", 404},
      {"GET", "/team/99999", 404}, {"GET", "/team/13001/", 404}, {"GET", "/api/stream/x", 404},
  };
  const LiveSite site = Site();
  for (const Row& row : rows) EXPECT_EQ(site.Respond(row.method, row.path).status, row.status) << row.method << " " << row.path;
  EXPECT_EQ(site.Respond("GET", "/api/race/9").contentType.find("application/json"), 0u);
  // The page for a missing one leads home and never reloads itself.
  const std::string missing = site.Respond("GET", "/nowhere").body;
  At(missing, "<a href=\"/\">");
  EXPECT_EQ(missing.find("refresh"), std::string::npos);
}

TEST_F(LiveMeet, AHalfWrittenFileKeepsTheLastGoodAnswer) {
  const std::string whole = test::ReadFile(meet.dir / "taikai.dat");
  // Never read whole: "更新中".
  test::WriteFile(meet.dir / "taikai.dat", whole.substr(0, whole.size() - 100));
  const auto fresh = Site().Respond("GET", "/event/1");
  EXPECT_EQ(fresh.status, 503);
  At(fresh.body, live::kUpdatingText);
  EXPECT_FALSE(Site().Listing());
  // Read whole once: a half-written file (or a header counting a race not
  // yet there) keeps the answer from the last good look.
  test::WriteFile(meet.dir / "taikai.dat", whole);
  const LiveSite site = Site();
  At(site.Respond("GET", "/api/race/1").body, "\"hundredths\":3000");
  std::string changed = whole;
  changed[static_cast<size_t>(10 * 256 + 46)] = static_cast<char>(0xB9);  // race 1 lane 1 becomes 30.01 …
  test::WriteFile(meet.dir / "taikai.dat", changed.substr(0, changed.size() - 100));  // … caught half-written
  EXPECT_EQ(site.Respond("GET", "/api/race/1").status, 200);
  At(site.Respond("GET", "/api/race/1").body, "\"hundredths\":3000");
  EXPECT_FALSE(site.Listing());  // nothing published from a half-written folder
  changed[0] = 9;
  test::WriteFile(meet.dir / "taikai.dat", changed);
  At(site.Respond("GET", "/api/meet").body, "\"races\":4");
  changed[0] = 4;
  test::WriteFile(meet.dir / "taikai.dat", changed);
  usleep(250000);  // a folder that could not be read is looked at again after a moment
  At(site.Respond("GET", "/api/race/1").body, "\"hundredths\":3001");
}

TEST_F(LiveMeet, StatesUntilEveryHeatIsInAndAFinalNotYetSeeded) {
  // Event 1 with its second heat not swum yet; event 2 a final without lanes.
  meet.races[1].laneTime = {};
  for (auto& n : meet.races[2].laneNo) n = 0;
  meet.Write();
  meet.States("7100");
  const std::string json = Get("/api/meet");
  At(json, "{\"event\":1,\"title\":");
  At(json, "\"heatsSwum\":1,\"relay\":false,\"state\":\"partial\",\"stateLabel\":\"途中経過 1/2組\"}");
  At(json, "\"heatsSwum\":0,\"relay\":false,\"state\":\"pending\",\"stateLabel\":\"予選終了後に決定\"}");
  const std::string event1 = Get("/event/1");
  At(event1, "途中経過 1/2組");
  At(event1, "結果（途中経過）");
  At(event1, "スタートリスト");
  At(Get("/event/2"), "予選終了後に決定");
  meet.States("7700");
  meet.races[1].laneTime[0] = 3000;
  meet.Write();
  At(Get("/api/meet"), "\"heatsSwum\":2,\"relay\":false,\"state\":\"final\",\"stateLabel\":\"確定\"}");
}

TEST_F(LiveMeet, ASwimmersAndATeamsPages) {
  // Entry 1 swims event 1 lane 1; the first leg of team A's relay too.
  At(Get("/api/swimmer/" + std::to_string(legA)), "\"leg\":1,\"lane\":{\"race\":4,\"heat\":1,\"lane\":1,");
  const std::string one = Get("/api/swimmer/1");
  At(one, "\"entry\":1,\"masked\":false,\"name\":\"泳者1\"");
  At(one, "\"swims\":[{\"race\":1,\"event\":1,");
  At(Get("/swimmer/1"), "id=\"favbtn\"");
  const std::string team = Get("/api/team/13001");
  At(team, "\"team\":\"13001\",\"name\":\"A&\\u003cB>\"");
  At(team, "\"swimmers\":[{\"entry\":1,");
  ASSERT_TRUE(meet.Run());
  At(Get("/api/team/13002"), "\"points\":[{\"list\":1,\"listName\":\"男子\",\"rank\":");
  const std::string index = Get("/api/search");
  At(index, "{\"entry\":1,\"name\":\"泳者1\",\"kana\":\"ｴｲｼｬ\",\"club\":\"A&\\u003cB>\",\"team\":\"13001\"}");
  At(index, "\"teams\":[{\"team\":\"13001\",");
  // A relay team is found through its club, not as a swimmer.
  EXPECT_EQ(index.find("クラブＡＢ"), std::string::npos);
}

TEST_F(LiveMeet, ChangesSayWhichEventsAndRacesAndAnswersKeepTheirTags) {
  const LiveSite site = Site();
  const auto before = site.Get("/api/event/1");
  const auto other = site.Get("/api/event/2");
  EXPECT_EQ(site.Get("/api/event/1")->etag, before->etag);
  EXPECT_TRUE(site.ChangesSince(0).empty());
  meet.races[2].laneTime[0] = 3500;  // race 3, event 2
  meet.Races(meet.races);
  const auto changes = site.ChangesSince(0);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].events, std::vector<int>{2});
  EXPECT_EQ(changes[0].races, std::vector<int>{3});
  EXPECT_TRUE(changes[0].meet);
  EXPECT_FALSE(changes[0].all);
  EXPECT_EQ(changes[0].Json(), "{\"version\":1,\"id\":1,\"all\":false,\"meet\":true,\"points\":false,\"events\":[2],\"races\":[3]}");
  EXPECT_TRUE(site.ChangesSince(changes[0].id).empty());
  // Event 1 is the same answer (tag and time); event 2 is new.
  EXPECT_EQ(site.Get("/api/event/1"), before);
  EXPECT_NE(site.Get("/api/event/2")->etag, other->etag);
  EXPECT_FALSE(site.Get("/api/event/2")->gzip.empty());
}

TEST_F(LiveMeet, PointsOnceTallied) {
  At(Get("/api/points"), "\"tallied\":false");
  ASSERT_TRUE(meet.Run());
  const std::string json = Get("/api/points");
  At(json, "\"tallied\":true");
  At(json, "\"team\":\"13002\",\"name\":\"クラブB\"");
  At(json, "\"name\":\"(広島)\",\"pref\":\"\"");  // the masked swimmer's club
}

TEST_F(LiveMeet, PublishWritesTheSiteWithRelativeLinksAndOnlyWhatChanged) {
  test::TempDir out;
  const LiveSite site = Site();
  auto first = live::PublishSite(site, meet.dir.path(), out.path());
  ASSERT_TRUE(first) << first.error().message;
  const int total = first->written;
  EXPECT_GT(total, 30);
  const std::string index = test::ReadFile(out / "index.html");
  At(index, "href=\"event/1.html\"");
  At(index, "href=\"site.css\"");
  At(test::ReadFile(out / "event/1.html"), "href=\"../race/1.html\"");
  At(test::ReadFile(out / "api/race/3.json"), "\"race\":3");
  EXPECT_EQ(Gunzip(test::ReadFile(out / "event/1.html.gz")), test::ReadFile(out / "event/1.html"));
  // Race 3 gets a result: its event, its race, the overview and its
  // swimmers' and team's pages change; nothing else is even read.
  meet.races[2].laneTime[0] = 3500;
  meet.Races(meet.races);
  auto second = live::PublishSite(site, meet.dir.path(), out.path());
  ASSERT_TRUE(second);
  EXPECT_GE(second->written, 6);
  EXPECT_LE(second->written, 16);
  EXPECT_EQ(second->written + second->unchanged, total);
  At(test::ReadFile(out / "api/race/3.json"), "35.00");
  for (const auto& e : fs::recursive_directory_iterator(out.path()))
    EXPECT_EQ(e.path().filename().string().find(".pub-"), std::string::npos) << e.path();  // no temporary left
  auto third = live::PublishSite(site, meet.dir.path(), out.path());
  ASSERT_TRUE(third);
  EXPECT_EQ(third->written, 0);
  // A file changed by hand is put back; one no longer in the site goes.
  // The temporaries of a publish killed on the way (its mark still there)
  // are removed, in the folder itself too.
  test::WriteFile(out / "race/1.html", "x");
  for (const char* left : {".index.html.pub-1a2b3c4", "event/.1.html.pub-5d6e7f8", ".meetdesk-publishing"})
    test::WriteFile(out / left, "part");
  auto fourth = live::PublishSite(site, meet.dir.path(), out.path());
  ASSERT_TRUE(fourth);
  EXPECT_EQ(fourth->written, 1);
  for (const char* left : {".index.html.pub-1a2b3c4", "event/.1.html.pub-5d6e7f8", ".meetdesk-publishing"})
    EXPECT_FALSE(fs::exists(out / left)) << left;
  EXPECT_FALSE(live::PublishSite(site, meet.dir.path(), meet.dir.path()));
}

TEST_F(LiveMeet, PublishNeverFollowsALinkAndReadsOldFilesOfAnySize) {
  test::TempDir out, elsewhere;
  const LiveSite site = Site();
  ASSERT_TRUE(live::PublishSite(site, meet.dir.path(), out.path()));
  test::WriteFile(out / ".meetdesk.lock", "desk");
  // index.html a link to a file elsewhere: refused before any write, the
  // target untouched; the same for a folder of the site.
  test::WriteFile(elsewhere / "target", "keep");
  ::chmod((elsewhere / "target").c_str(), 0600);
  fs::remove(out / "index.html");
  fs::create_symlink(elsewhere / "target", out / "index.html");
  meet.races[2].laneTime[0] = 3500;
  meet.Write();
  const std::string raceBefore = test::ReadFile(out / "api/race/3.json");
  auto linked = live::PublishSite(site, meet.dir.path(), out.path());
  ASSERT_FALSE(linked);
  At(linked.error().message, "index.html");
  EXPECT_EQ(test::ReadFile(elsewhere / "target"), "keep");
  struct stat st;
  ASSERT_EQ(::stat((elsewhere / "target").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(test::ReadFile(out / "api/race/3.json"), raceBefore);  // nothing written
  fs::remove(out / "index.html");
  fs::rename(out / "event", elsewhere / "event");
  fs::create_symlink(elsewhere / "event", out / "event");
  const std::string eventBefore = test::ReadFile(elsewhere / "event" / "2.html");
  EXPECT_FALSE(live::PublishSite(site, meet.dir.path(), out.path()));
  EXPECT_EQ(test::ReadFile(elsewhere / "event" / "2.html"), eventBefore);
  fs::remove(out / "event");
  // An old file of 4 GB (sparse) is compared by its size, never read whole;
  // one of the right size piece by piece.
  {
    std::ofstream big(out / "race/1.html");
  }
  ASSERT_EQ(::truncate((out / "race/1.html").c_str(), 4LL << 30), 0);
  const std::string page2 = test::ReadFile(out / "race/2.html");
  test::WriteFile(out / "race/2.html", std::string(page2.size(), 'x'));
  auto again = live::PublishSite(site, meet.dir.path(), out.path());
  ASSERT_TRUE(again) << again.error().message;
  EXPECT_LT(fs::file_size(out / "race/1.html"), 1u << 20);
  // The same page, but for the time its data last changed (the meet was
  // written since, maybe in a later second).
  const auto withoutTime = [](std::string page) {
    const size_t at = page.find("<p class=\"u\" id=\"updated\">");
    return at == std::string::npos ? page : page.erase(at, page.find("</p>", at) - at);
  };
  EXPECT_EQ(withoutTime(test::ReadFile(out / "race/2.html")), withoutTime(page2));
  EXPECT_EQ(test::ReadFile(out / ".meetdesk.lock"), "desk");  // the writers' lock is not ours
  At(test::ReadFile(out / "api/race/3.json"), "35.00");
}

TEST_F(LiveMeet, SplitsFromTheLapFileUnderTheResults) {
  // Lane 1 of race 1: 14.80 at 25 m, finished 30.00; lane 2 has no lap lines.
  fs::create_directories(meet.dir / "lap");
  test::WriteFile(meet.dir / "lap" / "R0001", "1,\"0:14.80\",\"\"\r\n1,\"0:30.00\",\"G\"\r\n");
  const std::string json = Get("/api/event/1");
  At(json, "\"lane\":1,\"place\":1,\"entry\":1,");
  At(json, "\"splits\":[1480,3000],\"laps\":[1520]");
  At(json, "\"hundredths\":3100,\"text\":\"31.00\"},\"entryTime\"");
  At(Get("/event/1"), "<tr class=\"s\"><td colspan=\"3\">14.80  30.00 (15.20)</td></tr>");
}

TEST_F(LiveMeet, WorldAquaticsPointsOnceTheMeetHoldsATable) {
  At(Get("/api/event/1"), "\"exhibition\":false,\"points\":null}");
  EXPECT_EQ(Get("/event/1").find("ポイント"), std::string::npos);
  // 50m自由形 for men at 21.00: 30.00 is B/T = 0.7 exactly, 343; 31.00 310;
  // the disqualification and the exhibition swim none.
  test::WriteFile(meet.dir / "wapoints.csv", "LCM,M,50,FREE,1,21.00\n");
  const std::string json = Get("/api/event/1");
  At(json, "\"hundredths\":3000,\"text\":\"30.00\"},\"entryTime\"");
  At(json, "\"mark\":\"\",\"exhibition\":false,\"points\":343}");
  At(json, "\"mark\":\"\",\"exhibition\":false,\"points\":310}");
  At(json, "\"mark\":\"OP\",\"exhibition\":true,\"points\":null}");
  const std::string page = Get("/event/1");
  At(page, "<th scope=\"col\" class=\"n\">ポイント</th>");
  At(page, ">343</td>");
  At(Get("/race/1"), ">310</td>");
}

TEST(LiveSite, ResultsPerOptionalCategoryUnderGodoAsThePrintout) {
  test::PointsMeet meet;
  meet.settings.seedingMode = "4";
  meet.settings.classMode = "1";
  // Ages 10, 14 and 30 in one race; categories up to 12 and 13 to 18.
  meet.Event({{{0, 3100, 0, 10}, {1, 3000, 0, 14}, {2, 2900, 0, 30}}});
  ASSERT_TRUE(SaveSettings(meet.dir.path(), meet.settings));
  meet.Write();
  std::string cats(32 * 3, '\0');
  test::Put(cats, 0, test::Le16(2));
  auto cat = [&](int n, int from, int to, const std::string& name) {
    const size_t at = static_cast<size_t>(n) * 32;
    test::Put(cats, at, "4");
    test::Put(cats, at + 1, test::Le16(from));
    test::Put(cats, at + 3, test::Le16(to));
    test::Put(cats, at + 5, test::Le16(1));
    test::Put(cats, at + 7, test::Le16(22));
    test::Put(cats, at + 9, test::Sjis(name, 12));
    test::Put(cats, at + 21, " ");
  };
  cat(1, 1, 12, "12歳以下");
  cat(2, 13, 18, "13-18歳");
  test::WriteFile(meet.dir / "optkubun.dat", cats);
  const LiveSite site(meet.dir.path(), meet.settings.entryFolder, meet.settings.entryFileName, {});
  const std::string json = site.Respond("GET", "/api/event/1").body;
  // Each category placed on its own; the swimmer no category covers after them.
  const size_t young = json.find("{\"title\":\"12歳以下\",\"results\":[{\"race\":1,\"heat\":1,\"lane\":1,\"place\":1,");
  const size_t older = json.find("{\"title\":\"13-18歳\",\"results\":[{\"race\":1,\"heat\":1,\"lane\":2,\"place\":1,");
  const size_t rest = json.find("{\"title\":\"区分外\",\"results\":[{\"race\":1,\"heat\":1,\"lane\":3,\"place\":1,", older);
  ASSERT_NE(young, std::string::npos) << json;
  ASSERT_NE(older, std::string::npos) << json;
  ASSERT_NE(rest, std::string::npos) << json;
  EXPECT_LT(young, older);
  // Across the whole event the 30-year-old is first.
  EXPECT_NE(json.find("\"results\":[{\"race\":1,\"heat\":1,\"lane\":3,\"place\":1,"), std::string::npos);
  const std::string page = site.Respond("GET", "/event/1").body;
  EXPECT_LT(page.find("<h3>12歳以下</h3>"), page.find("<h3>13-18歳</h3>"));
  EXPECT_NE(page.find("<h3>区分外</h3>"), std::string::npos);
  EXPECT_EQ(page.find("<h3></h3>"), std::string::npos);
}

}  // namespace
}  // namespace meet
