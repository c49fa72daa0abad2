#include "ui/frm_live.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/live_server.h"

namespace meet::ui {

inline constexpr const char* kStoppedText = "停止中";

FrmLive::FrmLive(std::filesystem::path meetFolder, std::string entryFolder, std::string entryFileName, QWidget* parent)
    : QDialog(parent),
      meetFolder_(std::move(meetFolder)),
      entryFolder_(std::move(entryFolder)),
      entryFileName_(std::move(entryFileName)) {
  setObjectName("frmLive");
  setWindowTitle("速報");
  auto* top = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  txtListen_ = new QLineEdit("127.0.0.1");
  txtListen_->setObjectName("txtListen");
  txtListen_->setToolTip("0.0.0.0 でプールのネットワークに公開します");
  txtPort_ = new QLineEdit("8080");
  txtPort_->setObjectName("txtPort");
  chkUnmask_ = new QCheckBox("34 の番号も表示する");
  chkUnmask_->setObjectName("chkUnmask");
  form->addRow("アドレス", txtListen_);
  form->addRow("ポート", txtPort_);
  form->addRow(chkUnmask_);
  top->addLayout(form);
  lblAddress_ = new QLabel(kStoppedText);
  lblAddress_->setObjectName("lblAddress");
  lblAddress_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  top->addWidget(lblAddress_);
  auto* row = new QHBoxLayout;
  cmdStart_ = new QPushButton("開始");
  cmdStart_->setObjectName("cmdStart");
  cmdStop_ = new QPushButton("停止");
  cmdStop_->setObjectName("cmdStop");
  cmdStop_->setEnabled(false);
  row->addWidget(cmdStart_);
  row->addWidget(cmdStop_);
  top->addLayout(row);
  connect(cmdStart_, &QPushButton::clicked, this, [this] { Start(); });
  connect(cmdStop_, &QPushButton::clicked, this, [this] { Stop(); });
}

FrmLive::~FrmLive() = default;

void FrmLive::Start() {
  if (server_) return;
  bool ok = false;
  const int port = txtPort_->text().trimmed().toInt(&ok);
  if (!ok || port < 0 || port > 65535) {
    ShowState("ポート番号は 0～65535 で指定してください。");
    return;
  }
  live::LiveOptions options;
  options.unmask = chkUnmask_->isChecked();
  auto server = std::make_unique<LiveServer>(live::LiveSite(meetFolder_, entryFolder_, entryFileName_, options));
  QString error;
  const QString address = txtListen_->text().trimmed();
  const quint16 bound = server->Start(address, static_cast<quint16>(port), &error);
  if (bound == 0) {
    ShowState(error);
    return;
  }
  server_ = std::move(server);
  QStringList urls;
  const QHostAddress host(address);
  // An IPv6 address goes into a URL in brackets.
  auto url = [bound](const QHostAddress& a, const QString& text) {
    return "http://" + (a.protocol() == QAbstractSocket::IPv6Protocol ? "[" + text + "]" : text) + ":" +
           QString::number(bound) + "/";
  };
  if (host == QHostAddress::AnyIPv4 || host == QHostAddress::Any) {
    for (const QHostAddress& a : QNetworkInterface::allAddresses())
      if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) urls << url(a, a.toString());
  }
  if (urls.isEmpty()) urls << url(host, address);
  ShowState("公開中: " + urls.join("  "));
  cmdStart_->setEnabled(false);
  cmdStop_->setEnabled(true);
  txtListen_->setEnabled(false);
  txtPort_->setEnabled(false);
  chkUnmask_->setEnabled(false);
}

void FrmLive::Stop() {
  server_.reset();
  ShowState(kStoppedText);
  cmdStart_->setEnabled(true);
  cmdStop_->setEnabled(false);
  txtListen_->setEnabled(true);
  txtPort_->setEnabled(true);
  chkUnmask_->setEnabled(true);
}

void FrmLive::ShowState(const QString& text) { lblAddress_->setText(text); }

}  // namespace meet::ui
