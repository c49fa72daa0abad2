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

}  // namespace
}  // namespace meet
