// The HTTP binding of the live results site: a Qt HTTP server that hands
// every request's method and path to LiveSite and writes its answer back.
#pragma once

#include <QtCore/QString>
#include <QtHttpServer/QAbstractHttpServer>

#include "live/live_site.h"

namespace meet {

class LiveServer : public QAbstractHttpServer {
 public:
  explicit LiveServer(live::LiveSite site, QObject* parent = nullptr);
  // Listens on the address ("127.0.0.1", "0.0.0.0", …) and port (0: any free
  // one); the port listened on, or 0 with `error` set.
  quint16 Start(const QString& address, quint16 port, QString* error);

 protected:
  bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
  void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

 private:
  live::LiveSite site_;
};

}  // namespace meet
