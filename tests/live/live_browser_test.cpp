// A phone-sized headless Chromium reads an event's page the same three ways:
// from `meetctl serve`, from the `meetctl publish` folder as files, and from
// a plain static server over that folder; a race posted meanwhile shows on
// the next load. Skipped where Chromium is missing or cannot start.
#include <gtest/gtest.h>

#include "print/program_pages.h"
#include "live/live_process.h"

namespace meet {
namespace {

using Rows = std::vector<std::vector<std::string>>;

class Browser {
 public:
  explicit Browser(std::string program, std::filesystem::path profile)
      : program_(std::move(program)), profile_(std::move(profile)) {}
  // The page's DOM after it loaded, or "" when Chromium gave nothing.
  std::string Dom(const std::string& url) const {
    const auto run = test::RunProcess({program_, "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
                                       "--disable-dev-shm-usage", "--user-data-dir=" + profile_.string(),
                                       "--window-size=390,844", "--dump-dom", url},
                                      std::chrono::seconds(90), false);
    return run.rc == 0 ? run.out : std::string();
  }

 private:
  std::string program_;
  std::filesystem::path profile_;
};

TEST(LiveBrowser, AnEventPageReadsTheSameServedPublishedAndFromFiles) {
  const std::string chromium = test::FindProgram("chromium");
  if (chromium.empty()) GTEST_SKIP() << "chromium is not installed: the headless browser test is skipped";
  test::TempDir profile;
  const Browser browser(chromium, profile.path());
  if (browser.Dom("data:text/html,<p>ok</p>").find("<p>ok</p>") == std::string::npos)
    GTEST_SKIP() << "chromium cannot start headless here: the headless browser test is skipped";

  test::SeededMeet meet;
  std::string message;
  ASSERT_TRUE(meet.Make(120, 1, &message)) << message;
  auto races = RaceFileImage::Load(meet.meet);
  ASSERT_TRUE(races);
  const int eventNo = races->race(1).eventNo;
  const std::string page = "event/" + std::to_string(eventNo);

  const int port = test::FreePort();
  test::Child server({test::MeetctlPath(), "--ctl", meet.ctl.string(), "serve", "--port", std::to_string(port)});
  ASSERT_TRUE(test::WaitForServer(port));
  const std::string served = "http://127.0.0.1:" + std::to_string(port) + "/" + page;
  const Rows results = test::TableRows(browser.Dom(served), "id=\"p-results\"");
  ASSERT_FALSE(results.empty()) << "no result rows on " << served;
  EXPECT_EQ(results, test::TableRows(test::Http(port, "GET", "/" + page).body, "id=\"p-results\""));
  EXPECT_EQ(results.front().front(), "1");

  const std::filesystem::path site = meet.dir / "site";
  ASSERT_EQ(meet.Meetctl({"publish", site.string()}).rc, 0);
  EXPECT_EQ(test::TableRows(browser.Dom("file://" + (site / (page + ".html")).string()), "id=\"p-results\""), results);

  if (const std::string python = test::FindProgram("python3"); python.empty()) {
    std::cout << "python3 is not installed: the static server leg is skipped\n";
  } else {
    const int staticPort = test::FreePort();
    test::Child files({python, "-m", "http.server", std::to_string(staticPort), "--bind", "127.0.0.1", "--directory",
                       site.string()});
    ASSERT_TRUE(test::WaitForServer(staticPort));
    EXPECT_EQ(test::TableRows(browser.Dom("http://127.0.0.1:" + std::to_string(staticPort) + "/" + page + ".html"),
                              "id=\"p-results\""),
              results);
  }

  // The next heat of the event (or the next race) is posted: the next load
  // shows its swimmers among the results.
  int next = 2;
  while (next < races->raceCount() && races->race(next).eventNo != eventNo) ++next;
  const int nextEvent = races->race(next).eventNo;
  const std::string nextPage = "http://127.0.0.1:" + std::to_string(port) + "/event/" + std::to_string(nextEvent);
  const size_t before = nextEvent == eventNo ? results.size() : test::TableRows(browser.Dom(nextPage), "id=\"p-results\"").size();
  ASSERT_TRUE(meet.Post(next, &message)) << message;
  EXPECT_GT(test::TableRows(browser.Dom(nextPage), "id=\"p-results\"").size(), before);
}

}  // namespace
}  // namespace meet
