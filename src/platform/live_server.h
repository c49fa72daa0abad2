// The HTTP binding of the live results site: a Qt TCP server that moves the
// bytes of each connection to the request reader of live/http.h and writes
// its answers back. It holds a crowd: the open-file limit is raised to the
// hard limit at start, connections are capped below it (the oldest idle one
// gives way to a new one), an idle connection is closed after 15 seconds, a
// request whose head has not arrived in 15 seconds too; streams of changes
// (/api/stream) get what changed every quarter second and a keep-alive
// comment when nothing did.
#pragma once

#include <QtCore/QElapsedTimer>
#include <QtCore/QObject>
#include <QtCore/QString>
#include <QtCore/QTimer>

#include <map>
#include <memory>
#include <vector>

#include "live/live_site.h"

class QTcpServer;
class QTcpSocket;

namespace meet {

class LiveServer : public QObject {
 public:
  static constexpr int kIdleSeconds = 15;
  static constexpr int kMaxConnections = 10000;
  // Descriptors kept free of connections for the meet's files.
  static constexpr int kReservedFiles = 64;

  explicit LiveServer(live::LiveSite site, QObject* parent = nullptr);
  ~LiveServer() override;
  // Listens on the address ("127.0.0.1", "0.0.0.0", "::1", …) and port (0:
  // any free one); the port listened on, or 0 with `error` set.
  quint16 Start(const QString& address, quint16 port, QString* error);

  // The open-file limit raised to the hard limit; the (soft) limit now.
  static long RaiseOpenFileLimit();
  // The connections held at most (the open-file limit less the reserve, at
  // most kMaxConnections) and now.
  int connectionCap() const { return cap_; }
  int connections() const { return static_cast<int>(connections_.size()); }

 private:
  struct Connection;
  class Listener;
  void Accept(qintptr descriptor);
  void Read(Connection& c);
  void Process(Connection& c);
  void Close(Connection& c, bool abort);
  void Forget(QTcpSocket* socket);
  void Sweep();
  void PushChanges();
  bool MakeRoom();

  live::LiveSite site_;
  std::vector<std::unique_ptr<Listener>> listeners_;
  std::map<QTcpSocket*, std::unique_ptr<Connection>> connections_;
  // Connections closed during the call at hand, let go of afterwards.
  std::vector<std::unique_ptr<Connection>> graveyard_;
  QTimer sweep_, push_;
  QElapsedTimer clock_;
  int cap_ = 1000;
  int streams_ = 0;
  bool paused_ = false;
  uint64_t pushed_ = 0;  // the last change sent to the streams
};

}  // namespace meet
