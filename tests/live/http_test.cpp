// HTTP as bytes: requests read within their caps and bodies refused before
// they are read; the answers' headers (close, 304, gzip, CORS, OPTIONS).
#include "live/http.h"

#include <gtest/gtest.h>

#include "live/live_site.h"
#include "results/points_fixture.h"
#include "settings/settings.h"

namespace meet::live {
namespace {

using State = RequestParse::State;

TEST(ParseRequest, CapsBodiesVersionsAndConnections) {
  struct Row {
    std::string bytes;
    State state;
    int status;      // for Bad
    bool keepAlive;  // for Ready
  };
  const std::string line8k = "GET /" + std::string(kMaxRequestLine, 'a') + " HTTP/1.1\r\n\r\n";
  const std::string headers32k = "GET / HTTP/1.1\r\nX: " + std::string(kMaxHeaderBytes, 'b') + "\r\n\r\n";
  const Row rows[] = {
      {"GET / HTTP/1.1\r\nHost: x\r\n\r\n", State::Ready, 0, true},
      {"GET / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", State::Ready, 0, false},
      {"GET / HTTP/1.1\r\nConnection: Keep-Alive, CLOSE\r\n\r\n", State::Ready, 0, false},
      {"GET / HTTP/1.0\r\n\r\n", State::Ready, 0, false},
      {"GET / HTTP/1.0\r\nConnection: keep-alive\r\n\r\n", State::Ready, 0, true},
      {"GET / HTTP/1.1\n\n", State::Ready, 0, true},  // bare line feeds
      {"\r\nGET / HTTP/1.1\r\n\r\n", State::Ready, 0, true},
      {"GET /x?y HTTP/1.1\r\nContent-Length: 0\r\n\r\n", State::Ready, 0, true},
      {"GET http://host/race/1 HTTP/1.1\r\n\r\n", State::Ready, 0, true},
      {"GET / HTTP/1.1\r\nHost: x\r\n", State::More, 0, true},
      {"GET / HTTP/1.1", State::More, 0, true},
      {"GET /" + std::string(kMaxRequestLine - 20, 'a'), State::More, 0, true},
      {"GET /" + std::string(kMaxRequestLine, 'a'), State::Bad, 414, true},
      {line8k, State::Bad, 414, true},
      {"GET / HTTP/1.1\r\nX: " + std::string(kMaxHeaderBytes, 'b'), State::Bad, 431, true},
      {headers32k, State::Bad, 431, true},
      {"POST / HTTP/1.1\r\nContent-Length: 536870912\r\n\r\n", State::Bad, 405, true},
      {"PUT / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", State::Bad, 405, true},
      {"GET / HTTP/1.1\r\nContent-Length: 5\r\n\r\n", State::Bad, 413, true},
      {"GET / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n", State::Bad, 400, true},
      {"GET / HTTP/1.1\r\nContent-Length: -1\r\n\r\n", State::Bad, 400, true},
      {"GET / HTTP/1.1\r\nContent-Length: 0\r\nContent-Length: 1\r\n\r\n", State::Bad, 400, true},
      {"GET / HTTP/2.0\r\n\r\n", State::Bad, 505, true},
      {"GET / FTP/1.0\r\n\r\n", State::Bad, 400, true},
      {"GET /\r\n\r\n", State::Bad, 400, true},
      {"GET  / HTTP/1.1\r\n\r\n", State::Bad, 400, true},
      {"G(T / HTTP/1.1\r\n\r\n", State::Bad, 400, true},
      {"GET race HTTP/1.1\r\n\r\n", State::Bad, 400, true},
      {"GET /\x01 HTTP/1.1\r\n\r\n", State::Bad, 400, true},
      {"GET / HTTP/1.1\r\nNo colon\r\n\r\n", State::Bad, 400, true},
      {"GET / HTTP/1.1\r\nX: a\r\n folded\r\n\r\n", State::Bad, 400, true},
      {"GET / HTTP/1.1\r\nBad Name: a\r\n\r\n", State::Bad, 400, true},
  };
  for (const Row& r : rows) {
    const RequestParse p = ParseRequest(r.bytes);
    EXPECT_EQ(p.state, r.state) << r.bytes.substr(0, 80);
    if (r.state == State::Bad) {
      EXPECT_EQ(p.status, r.status) << r.bytes.substr(0, 80);
    }
    if (r.state == State::Ready) {
      EXPECT_EQ(p.request.keepAlive, r.keepAlive) << r.bytes.substr(0, 80);
    }
  }
  EXPECT_EQ(ParseRequest("GET http://host/race/1?x HTTP/1.1\r\n\r\n").request.Path(), "/race/1");
}

TEST(ParseRequest, PipelinedRequestsOneAtATimeAndBytesFedOneByOne) {
  const std::string two = "GET /a HTTP/1.1\r\nHost: x\r\n\r\nHEAD /b HTTP/1.1\r\n\r\n";
  const RequestParse first = ParseRequest(two);
  ASSERT_EQ(first.state, State::Ready);
  EXPECT_EQ(first.request.target, "/a");
  EXPECT_EQ(first.request.Header("host"), "x");
  const RequestParse second = ParseRequest(std::string_view(two).substr(first.consumed));
  ASSERT_EQ(second.state, State::Ready);
  EXPECT_EQ(second.request.method, "HEAD");
  EXPECT_EQ(first.consumed + second.consumed, two.size());
  // A request arriving a byte at a time is found once whole, and not before.
  const std::string one = "GET /c HTTP/1.1\r\nA: b\r\n\r\n";
  std::string held;
  for (size_t i = 0; i < one.size(); ++i) {
    const size_t before = held.size();
    held += one[i];
    EXPECT_EQ(ParseRequest(held, before).state, i + 1 == one.size() ? State::Ready : State::More) << i;
  }
}

struct HttpMeet : ::testing::Test {
  void SetUp() override {
    meet.Event({{{0, 3000}, {1, 3100}}});
    ASSERT_TRUE(SaveSettings(meet.dir.path(), meet.settings));
    meet.Write();
  }
  LiveSite Site() const { return LiveSite(meet.dir.path(), meet.settings.entryFolder, meet.settings.entryFileName, {}); }
  static HttpReply Ask(const LiveSite& site, const std::string& request) {
    const RequestParse p = ParseRequest(request);
    EXPECT_EQ(p.state, State::Ready) << request;
    return Reply(site, p.request);
  }
  static std::string HeaderOf(const std::string& bytes, const std::string& name) {
    const size_t at = bytes.find("\r\n" + name + ": ");
    if (at == std::string::npos || at > bytes.find("\r\n\r\n")) return "(none)";
    const size_t from = at + name.size() + 4;
    return bytes.substr(from, bytes.find("\r\n", from) - from);
  }
  test::PointsMeet meet;
};

TEST_F(HttpMeet, TagsGzipAndNotModified) {
  const LiveSite site = Site();
  const HttpReply plain = Ask(site, "GET /api/event/1 HTTP/1.1\r\n\r\n");
  EXPECT_TRUE(plain.bytes.starts_with("HTTP/1.1 200 OK\r\n"));
  EXPECT_EQ(HeaderOf(plain.bytes, "Cache-Control"), "no-cache");
  EXPECT_EQ(HeaderOf(plain.bytes, "Access-Control-Allow-Origin"), "*");
  EXPECT_EQ(HeaderOf(plain.bytes, "Connection"), "keep-alive");
  EXPECT_EQ(HeaderOf(plain.bytes, "Content-Encoding"), "(none)");
  EXPECT_NE(HeaderOf(plain.bytes, "Last-Modified").find(" GMT"), std::string::npos);
  const std::string etag = HeaderOf(plain.bytes, "ETag");
  ASSERT_EQ(etag.size(), 18u);
  const std::string body = plain.bytes.substr(plain.bytes.find("\r\n\r\n") + 4);
  EXPECT_EQ(body, site.Get("/api/event/1")->body);
  EXPECT_EQ(HeaderOf(plain.bytes, "Content-Length"), std::to_string(body.size()));

  const HttpReply gz = Ask(site, "GET /api/event/1 HTTP/1.1\r\nAccept-Encoding: br, gzip;q=0.8\r\n\r\n");
  EXPECT_EQ(HeaderOf(gz.bytes, "Content-Encoding"), "gzip");
  EXPECT_EQ(HeaderOf(gz.bytes, "Vary"), "Accept-Encoding");
  EXPECT_LT(gz.bytes.size(), plain.bytes.size());
  EXPECT_EQ(HeaderOf(Ask(site, "GET /api/event/1 HTTP/1.1\r\nAccept-Encoding: gzip;q=0\r\n\r\n").bytes, "Content-Encoding"), "(none)");

  // Either tag names the same data: 304 with no body.
  for (const std::string& tag : {etag, HeaderOf(gz.bytes, "ETag"), "\"x\", W/" + etag, std::string("*")}) {
    const HttpReply again = Ask(site, "GET /api/event/1 HTTP/1.1\r\nIf-None-Match: " + tag + "\r\nAccept-Encoding: gzip\r\n\r\n");
    EXPECT_TRUE(again.bytes.starts_with("HTTP/1.1 304 Not Modified\r\n")) << tag;
    EXPECT_TRUE(again.bytes.ends_with("\r\n\r\n")) << tag;
  }
  EXPECT_TRUE(Ask(site, "GET /api/event/1 HTTP/1.1\r\nIf-None-Match: \"other\"\r\n\r\n").bytes.starts_with("HTTP/1.1 200"));
  // A change of the data is a new tag.
  meet.races[0].laneTime[1] = 3050;
  meet.Write();
  EXPECT_NE(HeaderOf(Ask(site, "GET /api/event/1 HTTP/1.1\r\n\r\n").bytes, "ETag"), etag);
}

TEST_F(HttpMeet, MethodsCorsCloseAndTheStream) {
  const LiveSite site = Site();
  const HttpReply options = Ask(site, "OPTIONS /api/meet HTTP/1.1\r\nOrigin: http://x\r\n\r\n");
  EXPECT_TRUE(options.bytes.starts_with("HTTP/1.1 204 No Content\r\n"));
  EXPECT_EQ(HeaderOf(options.bytes, "Access-Control-Allow-Methods"), "GET, HEAD, OPTIONS");
  EXPECT_EQ(HeaderOf(options.bytes, "Access-Control-Allow-Origin"), "*");
  const HttpReply del = Ask(site, "DELETE /api/meet HTTP/1.1\r\n\r\n");
  EXPECT_TRUE(del.bytes.starts_with("HTTP/1.1 405"));
  EXPECT_EQ(HeaderOf(del.bytes, "Allow"), "GET, HEAD, OPTIONS");
  EXPECT_FALSE(del.close);
  const HttpReply head = Ask(site, "HEAD /event/1 HTTP/1.0\r\n\r\n");
  EXPECT_TRUE(head.close);
  EXPECT_EQ(HeaderOf(head.bytes, "Connection"), "close");
  EXPECT_TRUE(head.bytes.ends_with("\r\n\r\n"));
  EXPECT_NE(HeaderOf(head.bytes, "Content-Length"), "0");
  // A WebSocket upgrade is not taken: one answer, as to any GET.
  const HttpReply upgrade = Ask(site, "GET / HTTP/1.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: a\r\n\r\n");
  EXPECT_EQ(upgrade.bytes.find("HTTP/1.1", 1), std::string::npos);
  EXPECT_TRUE(upgrade.bytes.starts_with("HTTP/1.1 200"));
  EXPECT_EQ(Ask(site, "GET /nowhere HTTP/1.1\r\n\r\n").status, 404);
  const HttpReply stream = Ask(site, "GET /api/stream HTTP/1.1\r\n\r\n");
  EXPECT_TRUE(stream.stream);
  EXPECT_EQ(HeaderOf(stream.bytes, "Content-Type"), "text/event-stream; charset=utf-8");
  EXPECT_EQ(StreamEvent(3, "{}"), "id: 3\nevent: change\ndata: {}\n\n");
  const HttpReply bad = BadRequestReply(431);
  EXPECT_TRUE(bad.close);
  EXPECT_TRUE(bad.bytes.starts_with("HTTP/1.1 431 Request Header Fields Too Large\r\n"));
  EXPECT_EQ(HttpDate(0), "Thu, 01 Jan 1970 00:00:00 GMT");
  EXPECT_EQ(HttpDate(1796688000), "Tue, 08 Dec 2026 00:00:00 GMT");
}

}  // namespace
}  // namespace meet::live
