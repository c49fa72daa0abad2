#include "ui/frm_opt_kubun.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/screen_registry.h"
#include "ui/widget_kit.h"

namespace meet::ui {

namespace {

QLineEdit* Edit(const QString& name, int width, const char* tip = nullptr) {
  auto* e = new QLineEdit;
  e->setObjectName(name);
  e->setFixedWidth(width);
  if (tip) e->setToolTip(Q(tip));
  return e;
}

}  // namespace

FrmOptKubun::FrmOptKubun(const HubState& state, Platform& platform, QWidget* parent)
    : QWidget(parent), screen_(state.folders.meetFolder, platform), platform_(platform) {
  setObjectName("frmOptKubun");
  setWindowTitle(Q(kOptKubunCaption));
  auto* top = new QVBoxLayout(this);
  QLabel* heading = Label("Label1", Q(kOptKubunHeading));
  heading->setFont(ListFont());
  top->addWidget(heading);
  lstKubun_ = new QListWidget;
  lstKubun_->setObjectName("lstKubun");
  lstKubun_->setFont(ListFont());
  lstKubun_->setMinimumSize(520, 260);
  connect(lstKubun_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row < 0) return;
    Run(screen_.Select(row));
  });
  top->addWidget(lstKubun_);
  lblKazu_ = Label("lblKazu");
  top->addWidget(lblKazu_);

  auto* fields = new QGridLayout;
  const char* captions[] = {"性", "区分(年齢･学年)", "", "種目", "", "区分名", "ﾀｲﾄﾙ"};
  for (int i = 0; i < 7; ++i) fields->addWidget(new QLabel(Q(captions[i])), 0, i);
  txtSei_ = Edit("txtSei", 30, kTipSei);
  txtAge_ = {Edit("txtAge_0", 50), Edit("txtAge_1", 50)};
  txtShu_ = {Edit("txtShu_0", 40, kTipShu), Edit("txtShu_1", 40, kTipShu)};
  txtKubun_ = Edit("txtKubun", 120);
  txtTitle_ = Edit("txtTitle", 30, kTipTitle);
  QLineEdit* row[] = {txtSei_, txtAge_[0], txtAge_[1], txtShu_[0], txtShu_[1], txtKubun_, txtTitle_};
  for (int i = 0; i < 7; ++i) fields->addWidget(row[i], 1, i);
  top->addLayout(fields);

  auto* commands = new QHBoxLayout;
  auto add = [&](QPushButton* b, auto&& action) {
    connect(b, &QPushButton::clicked, this, action);
    commands->addWidget(b);
  };
  add(Button("cmdTuika", QStringLiteral("追加")), [this] {
    Pull();
    Run(screen_.cmdTuika());
  });
  add(Button("cmdShusei", QStringLiteral("修正")), [this] {
    Pull();
    Run(screen_.cmdShusei());
  });
  add(Button("cmdSakujo", QStringLiteral("削除")), [this] { Run(screen_.cmdSakujo()); });
  commands->addSpacing(20);
  for (int preset = 0; preset < 3; ++preset)
    add(Button(Indexed("cmdShoki", preset), Q(kPresetCaptions[static_cast<size_t>(preset)])),
        [this, preset] { Run(screen_.cmdShoki(preset)); });
  commands->addStretch(1);
  add(Button("cmdOwari", QStringLiteral("終")), [this] { close(); });
  top->addLayout(commands);

  Status opened = screen_.Open();
  Show();
  if (!opened) platform_.dialogs.Notify(opened.error().message);
}

void FrmOptKubun::Pull() {
  screen_.fields.txtSei = S(txtSei_->text());
  screen_.fields.txtAge = {S(txtAge_[0]->text()), S(txtAge_[1]->text())};
  screen_.fields.txtShu = {S(txtShu_[0]->text()), S(txtShu_[1]->text())};
  screen_.fields.txtKubun = S(txtKubun_->text());
  screen_.fields.txtTitle = S(txtTitle_->text());
}

void FrmOptKubun::Show() {
  {
    QSignalBlocker block(lstKubun_);
    lstKubun_->clear();
    for (const std::string& line : screen_.lstKubun()) lstKubun_->addItem(Q(line));
    lstKubun_->setCurrentRow(screen_.selected());
  }
  lblKazu_->setText(Q(screen_.lblKazu()));
  const CategoryFields& f = screen_.fields;
  txtSei_->setText(Q(f.txtSei));
  txtAge_[0]->setText(Q(f.txtAge[0]));
  txtAge_[1]->setText(Q(f.txtAge[1]));
  txtShu_[0]->setText(Q(f.txtShu[0]));
  txtShu_[1]->setText(Q(f.txtShu[1]));
  txtKubun_->setText(Q(f.txtKubun));
  txtTitle_->setText(Q(f.txtTitle));
}

void FrmOptKubun::Run(Status status) {
  if (!status && status.error().kind != ErrorKind::Cancelled) platform_.dialogs.Notify(status.error().message);
  Show();
}

void RegisterFrmOptKubun() {
  for (const char* button : {"cmdOptKubun", "cmdGodo"})
    RegisterScreen(button, [](const HubState& state, Platform& platform) -> QWidget* {
      return new FrmOptKubun(state, platform);
    });
}

}  // namespace meet::ui
