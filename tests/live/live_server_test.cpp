// The HTTP binding on a free loopback port, fetched with a plain socket:
// the body is the site's own answer, a confirmed race changes the page, and
// other methods are refused.
#include "platform/live_server.h"

#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtNetwork/QTcpSocket>

#include <algorithm>

#include "results/points_fixture.h"
#include "settings/settings.h"

namespace meet {
namespace {

// One request over a fresh connection, bounded to five seconds; the whole
// response as received.
std::string Fetch(quint16 port, const std::string& request) {
  QTcpSocket socket;
  socket.connectToHost(QHostAddress::LocalHost, port);
  QElapsedTimer timer;
  timer.start();
  while (socket.state() != QAbstractSocket::ConnectedState && timer.elapsed() < 5000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  socket.write(QByteArray::fromStdString(request));
  QByteArray got;
  while (timer.elapsed() < 5000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    got += socket.readAll();
    const qsizetype end = got.indexOf("\r\n\r\n");
    if (end < 0) continue;
    const qsizetype lengthAt = got.indexOf("Content-Length: ");
    if (lengthAt < 0) break;
    const qsizetype length = got.mid(lengthAt + 16, got.indexOf("\r\n", lengthAt) - lengthAt - 16).toLongLong();
    if (request.starts_with("HEAD") || got.size() >= end + 4 + length) break;
  }
  return got.toStdString();
}

// Sends the bytes (in pieces of at most `piece`), then reads until the
// server closes the connection or `ms` pass: what came back, and whether
// the server closed it.
struct Exchanged {
  std::string got;
  bool closed = false;
};
Exchanged Exchange(quint16 port, const std::string& bytes, int ms, qint64 piece = 1 << 20) {
  QTcpSocket socket;
  socket.connectToHost(QHostAddress::LocalHost, port);
  QElapsedTimer timer;
  timer.start();
  while (socket.state() != QAbstractSocket::ConnectedState && timer.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  Exchanged out;
  for (qint64 at = 0; at < static_cast<qint64>(bytes.size()) && socket.state() == QAbstractSocket::ConnectedState; at += piece) {
    socket.write(bytes.data() + at, std::min<qint64>(piece, static_cast<qint64>(bytes.size()) - at));
    while (socket.bytesToWrite() > 0 && socket.state() == QAbstractSocket::ConnectedState && timer.elapsed() < ms)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  while (timer.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    out.got += socket.readAll().toStdString();
    if (socket.state() == QAbstractSocket::UnconnectedState) {
      out.closed = true;
      break;
    }
  }
  return out;
}

int Answers(const std::string& got) {
  int n = 0;
  for (size_t at = 0; (at = got.find("HTTP/1.1 ", at)) != std::string::npos; at += 9) ++n;
  return n;
}

std::string Body(const std::string& response) {
  const size_t at = response.find("\r\n\r\n");
  return at == std::string::npos ? std::string() : response.substr(at + 4);
}

TEST(LiveServer, ServesTheSiteOnLoopbackAndRefusesChanges) {
  int argc = 1;
  char name[] = "live_tests";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  test::PointsMeet meet;
  meet.Event({{{0, 3000}, {1, 0}}});
  ASSERT_TRUE(SaveSettings(meet.dir.path(), meet.settings));
  meet.Write();
  const live::LiveSite site(meet.dir.path(), meet.settings.entryFolder, meet.settings.entryFileName, {});
  LiveServer server(site);
  QString error;
  const quint16 port = server.Start("127.0.0.1", 0, &error);
  ASSERT_NE(port, 0) << error.toStdString();

  const std::string got = Fetch(port, "GET /api/race/1 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
  EXPECT_TRUE(got.starts_with("HTTP/1.1 200")) << got;
  EXPECT_EQ(Body(got), site.Respond("GET", "/api/race/1").body);
  EXPECT_NE(got.find("application/json"), std::string::npos);

  // The second lane is posted: the next request shows it.
  meet.races[0].laneTime[1] = 3150;
  meet.Write();
  EXPECT_NE(Body(Fetch(port, "GET /api/race/1 HTTP/1.1\r\nHost: x\r\n\r\n")).find("31.50"), std::string::npos);

  const std::string post = Fetch(port, "POST /api/race/1 HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n");
  EXPECT_TRUE(post.starts_with("HTTP/1.1 405")) << post;
  EXPECT_NE(post.find("Allow: GET, HEAD"), std::string::npos);
  EXPECT_TRUE(Fetch(port, "GET /../kijun.dat HTTP/1.1\r\nHost: x\r\n\r\n").starts_with("HTTP/1.1 404"));
  const std::string head = Fetch(port, "HEAD / HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_TRUE(head.starts_with("HTTP/1.1 200")) << head;
  EXPECT_EQ(Body(head), "");

  // What a hostile client sends is refused at once and the connection
  // closed; nothing of a body is kept.
  struct Row {
    std::string bytes;
    const char* status;
    bool closed;
    int answers;
  };
  const std::string bigBody = "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 536870912\r\n\r\n" + std::string(1 << 20, 'x');
  const Row rows[] = {
      {bigBody, "HTTP/1.1 405", true, 1},
      {"GET / HTTP/1.1\r\nContent-Length: 99999999\r\n\r\n", "HTTP/1.1 413", true, 1},
      {"GET / HTTP/1.1\r\nX-Long: " + std::string(4 << 20, 'h'), "HTTP/1.1 431", true, 1},
      {"GET /" + std::string(16 << 20, 'u') + " HTTP/1.1\r\n\r\n", "HTTP/1.1 414", true, 1},
      {"GET /api/meet HTTP/1.0\r\n\r\n", "HTTP/1.1 200", true, 1},
      {"GET /api/meet HTTP/1.1\r\nConnection: close\r\n\r\n", "HTTP/1.1 200", true, 1},
      {"GET / HTTP/1.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
       "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n\r\n",
       "HTTP/1.1 200", false, 1},
      {"GET /api/meet HTTP/1.1\r\n\r\nGET /api/race/1 HTTP/1.1\r\n\r\n", "HTTP/1.1 200", false, 2},
      {"BREW / HTTP/1.1\r\n\r\n", "HTTP/1.1 405", false, 1},
      {"GET / SPDY/3\r\n\r\n", "HTTP/1.1 400", true, 1},
  };
  for (const Row& r : rows) {
    const Exchanged e = Exchange(port, r.bytes, r.closed ? 5000 : 700, 64 * 1024);
    EXPECT_TRUE(e.got.starts_with(r.status)) << r.bytes.substr(0, 60) << " → " << e.got.substr(0, 80);
    EXPECT_EQ(e.closed, r.closed) << r.bytes.substr(0, 60);
    EXPECT_EQ(Answers(e.got), r.answers) << r.bytes.substr(0, 60);
  }
  EXPECT_GE(server.connectionCap(), 16);
}

}  // namespace
}  // namespace meet
