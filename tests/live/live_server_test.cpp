// The HTTP binding on a free loopback port, fetched with a plain socket:
// the body is the site's own answer, a confirmed race changes the page, and
// other methods are refused.
#include "platform/live_server.h"

#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtNetwork/QTcpSocket>

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
}

}  // namespace
}  // namespace meet
