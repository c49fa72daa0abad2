// The live results for the stands (read only):
//   serve [--listen ADDR] [--port N] [--unmask]
//     serves the pages and JSON over HTTP (default 127.0.0.1:8080; 0.0.0.0
//     opens it to the pool's network) until stopped;
//   publish DIR [--watch] [--unmask]
//     writes the site as static files into DIR; with --watch keeps running
//     and rewrites the pages whose data changed, checking every second.
#include <chrono>
#include <iostream>
#include <thread>

#include <QtCore/QCoreApplication>
#include <QtNetwork/QHostAddress>
#include <QtNetwork/QNetworkInterface>

#include "live/live_site.h"
#include "live/publish.h"
#include "meetctl/cli.h"
#include "platform/live_server.h"

namespace meet::cli {
namespace {

constexpr const char* kServeUsage = "serve [--listen ADDR] [--port N] [--unmask]";
constexpr const char* kPublishUsage = "publish DIR [--watch] [--unmask]";

Result<live::LiveSite> SiteFor(Context& ctx, bool unmask) {
  auto meet = ctx.MeetFolder();
  if (!meet) return std::unexpected(meet.error());
  return live::LiveSite(*meet, ctx.folders().entryFolder, ctx.folders().entryFileName, live::LiveOptions{unmask, false});
}

int ServeVerb(Context& ctx, std::vector<std::string>& args) {
  const bool unmask = TakeSwitch(args, "--unmask");
  auto listen = TakeOption(args, "--listen");
  if (!listen) return Failed(ctx, listen.error());
  auto port = TakeOption(args, "--port");
  if (!port) return Failed(ctx, port.error());
  if (!args.empty()) return UsageError(ctx, kServeUsage);
  int portNo = 8080;
  if (*port) {
    auto n = NumberInRange(**port, "ポート番号", 1, 65535);
    if (!n) return Failed(ctx, n.error());
    portNo = *n;
  }
  auto site = SiteFor(ctx, unmask);
  if (!site) return Failed(ctx, site.error());
  int argc = 1;
  char name[] = "meetctl";
  char* argv[] = {name, nullptr};
  std::unique_ptr<QCoreApplication> app;
  if (!QCoreApplication::instance()) {
    PrepareQtEnvironment();
    app = std::make_unique<QCoreApplication>(argc, argv);
  }
  LiveServer server(std::move(*site));
  QString error;
  const QString address = QString::fromStdString(listen->value_or("127.0.0.1"));
  const quint16 bound = server.Start(address, static_cast<quint16>(portNo), &error);
  if (bound == 0) return Failed(ctx, Error{ErrorKind::Io, error.toStdString()});
  ctx.out << "速報: http://" << address.toStdString() << ":" << bound << "/ で公開中（Ctrl+C で停止）\n";
  if (QHostAddress(address) == QHostAddress::AnyIPv4 || QHostAddress(address) == QHostAddress::Any)
    for (const QHostAddress& a : QNetworkInterface::allAddresses())
      if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
        ctx.out << "  http://" << a.toString().toStdString() << ":" << bound << "/\n";
  ctx.out.flush();
  return QCoreApplication::exec();
}

int PublishVerb(Context& ctx, std::vector<std::string>& args) {
  const bool unmask = TakeSwitch(args, "--unmask");
  const bool watch = TakeSwitch(args, "--watch");
  if (args.size() != 1) return UsageError(ctx, kPublishUsage);
  auto site = SiteFor(ctx, unmask);
  if (!site) return Failed(ctx, site.error());
  const std::filesystem::path dir = args[0];
  std::string stamp;
  for (;;) {
    const std::string now = live::FilesStamp(site->meetFolder(), site->entryFile());
    if (now != stamp) {
      auto report = live::PublishSite(*site, site->meetFolder(), dir);
      if (!report) return Failed(ctx, report.error());
      if (report->updating) {
        ctx.out << live::kUpdatingText << ": 大会のファイルが書き込み中です。" << (watch ? "" : "もう一度実行してください。") << "\n";
        if (!watch) return 1;
      } else {
        stamp = now;
        ctx.out << dir.string() << ": " << report->written << " 件書き込み、" << report->unchanged << " 件変更なし\n";
      }
      ctx.out.flush();
    }
    if (!watch) return 0;
    std::this_thread::sleep_for(std::chrono::seconds(1));
  }
}

VerbRegistration serveVerb("serve", kServeUsage, ServeVerb);
VerbRegistration publishVerb("publish", kPublishUsage, PublishVerb);

}  // namespace
}  // namespace meet::cli
