// The live results for the stands (read only):
//   serve [--listen ADDR] [--port N] [--unmask]
//     serves the pages and JSON over HTTP (default 127.0.0.1:8080; 0.0.0.0
//     opens it to the pool's network) until stopped;
//   publish DIR [--watch] [--unmask]
//     writes the site as static files into DIR; with --watch keeps running
//     and rewrites the pages whose data changed, looking four times a
//     second; a write that fails is said and tried again.
#include <unistd.h>

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

// An address as it goes into a URL: an IPv6 one in brackets.
std::string UrlHost(const QHostAddress& a, const std::string& given) {
  if (a.protocol() == QAbstractSocket::IPv6Protocol) {
    QHostAddress plain(a);
    plain.setScopeId(QString());
    return "[" + plain.toString().toStdString() + "]";
  }
  return given;
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
  const std::string given = listen->value_or("127.0.0.1");
  const QString address = QString::fromStdString(given);
  const quint16 bound = server.Start(address, static_cast<quint16>(portNo), &error);
  if (bound == 0) return Failed(ctx, Error{ErrorKind::Io, error.toStdString()});
  const QHostAddress host(address);
  ctx.out << "速報: http://" << UrlHost(host, given) << ":" << bound << "/ で公開中（Ctrl+C で停止）\n";
  if (host == QHostAddress::AnyIPv4 || host == QHostAddress::Any || host == QHostAddress::AnyIPv6) {
    const bool v6 = host != QHostAddress::AnyIPv4;
    for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
      if (a.isLoopback() || a.isLinkLocal()) continue;
      if (a.protocol() == QAbstractSocket::IPv4Protocol || (v6 && a.protocol() == QAbstractSocket::IPv6Protocol))
        ctx.out << "  http://" << UrlHost(a, a.toString().toStdString()) << ":" << bound << "/\n";
    }
  }
  ctx.out << "  同時接続 " << server.connectionCap() << " まで（待機 " << LiveServer::kIdleSeconds << " 秒で切断）\n";
  ctx.out.flush();
  return QCoreApplication::exec();
}

int PublishVerb(Context& ctx, std::vector<std::string>& args) {
  const bool unmask = TakeSwitch(args, "--unmask");
  const bool watch = TakeSwitch(args, "--watch");
  if (args.size() != 1) return UsageError(ctx, kPublishUsage);
  auto given = SiteFor(ctx, unmask);
  if (!given) return Failed(ctx, given.error());
  // One site for the whole run: what was read stays while it is unchanged.
  const live::LiveSite site = given->WithOptions(live::LiveOptions{unmask, true});
  const std::filesystem::path dir = args[0];
  // Progress on a terminal only: a log or a pipe gets the result lines.
  const bool terminal = &ctx.out == &std::cout && isatty(STDOUT_FILENO);
  live::PublishProgress progress;
  if (terminal)
    progress = [&ctx](size_t done, size_t total) {
      ctx.out << "\r公開中 " << done << "/" << total << " 件" << std::flush;
    };
  std::string stamp, lastError;
  bool failing = false, saidUpdating = false;
  auto failedAt = std::chrono::steady_clock::now();
  for (;;) {
    const std::string now = live::FilesStamp(site.meetFolder(), site.entryFile());
    const bool retry = failing && std::chrono::steady_clock::now() - failedAt >= std::chrono::seconds(5);
    if (now != stamp || retry) {
      const auto started = std::chrono::steady_clock::now();
      auto report = live::PublishSite(site, site.meetFolder(), dir, progress);
      if (terminal) ctx.out << "\r\033[K";
      if (!report) {
        if (!watch) return Failed(ctx, report.error());
        // Said once; tried again at the next change, or in five seconds.
        if (report.error().message != lastError)
          ctx.err << report.error().message << "（変更があれば、なくても 5 秒ごとに再試行します）\n";
        ctx.err.flush();
        lastError = report.error().message;
        failing = true;
        failedAt = std::chrono::steady_clock::now();
        stamp = now;
      } else if (report->updating) {
        // Said once while the files stay half-written; looked at again at once.
        if (!saidUpdating || !watch)
          ctx.out << live::kUpdatingText << ": 大会のファイルが書き込み中です。" << (watch ? "" : "もう一度実行してください。") << "\n";
        saidUpdating = true;
        if (!watch) return 1;
      } else {
        saidUpdating = false;
        stamp = now;
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
        if (failing) ctx.out << "書き込めるようになりました。\n";
        failing = false;
        lastError.clear();
        ctx.out << dir.string() << ": " << report->written << " 件書き込み、" << report->unchanged << " 件変更なし";
        if (report->removed > 0) ctx.out << "、" << report->removed << " 件削除";
        ctx.out << "（" << ms << " ms）\n";
      }
      ctx.out.flush();
    }
    if (!watch) return 0;
    // A change is published within a second of being seen.
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
}

VerbRegistration serveVerb("serve", kServeUsage, ServeVerb);
VerbRegistration publishVerb("publish", kPublishUsage, PublishVerb);

}  // namespace
}  // namespace meet::cli
