// The live results site over a small meet folder: ranking and masking checked
// against the race file, routes, escaping, a half-written file, publishing.
#include "live/live_site.h"

#include <gtest/gtest.h>

#include "live/publish.h"
#include "results/points_fixture.h"
#include "settings/settings.h"

namespace meet {
namespace {

using live::LiveOptions;
using live::LiveSite;

struct LiveMeet : ::testing::Test {
  void SetUp() override {
    // Event 1: two heats; a tie for first, a disqualification, an
    // exhibition swim. Event 2: one heat not yet swum.
    meet.Event({{{0, 3000}, {1, 3100}, {2, 700001}}, {{1, 3000}, {2, 2900, 99}}});
    meet.Event({{{0, 0}, {1, 0}}}, "2", 5);
    meet.swimmers[1].regNo = "3400" + meet.swimmers[1].regNo.substr(4);
    meet.swimmers[0].affiliation = "A&<B>";
    meet.settings.meetName = "春<script>大会";
    ASSERT_TRUE(SaveSettings(meet.dir.path(), meet.settings));
    meet.Write();
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
};

TEST_F(LiveMeet, EventResultsRankAcrossHeatsAsThePrintout) {
  const std::string json = Get("/api/event/1");
  const std::string results = json.substr(At(json, "\"results\""), At(json, "\"exhibition\"") - At(json, "\"results\""));
  // 30.00 in heat 1 lane 1 and heat 2 lane 1 share place 1; 31.00 third; the
  // disqualification last without a place.
  const size_t first = At(results, "{\"race\":1,\"heat\":1,\"lane\":1,\"place\":1,");
  const size_t tie = At(results, "{\"race\":2,\"heat\":2,\"lane\":1,\"place\":1,");
  const size_t third = At(results, "{\"race\":1,\"heat\":1,\"lane\":2,\"place\":3,");
  const size_t dq = At(results, "{\"race\":1,\"heat\":1,\"lane\":3,\"place\":null,");
  EXPECT_LT(first, tie);
  EXPECT_LT(tie, third);
  EXPECT_LT(third, dq);
  // The exhibition swim (29.00) is listed apart, not ranked.
  EXPECT_EQ(results.find("\"time\":\"29.00\""), std::string::npos);
  At(json.substr(At(json, "\"exhibition\"")), "{\"race\":2,\"heat\":2,\"lane\":2,\"place\":null,");
  At(json, "\"state\":\"終了\"");
  At(Get("/api/meet"), "{\"event\":2,");
  At(Get("/api/meet"), "\"heatsSwum\":0,\"state\":\"未\"");
}

TEST_F(LiveMeet, CodesBeginningWith34AreMaskedUnlessUnmasked) {
  for (const std::string path : {"/api/event/1", "/event/1", "/api/race/1", "/race/1"}) {
    const std::string body = Get(path);
    EXPECT_EQ(body.find("泳者2"), std::string::npos) << path;
    At(body, "(広島)");
    At(Get(path, true), "泳者2");
  }
}

TEST(LiveSite, ARelayTeamIsNamedBeforeItsOrderAndMaskedByItsOwnCode) {
  test::PointsMeet meet;
  meet.Event({{{0, 0}, {1, 0}}}, "2", 26);  // a relay not yet swum, no order entered
  meet.swimmers[1].regNo = "3400" + meet.swimmers[1].regNo.substr(4);
  ASSERT_TRUE(SaveSettings(meet.dir.path(), meet.settings));
  meet.Write();
  for (bool unmask : {false, true}) {
    const LiveSite site(meet.dir.path(), meet.settings.entryFolder, meet.settings.entryFileName, LiveOptions{unmask, false});
    const std::string json = site.Respond("GET", "/api/race/1").body;
    EXPECT_NE(json.find("{\"lane\":\"1\",\"name\":\"泳者1\""), std::string::npos) << json;
    EXPECT_EQ(json.find("泳者2") != std::string::npos, unmask) << json;
    EXPECT_EQ(json.find("{\"lane\":\"2\",\"name\":\"(広島)\"") != std::string::npos, !unmask) << json;
    const std::string page = site.Respond("GET", "/race/1").body;
    EXPECT_NE(page.find("<td>泳者1</td>"), std::string::npos);
    EXPECT_EQ(page.find("泳者2") != std::string::npos, unmask);
  }
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
      {"POST", "/", 405},         {"PUT", "/api/race/1", 405}, {"DELETE", "/nowhere", 405},
      {"GET", "/race/4", 404},    {"GET", "/race/0", 404},     {"GET", "/race/01", 404},
      {"GET", "/race/-1", 404},   {"GET", "/race/99999999999", 404}, {"GET", "/event/3", 404},
      {"GET", "/event/1/", 404},  {"GET", "/event/", 404},     {"GET", "/event/1x", 404},
      {"GET", "/meet", 404},      {"GET", "/api", 404},        {"GET", "/api/", 404},
      {"GET", "/kijun.dat", 404}, {"GET", "/../taikai.dat", 404}, {"GET", "/event/..%2Fkijun.dat", 404},
      {"GET", "", 404},           {"GET", "/index.html", 404},
  };
  const LiveSite site = Site();
  for (const Row& row : rows) EXPECT_EQ(site.Respond(row.method, row.path).status, row.status) << row.method << " " << row.path;
  EXPECT_EQ(site.Respond("GET", "/api/race/9").contentType.find("application/json"), 0u);
}

TEST_F(LiveMeet, AHalfWrittenRaceFileGivesTheUpdatingPage) {
  std::string bytes = test::ReadFile(meet.dir / "taikai.dat");
  test::WriteFile(meet.dir / "taikai.dat", bytes.substr(0, bytes.size() - 100));
  const auto r = Site().Respond("GET", "/event/1");
  EXPECT_EQ(r.status, 503);
  At(r.body, live::kUpdatingText);
  // A header counting a race the file does not hold yet.
  bytes[0] = 9;
  test::WriteFile(meet.dir / "taikai.dat", bytes);
  EXPECT_EQ(Site().Respond("GET", "/api/meet").status, 503);
  EXPECT_TRUE(Site().SiteFiles().empty());
}

TEST_F(LiveMeet, PointsOnceTallied) {
  At(Get("/api/points"), "\"tallied\":false");
  ASSERT_TRUE(meet.Run());
  const std::string json = Get("/api/points");
  At(json, "\"tallied\":true");
  At(json, "{\"rank\":1,\"team\":\"クラブB\"");
}

TEST_F(LiveMeet, PublishWritesTheSiteWithRelativeLinksAndOnlyWhatChanged) {
  test::TempDir out;
  const LiveSite site = Site();
  auto first = live::PublishSite(site, meet.dir.path(), out.path());
  ASSERT_TRUE(first) << first.error().message;
  EXPECT_EQ(first->written, 2 + 2 * 2 + 3 * 2 + 2);  // meet, events, races, points
  const std::string index = test::ReadFile(out / "index.html");
  At(index, "href=\"event/1.html\"");
  At(test::ReadFile(out / "event/1.html"), "href=\"../race/1.html\"");
  At(test::ReadFile(out / "api/race/3.json"), "\"race\":3");
  // Race 3 gets a result: its event, its race and the meet overview change.
  meet.races[2].laneTime[0] = 3500;
  meet.Write();
  auto second = live::PublishSite(site, meet.dir.path(), out.path());
  ASSERT_TRUE(second);
  EXPECT_EQ(second->written, 6);
  At(test::ReadFile(out / "api/race/3.json"), "35.00");
  for (const auto& e : std::filesystem::recursive_directory_iterator(out.path()))
    EXPECT_NE(e.path().filename().string()[0], '.') << e.path();  // no temporary file left
  EXPECT_FALSE(live::PublishSite(site, meet.dir.path(), meet.dir.path()));
}

TEST_F(LiveMeet, SplitsFromTheLapFileUnderTheResults) {
  // Lane 1 of race 1: 14.80 at 25 m, finished 30.00; lane 2 has no lap lines.
  std::filesystem::create_directories(meet.dir / "lap");
  test::WriteFile(meet.dir / "lap" / "R0001", "1,\"0:14.80\",\"\"\r\n1,\"0:30.00\",\"G\"\r\n");
  const std::string json = Get("/api/event/1");
  At(json, "\"lane\":1,\"place\":1,\"name\":\"泳者1\"");
  At(json, "\"time\":\"30.00\",\"splits\":[\"0:14.80\",\"30.00\"],\"laps\":[\"15.20\"]}");
  At(json, "\"time\":\"31.00\",\"splits\":[],\"laps\":[]}");
  At(Get("/event/1"), "<tr class=\"s\"><td colspan=\"5\">0:14.80  30.00 (15.20)</td></tr>");
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
  const size_t rest = json.find("\"results\":[{\"race\":1,\"heat\":1,\"lane\":3,\"place\":1,", older);
  ASSERT_NE(young, std::string::npos) << json;
  ASSERT_NE(older, std::string::npos) << json;
  ASSERT_NE(rest, std::string::npos) << json;
  EXPECT_LT(young, older);
  // Across the whole event the 30-year-old is first.
  EXPECT_NE(json.find("\"results\":[{\"race\":1,\"heat\":1,\"lane\":3,\"place\":1,"), std::string::npos);
  const std::string page = site.Respond("GET", "/event/1").body;
  EXPECT_LT(page.find("<h3>12歳以下</h3>"), page.find("<h3>13-18歳</h3>"));
}

}  // namespace
}  // namespace meet
