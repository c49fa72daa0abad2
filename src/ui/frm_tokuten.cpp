#include "ui/frm_tokuten.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/screen_registry.h"
#include "ui/widget_kit.h"

namespace meet::ui {

namespace {
constexpr std::array<const char*, 4> kListNames = {"chkOtoko", "chkOnna", "chkKongo", "chkSougo"};
}

FrmTokuten::FrmTokuten(const HubState& state, Platform& platform, QWidget* parent)
    : QWidget(parent), screen_(state.folders.meetFolder, state), platform_(platform) {
  setObjectName("frmTokuten");
  setWindowTitle(Q(kTokutenCaption));
  auto* top = new QHBoxLayout(this);
  top->addWidget(BuildEvents());

  auto* right = new QVBoxLayout;
  right->addWidget(BuildBonuses());

  auto* seigen = new QGroupBox(Q(kSeigenFrame));
  auto* seigenRow = new QHBoxLayout(seigen);
  txtSeigen_ = new QLineEdit;
  txtSeigen_->setObjectName("txtSeigen");
  txtSeigen_->setFixedWidth(50);
  seigenRow->addWidget(txtSeigen_);
  seigenRow->addWidget(new QLabel(Q("名")));
  auto* nenrei = new QGroupBox(Q(kNenreiFrame));
  auto* nenreiGrid = new QGridLayout(nenrei);
  for (int i = 0; i < 2; ++i) {
    auto* field = new QLineEdit;
    field->setObjectName(Indexed("txtNenrei", i));
    field->setFixedWidth(50);
    connect(field, &QLineEdit::textEdited, this, [this, i](const QString& t) {
      screen_.ChangeNenrei(i, S(t));
      Show();
    });
    txtNenrei_[static_cast<size_t>(i)] = field;
    lblNenrei_[static_cast<size_t>(i)] = Label(Indexed("lblNenrei", i));
    nenreiGrid->addWidget(field, 0, i * 2);
    nenreiGrid->addWidget(lblNenrei_[static_cast<size_t>(i)], 1, i * 2);
  }
  nenreiGrid->addWidget(new QLabel(Q("-->")), 0, 1);
  auto* limits = new QHBoxLayout;
  limits->addWidget(seigen);
  limits->addWidget(nenrei);
  right->addLayout(limits);

  auto* checks = new QHBoxLayout;
  for (int l = 0; l < 4; ++l) {
    auto* box = new QCheckBox(Q(kListCaptions[static_cast<size_t>(l)]));
    box->setObjectName(kListNames[static_cast<size_t>(l)]);
    connect(box, &QCheckBox::clicked, this, [this, l](bool on) { screen_.ClickList(l, on); });
    chkList_[static_cast<size_t>(l)] = box;
    checks->addWidget(box);
  }
  chkZenbu_ = new QCheckBox(Q(kZenbuCaption));
  chkZenbu_->setObjectName("chkZenbu");
  connect(chkZenbu_, &QCheckBox::clicked, this, [this](bool on) { screen_.ClickZenbu(on); });
  checks->addWidget(chkZenbu_);
  right->addLayout(checks);

  auto* commands = new QHBoxLayout;
  auto* cmdShukei = Button("cmdShukei", Q(kShukeiCaption));
  connect(cmdShukei, &QPushButton::clicked, this, &FrmTokuten::Shukei);
  cmdRank_ = Button("cmdRank", Q(kRankCaption));
  connect(cmdRank_, &QPushButton::clicked, this, [this] {
    PrintWith([this] {
      auto done = screen_.Rank(platform_.printer);
      if (!done) return Status(std::unexpected(done.error()));
      return Status{};
    });
  });
  cmdNyusho_ = Button("cmdNyusho", Q(kNyushoCaption));
  connect(cmdNyusho_, &QPushButton::clicked, this, [this] {
    PrintWith([this] {
      auto done = screen_.Nyusho(platform_.printer);
      if (!done) return Status(std::unexpected(done.error()));
      return Status{};
    });
  });
  cmdBiko_ = Button("cmdBiko", Q(kBikoCaption));
  connect(cmdBiko_, &QPushButton::clicked, this, [this] {
    PrintWith([this] {
      auto done = screen_.Biko(platform_.printer);
      if (!done) return Status(std::unexpected(done.error()));
      return Status{};
    });
  });
  auto* cmdOwari = Button("cmdOwari", Q(kTokutenOwariCaption));
  connect(cmdOwari, &QPushButton::clicked, this, [this] { close(); });
  for (QPushButton* b : {cmdShukei, cmdRank_, cmdNyusho_, cmdBiko_, cmdOwari}) {
    b->setMinimumHeight(36);
    commands->addWidget(b);
  }
  right->addLayout(commands);
  lblShukei_ = Label("lblShukei");
  lblShukei_->setWordWrap(true);
  lblShukei_->setMinimumHeight(2 * lblShukei_->fontMetrics().lineSpacing() + 4);  // the summary in two lines
  right->addWidget(lblShukei_);
  right->addStretch(1);
  top->addLayout(right, 1);
  Show();
}

QWidget* FrmTokuten::BuildEvents() {
  auto* inner = new QWidget;
  auto* grid = new QGridLayout(inner);
  grid->setVerticalSpacing(0);
  grid->addWidget(new QLabel(Q(kShuHeader)), 0, 0, 1, 2);
  for (int i = 0; i < kTallyEvents; ++i) {
    auto* name = Label(Indexed("txtShu", i), Q(screen_.txtShu(i)));
    auto* frame = new QGroupBox;
    frame->setObjectName(Indexed("frmShu", i));
    frame->setFlat(true);
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(0, 0, 0, 0);
    auto* group = new QButtonGroup(frame);
    auto* suru = new QRadioButton;
    suru->setObjectName(Indexed("optSuru", i));
    auto* sinai = new QRadioButton;
    sinai->setObjectName(Indexed("optSinai", i));
    group->addButton(suru);
    group->addButton(sinai);
    connect(suru, &QRadioButton::clicked, this, [this, i] { screen_.ClickSuru(i, true); });
    connect(sinai, &QRadioButton::clicked, this, [this, i] { screen_.ClickSuru(i, false); });
    row->addWidget(suru);
    row->addWidget(sinai);
    optSuru_[static_cast<size_t>(i)] = suru;
    optSinai_[static_cast<size_t>(i)] = sinai;
    grid->addWidget(name, i + 1, 0);
    grid->addWidget(frame, i + 1, 1);
  }
  auto* scroll = new QScrollArea;
  scroll->setWidget(inner);
  scroll->setWidgetResizable(true);
  scroll->setMinimumWidth(260);
  return scroll;
}

QWidget* FrmTokuten::BuildBonuses() {
  auto* frame = new QGroupBox(Q(kBouFrame));
  auto* grid = new QGridLayout(frame);
  auto* group = new QButtonGroup(frame);
  for (int i = 0; i < 2; ++i) {
    auto* o = new QRadioButton(Q(kBouCaptions[static_cast<size_t>(i)]));
    o->setObjectName(Indexed("optBou", i));
    group->addButton(o);
    connect(o, &QRadioButton::clicked, this, [this, i] {
      screen_.ClickBou(i);
      Show();
    });
    optBou_[static_cast<size_t>(i)] = o;
    grid->addWidget(o, 0, 1 + i * 2, 1, 2);
  }
  for (size_t c = 0; c < kBonusColumns.size(); ++c) grid->addWidget(new QLabel(Q(kBonusColumns[c])), 1, static_cast<int>(c) + 1);
  for (size_t r = 0; r < kBonusRows.size(); ++r) grid->addWidget(new QLabel(Q(kBonusRows[r])), static_cast<int>(r) + 2, 0);
  auto field = [&](int index) {
    auto* f = new QLineEdit;
    f->setObjectName(Indexed("txtTKiro", index));
    f->setFixedWidth(40);
    connect(f, &QLineEdit::textEdited, this, [this, index](const QString& t) { screen_.txtTKiro(index) = S(t); });
    txtTKiro_[static_cast<size_t>(index)] = f;
    return f;
  };
  for (int c = 0; c < 6; ++c)
    for (int r = 0; r < 5; ++r) grid->addWidget(field(c * 5 + r), r + 2, c + 1);
  for (int k = 0; k < 4; ++k) {
    auto* label = new QLabel(Q(kBonusExtra[static_cast<size_t>(k)]));
    if (*kBonusExtraTips[static_cast<size_t>(k)]) label->setToolTip(Q(kBonusExtraTips[static_cast<size_t>(k)]));
    QLineEdit* f = field(30 + k);
    f->setToolTip(label->toolTip());
    grid->addWidget(label, 7 + k, 0, 1, 3);
    grid->addWidget(f, 7 + k, 3);
  }
  return frame;
}

void FrmTokuten::Show() {
  for (int i = 0; i < kTallyEvents; ++i) {
    QSignalBlocker a(optSuru_[static_cast<size_t>(i)]), b(optSinai_[static_cast<size_t>(i)]);
    (screen_.optSuru(i) ? optSuru_ : optSinai_)[static_cast<size_t>(i)]->setChecked(true);
  }
  optBou_[static_cast<size_t>(screen_.optBou())]->setChecked(true);
  for (int i = 0; i < kBonusClasses; ++i)
    if (txtTKiro_[static_cast<size_t>(i)]->text() != Q(screen_.txtTKiro(i)))
      txtTKiro_[static_cast<size_t>(i)]->setText(Q(screen_.txtTKiro(i)));
  if (txtSeigen_->text() != Q(screen_.txtSeigen())) txtSeigen_->setText(Q(screen_.txtSeigen()));
  for (int i = 0; i < 2; ++i) {
    QLineEdit* f = txtNenrei_[static_cast<size_t>(i)];
    if (f->text() != Q(screen_.txtNenrei(i))) f->setText(Q(screen_.txtNenrei(i)));
    lblNenrei_[static_cast<size_t>(i)]->setText(Q(screen_.lblNenrei(i)));
  }
  for (int l = 0; l < 4; ++l) chkList_[static_cast<size_t>(l)]->setChecked(screen_.chkList(l));
  chkZenbu_->setChecked(screen_.chkZenbu());
  for (QPushButton* b : {cmdRank_, cmdNyusho_, cmdBiko_}) b->setEnabled(screen_.printEnabled());
}

void FrmTokuten::TakeFields() {
  screen_.txtSeigen() = S(txtSeigen_->text());
  for (int i = 0; i < kBonusClasses; ++i) screen_.txtTKiro(i) = S(txtTKiro_[static_cast<size_t>(i)]->text());
}

void FrmTokuten::Shukei() {
  TakeFields();
  for (QPushButton* b : {cmdRank_, cmdNyusho_, cmdBiko_}) b->setEnabled(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  auto done = screen_.Shukei(platform_.clock);
  QApplication::restoreOverrideCursor();
  Show();
  if (!done) {
    lblShukei_->clear();
    platform_.dialogs.Notify(done.error().message);
    return;
  }
  lblShukei_->setText(Q(done->line));
  if (done->saturated) platform_.dialogs.Notify(kSaturatedMessage);
  if (!done->leftOutNote.empty()) platform_.dialogs.Notify(done->leftOutNote);
}

template <typename F>
void FrmTokuten::PrintWith(F command) {
  if (auto ok = command(); !ok) platform_.dialogs.Notify(ok.error().message);
}

void RegisterFrmTokuten() {
  RegisterScreen("cmdTokuten", [](const HubState& state, Platform& platform) -> QWidget* {
    return new FrmTokuten(state, platform);
  });
}

}  // namespace meet::ui
