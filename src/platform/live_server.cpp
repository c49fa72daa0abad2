#include "platform/live_server.h"

#include <QtCore/QByteArray>
#include <QtHttpServer/QHttpServerRequest>
#include <QtHttpServer/QHttpServerResponder>
#include <QtNetwork/QHostAddress>
#include <QtNetwork/QTcpServer>

namespace meet {
namespace {

std::string MethodName(QHttpServerRequest::Method m) {
  switch (m) {
    case QHttpServerRequest::Method::Get: return "GET";
    case QHttpServerRequest::Method::Head: return "HEAD";
    default: return "OTHER";
  }
}

}  // namespace

LiveServer::LiveServer(live::LiveSite site, QObject* parent) : QAbstractHttpServer(parent), site_(std::move(site)) {}

quint16 LiveServer::Start(const QString& address, quint16 port, QString* error) {
  QHostAddress host;
  if (!host.setAddress(address)) {
    if (error) *error = QStringLiteral("アドレスが正しくありません: ") + address;
    return 0;
  }
  const quint16 bound = listen(host, port);
  if (bound == 0 && error) {
    const auto list = servers();
    *error = QStringLiteral("待ち受けできません: ") + address + ":" + QString::number(port) +
             (list.isEmpty() ? QString() : " (" + list.last()->errorString() + ")");
  }
  return bound;
}

bool LiveServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
  const std::string method = MethodName(request.method());
  const QByteArray path = request.url().path(QUrl::FullyEncoded).toUtf8();
  const live::LiveResponse answer = site_.Respond(method, std::string_view(path.constData(), static_cast<size_t>(path.size())));
  QHttpServerResponder responder = makeResponder(request, socket);
  const QByteArray body = QByteArray::fromStdString(answer.body);
  responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(answer.status));
  responder.writeHeader("Content-Type", QByteArray::fromStdString(answer.contentType));
  responder.writeHeader("Content-Length", QByteArray::number(body.size()));
  responder.writeHeader("Cache-Control", "no-store");
  responder.writeHeader("X-Content-Type-Options", "nosniff");
  if (answer.status == 405) responder.writeHeader("Allow", "GET, HEAD");
  if (answer.status == 503) responder.writeHeader("Retry-After", "2");
  if (method == "HEAD") responder.writeBody(QByteArray());
  else responder.writeBody(body);
  return true;
}

void LiveServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
  handleRequest(request, socket);
}

}  // namespace meet
