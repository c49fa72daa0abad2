// A phone-sized headless Chromium reads an event's page the same three ways:
// from `meetctl serve`, from the `meetctl publish` folder as files, and from
// a plain static server over that folder; a race posted meanwhile shows on
// the next load. Skipped where Chromium is missing or cannot start.
#include <gtest/gtest.h>

#include "print/program_pages.h"
#include "live/live_process.h"

#include <thread>
#include <tuple>

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

namespace meet {
namespace {

// The checks a page passes in the browser, as one script: nothing wider than
// the screen, the language, one h1 and headings that skip no level, every
// table with column headers (a number's header aligned as its numbers),
// every field with a label, every link with text. "" when all pass.
constexpr const char* kPageChecks = R"JS((function(){var p=[],d=document;
if(d.documentElement.scrollWidth>innerWidth+1)p.push('wider than the screen: '+d.documentElement.scrollWidth+' > '+innerWidth);
if(d.documentElement.lang!=='ja')p.push('lang is not ja');
if(d.querySelectorAll('h1').length!==1)p.push(d.querySelectorAll('h1').length+' h1');
var last=0;d.querySelectorAll('h1,h2,h3,h4').forEach(function(h){var l=+h.tagName[1];if(l>last+1)p.push('heading '+h.tagName+' after h'+last);last=l});
d.querySelectorAll('table').forEach(function(t){if(!t.querySelector('th'))p.push('a table without th');
var heads=t.querySelectorAll('thead th');t.querySelectorAll('tbody tr').forEach(function(r){var cells=r.children;if(cells.length!==heads.length)return;
for(var i=0;i<cells.length;i++){var a=getComputedStyle(cells[i]).textAlign,b=getComputedStyle(heads[i]).textAlign;if(cells[i].classList.contains('n')&&a!==b)p.push('header '+heads[i].textContent+' '+b+' over numbers '+a)}})});
d.querySelectorAll('input,select,textarea').forEach(function(i){if(!(i.id&&d.querySelector('label[for="'+i.id+'"]'))&&!i.getAttribute('aria-label'))p.push('a field without a label')});
d.querySelectorAll('a').forEach(function(a){if(!a.textContent.trim())p.push('a link without text')});
d.querySelectorAll('img').forEach(function(i){if(!i.hasAttribute('alt'))p.push('an image without alt')});
return p.filter(function(x,i){return p.indexOf(x)===i}).join('; ')})())JS";

TEST(LiveBrowser, PagesFitAPhoneAndADeskPassTheChecksAndFollowTheStream) {
  const std::string chromium = test::FindProgram("chromium");
  if (chromium.empty()) GTEST_SKIP() << "chromium is not installed: the headless browser test is skipped";
  test::TempDir profile;
  test::DevToolsBrowser browser(chromium, profile.path());
  if (!browser.ready()) GTEST_SKIP() << "chromium cannot start headless here: the headless browser test is skipped";

  test::SeededMeet meet;
  std::string message;
  ASSERT_TRUE(meet.Make(200, 2, &message)) << message;
  ASSERT_EQ(meet.Meetctl({"points", "tally"}).rc, 0);
  auto races = RaceFileImage::Load(meet.meet);
  ASSERT_TRUE(races);
  const int port = test::FreePort();
  test::Child server({test::MeetctlPath(), "--ctl", meet.ctl.string(), "serve", "--port", std::to_string(port)});
  ASSERT_TRUE(test::WaitForServer(port));
  const std::string base = "http://127.0.0.1:" + std::to_string(port);
  // The races of a relay and of the race after the posted ones, the first swimmer and club.
  const std::string raceJson = test::Http(port, "GET", "/api/race/1").body;
  const size_t entryAt = raceJson.find("\"entry\":");
  const std::string entry = raceJson.substr(entryAt + 8, raceJson.find(',', entryAt) - entryAt - 8);
  const size_t teamAt = raceJson.find("\"team\":\"");
  const std::string team = raceJson.substr(teamAt + 8, 5);
  int relayRace = 0;
  for (int n = 1; n <= races->raceCount() && relayRace == 0; ++n)
    if (races->race(n).eventCode >= 23 && races->race(n).eventCode <= 29) relayRace = n;
  std::vector<std::string> pages = {"/nowhere", "/", "/event/" + std::to_string(races->race(1).eventNo), "/race/1", "/swimmer/" + entry,
                                    "/team/" + team, "/points"};
  if (relayRace > 0) pages.push_back("/race/" + std::to_string(relayRace));
  for (const auto& [width, height, mobile] : {std::tuple{360, 740, true}, std::tuple{1280, 900, false}}) {
    browser.Viewport(width, height, mobile);
    for (const std::string& page : pages) {
      ASSERT_TRUE(browser.Navigate(base + page)) << page;
      EXPECT_EQ(browser.Eval(kPageChecks), "\"\"") << page << " at " << width << " px";
    }
  }

  // A phone on the event of the next race, scrolled down a little: the
  // race posted arrives by the stream, the page takes it in place (no
  // reload, the reader's place kept) within 2 seconds.
  int next = 3;
  while (next <= races->raceCount() && races->race(next).laneNo[3] == 0) ++next;
  ASSERT_LE(next, races->raceCount());
  browser.Viewport(390, 844, true);
  ASSERT_TRUE(browser.Navigate(base + "/event/" + std::to_string(races->race(next).eventNo)));
  const std::string rowsBefore = browser.Eval("document.querySelectorAll('#p-results tbody tr').length");
  browser.Eval("window.__kept = 1; window.scrollTo(0, 120); 0");
  // Wait for the stream to be open before posting.
  for (int i = 0; i < 50 && browser.Eval("document.body.dataset.updates || 'x'") == "\"x\""; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const std::string scrolled = browser.Eval("Math.round(scrollY)");
  const std::string updates = browser.Eval("+(document.body.dataset.updates || 0)");
  ASSERT_EQ(meet.Meetctl({"timing", "finish", std::to_string(next), "--seed", "7"}).rc, 0);
  const auto posted = std::chrono::steady_clock::now();
  ASSERT_EQ(meet.Meetctl({"post", "--no-print"}).rc, 0);
  std::string rowsAfter = rowsBefore;
  while (std::chrono::steady_clock::now() - posted < std::chrono::seconds(10) && rowsAfter == rowsBefore) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    rowsAfter = browser.Eval("document.querySelectorAll('#p-results tbody tr').length");
  }
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - posted).count();
  std::cout << "browser: the posted race's results on the page " << took << " ms after the posting began\n";
  EXPECT_NE(rowsAfter, rowsBefore);
  EXPECT_LT(took, 2000);
  EXPECT_EQ(browser.Eval("window.__kept"), "1") << "the page was reloaded";
  EXPECT_NE(browser.Eval("+(document.body.dataset.updates || 0)"), updates);
  EXPECT_EQ(browser.Eval("Math.round(scrollY)"), scrolled);
}

}  // namespace
}  // namespace meet
