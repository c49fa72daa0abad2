#include "platform/live_server.h"

#include <sys/resource.h>

#include <algorithm>

#include <QtNetwork/QHostAddress>
#include <QtNetwork/QTcpServer>
#include <QtNetwork/QTcpSocket>

#include "live/http.h"

namespace meet {
namespace {

constexpr qint64 kIdleMs = LiveServer::kIdleSeconds * 1000;
// A connection that never sent a byte may give way to a new one after this.
constexpr qint64 kUnusedMs = 2000;
// What a client may leave unread before it is cut off.
constexpr qint64 kMaxUnread = 8 << 20;
constexpr qint64 kMaxStreamUnread = 1 << 20;
constexpr size_t kMaxHeld = live::kMaxRequestLine + live::kMaxHeaderBytes + 4096;

}  // namespace

struct LiveServer::Connection {
  QTcpSocket* socket = nullptr;
  std::string in;
  size_t scanned = 0;
  qint64 lastActivity = 0;  // the last byte read or written
  qint64 requestStart = -1; // the first byte of a request not yet whole
  qint64 opened = 0;
  bool served = false;      // answered a request
  bool stream = false;
  bool closing = false;
  qint64 lastWrite = 0;
};

class LiveServer::Listener : public QTcpServer {
 public:
  explicit Listener(LiveServer& owner) : owner_(owner) {}

 protected:
  void incomingConnection(qintptr descriptor) override { owner_.Accept(descriptor); }

 private:
  LiveServer& owner_;
};

LiveServer::LiveServer(live::LiveSite site, QObject* parent) : QObject(parent), site_(std::move(site)) {
  clock_.start();
  const long limit = RaiseOpenFileLimit();
  cap_ = static_cast<int>(std::clamp<long>(limit - kReservedFiles, 16, kMaxConnections));
  sweep_.setInterval(1000);
  QObject::connect(&sweep_, &QTimer::timeout, this, [this] { Sweep(); });
  push_.setInterval(250);
  QObject::connect(&push_, &QTimer::timeout, this, [this] { PushChanges(); });
  pushed_ = site_.LastChangeId();
}

LiveServer::~LiveServer() {
  sweep_.stop();
  push_.stop();
  for (auto& l : listeners_) l->close();
  for (auto& [socket, c] : connections_) {
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
  }
  connections_.clear();
  graveyard_.clear();
}

long LiveServer::RaiseOpenFileLimit() {
  rlimit lim{};
  if (getrlimit(RLIMIT_NOFILE, &lim) != 0) return 1024;
  if (lim.rlim_cur < lim.rlim_max) {
    rlimit raised = lim;
    raised.rlim_cur = lim.rlim_max == RLIM_INFINITY ? std::max<rlim_t>(lim.rlim_cur, 1 << 16) : lim.rlim_max;
    if (setrlimit(RLIMIT_NOFILE, &raised) == 0) lim = raised;
  }
  return lim.rlim_cur == RLIM_INFINITY ? (1L << 16) : static_cast<long>(lim.rlim_cur);
}

quint16 LiveServer::Start(const QString& address, quint16 port, QString* error) {
  QHostAddress host;
  if (!host.setAddress(address)) {
    if (error) *error = QStringLiteral("アドレスが正しくありません: ") + address;
    return 0;
  }
  auto listener = std::make_unique<Listener>(*this);
  listener->setListenBacklogSize(1024);
  if (!listener->listen(host, port)) {
    if (error)
      *error = QStringLiteral("待ち受けできません: ") + address + ":" + QString::number(port) + " (" + listener->errorString() + ")";
    return 0;
  }
  const quint16 bound = listener->serverPort();
  listeners_.push_back(std::move(listener));
  sweep_.start();
  push_.start();
  return bound;
}

// At the cap, the connection idle the longest (kept open after an answer,
// or never used for a while) is closed for the new one.
bool LiveServer::MakeRoom() {
  const qint64 now = clock_.elapsed();
  Connection* oldest = nullptr;
  for (auto& [socket, c] : connections_) {
    if (c->stream || c->closing || !c->in.empty() || socket->bytesToWrite() > 0) continue;
    if (!c->served && now - c->opened < kUnusedMs) continue;
    if (!oldest || c->lastActivity < oldest->lastActivity) oldest = c.get();
  }
  if (!oldest) return false;
  Close(*oldest, true);
  return true;
}

void LiveServer::Accept(qintptr descriptor) {
  auto* socket = new QTcpSocket;
  if (!socket->setSocketDescriptor(descriptor)) {
    delete socket;
    return;
  }
  socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  socket->setReadBufferSize(static_cast<qint64>(kMaxHeld));
  auto c = std::make_unique<Connection>();
  c->socket = socket;
  c->opened = c->lastActivity = clock_.elapsed();
  Connection& conn = *c;
  connections_.emplace(socket, std::move(c));
  QObject::connect(socket, &QTcpSocket::readyRead, this, [this, &conn] { Read(conn); });
  QObject::connect(socket, &QTcpSocket::bytesWritten, this, [this, &conn](qint64) {
    conn.lastActivity = clock_.elapsed();
    // Requests held back while the client was not reading go on.
    if (!conn.closing && !conn.stream && !conn.in.empty() && conn.socket->bytesToWrite() < kMaxUnread) Process(conn);
  });
  QObject::connect(socket, &QTcpSocket::disconnected, this, [this, socket] { Forget(socket); });
  QObject::connect(socket, &QTcpSocket::errorOccurred, this, [this, socket](QAbstractSocket::SocketError) {
    if (socket->state() == QAbstractSocket::UnconnectedState) Forget(socket);
  });
  if (static_cast<int>(connections_.size()) >= cap_ && !MakeRoom()) {
    for (auto& l : listeners_) l->pauseAccepting();
    paused_ = true;
  }
  if (socket->bytesAvailable() > 0) Read(conn);
}

void LiveServer::Read(Connection& c) {
  c.lastActivity = clock_.elapsed();
  if (c.closing || c.stream) {
    c.socket->readAll();  // nothing more is asked of a stream or a closing connection
    return;
  }
  const qint64 room = static_cast<qint64>(kMaxHeld) - static_cast<qint64>(c.in.size());
  if (room > 0) {
    const QByteArray bytes = c.socket->read(room);
    if (!bytes.isEmpty() && c.in.empty()) c.requestStart = c.lastActivity;
    c.in.append(bytes.constData(), static_cast<size_t>(bytes.size()));
  }
  Process(c);
}

void LiveServer::Process(Connection& c) {
  while (!c.closing && !c.stream && !c.in.empty()) {
    if (c.socket->bytesToWrite() >= kMaxUnread) return;  // the client reads first
    const live::RequestParse parse = live::ParseRequest(c.in, c.scanned);
    if (parse.state == live::RequestParse::State::More) {
      c.scanned = c.in.size();
      return;
    }
    if (parse.state == live::RequestParse::State::Bad) {
      c.socket->write(QByteArray::fromStdString(live::BadRequestReply(parse.status).bytes));
      Close(c, false);
      return;
    }
    c.in.erase(0, parse.consumed);
    c.scanned = 0;
    c.requestStart = c.in.empty() ? -1 : clock_.elapsed();
    live::HttpReply reply;
    if (parse.request.Path() == live::kStreamPath && parse.request.method == "GET" && streams_ >= cap_ * 3 / 4) {
      // Too many streams: this page polls instead.
      reply = live::BadRequestReply(503);
      reply.close = !parse.request.keepAlive;
    } else {
      reply = live::Reply(site_, parse.request);
    }
    c.socket->write(reply.bytes.data(), static_cast<qint64>(reply.bytes.size()));
    c.served = true;
    c.lastWrite = c.lastActivity = clock_.elapsed();
    if (reply.stream) {
      c.stream = true;
      ++streams_;
      c.in.clear();
      return;
    }
    if (reply.close) {
      Close(c, false);
      return;
    }
  }
  // More bytes may wait in the socket once the held ones were answered.
  if (!c.closing && !c.stream && c.socket->bytesAvailable() > 0) QTimer::singleShot(0, this, [this, s = c.socket] {
    if (auto it = connections_.find(s); it != connections_.end()) Read(*it->second);
  });
}

void LiveServer::Close(Connection& c, bool abort) {
  if (c.closing) return;
  c.closing = true;
  if (abort) c.socket->abort();
  else c.socket->disconnectFromHost();  // once what was written is sent
  if (c.socket->state() == QAbstractSocket::UnconnectedState) Forget(c.socket);
}

void LiveServer::Forget(QTcpSocket* socket) {
  const auto it = connections_.find(socket);
  if (it == connections_.end()) return;
  if (it->second->stream) --streams_;
  it->second->closing = true;
  if (graveyard_.empty()) QTimer::singleShot(0, this, [this] { graveyard_.clear(); });
  graveyard_.push_back(std::move(it->second));
  connections_.erase(it);
  socket->disconnect(this);
  socket->deleteLater();
  if (paused_ && static_cast<int>(connections_.size()) < cap_) {
    paused_ = false;
    for (auto& l : listeners_) l->resumeAccepting();
  }
}

// Once a second: idle connections closed, requests that never come whole
// and clients that do not read cut off, streams kept alive.
void LiveServer::Sweep() {
  const qint64 now = clock_.elapsed();
  std::vector<std::pair<Connection*, bool>> ending;
  for (auto& [socket, c] : connections_) {
    if (c->closing) {
      if (now - c->lastActivity > kIdleMs) ending.emplace_back(c.get(), true);
      continue;
    }
    if (c->stream) {
      if (socket->bytesToWrite() > kMaxStreamUnread) ending.emplace_back(c.get(), true);
      else if (now - c->lastWrite >= kIdleMs) {
        socket->write(live::kStreamKeepAlive.data(), static_cast<qint64>(live::kStreamKeepAlive.size()));
        c->lastWrite = now;
      }
      continue;
    }
    if (c->requestStart >= 0 && now - c->requestStart > kIdleMs) ending.emplace_back(c.get(), true);
    else if (socket->bytesToWrite() > 0 && now - c->lastActivity > kIdleMs) ending.emplace_back(c.get(), true);
    else if (c->in.empty() && socket->bytesToWrite() == 0 && now - c->lastActivity > kIdleMs) ending.emplace_back(c.get(), false);
  }
  for (auto [c, abort] : ending) Close(*c, abort);
  if (paused_) MakeRoom();
}

void LiveServer::PushChanges() {
  if (streams_ == 0) {
    pushed_ = site_.LastChangeId();
    return;
  }
  const auto changes = site_.ChangesSince(pushed_);
  if (changes.empty()) return;
  std::string bytes;
  for (const live::LiveChange& change : changes) {
    bytes += live::StreamEvent(change.id, change.Json());
    pushed_ = std::max(pushed_, change.id);
  }
  const qint64 now = clock_.elapsed();
  for (auto& [socket, c] : connections_)
    if (c->stream && !c->closing) {
      socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
      c->lastWrite = now;
    }
}

}  // namespace meet
