#include "ui/frm_projun.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/printer.h"
#include "platform/qt_printer.h"
#include "ui/frm_proj_shoki.h"
#include "ui/screen_registry.h"
#include "ui/widget_kit.h"

namespace meet::ui {

namespace {

// The words of the list heading and the character column of the list line
// each starts at: over its field, right-aligned over the numbers. A line is
// the line number (3), orderNo (4), the sex (4), the band (14), the event
// (18), the stage (4), heatCount (3), the three times (9, 8, 6), firstRace
// (5), then " " day, "  " excluded heats, "  " flag.
struct HeadingWord {
  const char* word;
  int column;
};
constexpr HeadingWord kHeadingWords[] = {
    {"順", 5},        {"性別", 7},      {"区分", 11}, {"種目", 25}, {"予決", 43}, {"組数", 46}, {"予定時間", 51},
    {"所要時間", 59}, {"＠", 71},        {"ﾚｰｽ", 75},  {"日", 78},   {"除", 81},   {"Ｆ", 84},
};

// lblShori: its text is the heading as it stands; it is drawn word by word
// over the list's columns, in the list's font, from where the list's lines
// start.
class ColumnHeading : public QLabel {
 public:
  ColumnHeading(const QString& text, int inset) : QLabel(text), inset_(inset) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    // A column is one half-width character of the fixed-width font: the
    // word starts where that many of them end (measured, not rounded).
    const QFontMetricsF metrics(font());
    for (const HeadingWord& w : kHeadingWords)
      painter.drawText(QPointF(inset_ + metrics.horizontalAdvance(QString(w.column, QLatin1Char('0'))),
                               metrics.ascent() + 1),
                       QString::fromUtf8(w.word));
  }

 private:
  int inset_;
};


// The entry controls in screen order: name, caption above, width.
struct EditField {
  const char* name;
  const char* caption;
  int width;
};

}  // namespace

FrmProjun::FrmProjun(std::filesystem::path meetFolder, Settings settings, Platform& platform, QWidget* parent)
    : QWidget(parent), screen_(std::move(meetFolder), std::move(settings), platform), platform_(platform) {
  setObjectName("frmProjun");
  setWindowTitle(Q(kProjunCaption));
  auto* top = new QVBoxLayout(this);
  top->addWidget(BuildEntryControls());

  lstNaiyo_ = new QListWidget;
  lstNaiyo_->setObjectName("lstNaiyo");
  lstNaiyo_->setFont(ListFont());
  lstNaiyo_->setMinimumSize(900, 360);
  // The heading starts where the list's lines start: past the list's frame
  // and the margin its items keep before their text.
  const int inset = lstNaiyo_->frameWidth() + lstNaiyo_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr,
                                                                              lstNaiyo_) + 1;
  lblShori_ = new ColumnHeading(Q(kProjunHeading), inset);
  lblShori_->setObjectName("lblShori");
  lblShori_->setTextFormat(Qt::PlainText);
  lblShori_->setFont(ListFont());
  top->addWidget(lblShori_);
  connect(lstNaiyo_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (refreshing_ || row < 0) return;
    Report(screen_.SelectLine(row));
    PushControls();
  });
  top->addWidget(lstNaiyo_, 1);

  auto* counts = new QHBoxLayout;
  counts->addWidget(new QLabel(QStringLiteral("登録数")));
  lblL1_ = Label("lblL1");
  counts->addWidget(lblL1_);
  counts->addWidget(new QLabel(QStringLiteral("表示数")));
  lblLrec_ = Label("lblLrec");
  counts->addWidget(lblLrec_);
  counts->addWidget(new QLabel(QStringLiteral("選択")));
  lblR1_ = Label("lblR1");
  counts->addWidget(lblR1_);
  chkJun_ = new QCheckBox(QStringLiteral("全種目表示"));
  chkJun_->setObjectName("chkJun");
  connect(chkJun_, &QCheckBox::clicked, this, [this](bool ticked) {
    Report(screen_.SetChkJun(ticked));
    ShowList();
  });
  counts->addWidget(chkJun_);
  counts->addStretch(1);
  top->addLayout(counts);
  top->addWidget(BuildCommands());
  top->addWidget(BuildCopy());

  Status opened = screen_.Open();
  PushControls();
  ShowList();
  Report(opened);
}

QWidget* FrmProjun::BuildEntryControls() {
  auto* box = new QWidget;
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  int column = 0;
  auto addEdit = [&](const EditField& field) {
    auto* edit = new QLineEdit;
    edit->setObjectName(field.name);
    edit->setFixedWidth(field.width);
    edits_[field.name] = edit;
    grid->addWidget(new QLabel(QString::fromUtf8(field.caption)), 0, column);
    grid->addWidget(edit, 1, column++);
    return edit;
  };
  auto addCombo = [&](const char* name, const char* caption, int width) {
    auto* combo = new QComboBox;
    combo->setObjectName(name);
    combo->setMinimumWidth(width);
    grid->addWidget(new QLabel(QString::fromUtf8(caption)), 0, column);
    grid->addWidget(combo, 1, column++);
    return combo;
  };
  addEdit({"txtJun", "順", 50});
  cboSei_ = addCombo("cboSei", "性別", 70);
  addEdit({"txtAge1", "区分", 40});
  addEdit({"txtAge2", "～", 40});
  cboShumoku_ = addCombo("cboShumoku", "種目", 170);
  cboMatch_ = addCombo("cboMatch", "予決", 100);
  addEdit({"txtKumi", "組数", 40});
  addEdit({"txtYotei", "予定時間", 70});
  addEdit({"txtZikan", "所要時間", 70});
  addEdit({"txtZikatan", "＠", 50});
  addEdit({"txtRace", "ﾚｰｽ", 50});
  addEdit({"txtHn", "日", 30});
  QLineEdit* sakujo = addEdit({"txtSakujo", "除", 30});
  addEdit({"txtMa", "Ｆ", 30});
  grid->setColumnStretch(column, 1);

  connect(sakujo, &QLineEdit::textChanged, this, [this, sakujo](const QString& text) {
    screen_.SetTxtSakujo(S(text));
    QString kept = Q(screen_.controls().txtSakujo);
    if (kept != text) sakujo->setText(kept);
  });
  connect(sakujo, &QLineEdit::returnPressed, this, [this] { Run(&FrmProjunScreen::SakujoEnter); });
  return box;
}

QWidget* FrmProjun::BuildCommands() {
  auto* box = new QWidget;
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  auto add = [&](QPushButton* b) {
    row->addWidget(b);
    return b;
  };
  connect(add(Button("cmdShinki", "新規", "表示データを最終に登録します")), &QPushButton::clicked, this,
          [this] { Run(&FrmProjunScreen::Shinki); });
  connect(add(Button("cmdSyusei", "修正", "選択データへの上書き")), &QPushButton::clicked, this,
          [this] { Run(&FrmProjunScreen::Syusei); });
  connect(add(Button("cmdSakujo", "削除", "選択データの削除")), &QPushButton::clicked, this,
          [this] { Run(&FrmProjunScreen::Sakujo); });
  connect(add(Button("cmdSonyu", "挿入", "右数字分の空白行挿入")), &QPushButton::clicked, this,
          [this] { Run(&FrmProjunScreen::Sonyu); });
  auto* sohnyu = new QLineEdit(Q(screen_.txtSohnyu()));
  sohnyu->setObjectName("txtSohnyu");
  sohnyu->setFixedWidth(40);
  edits_["txtSohnyu"] = sohnyu;
  row->addWidget(sohnyu);
  connect(add(Button("cmdShoki", "初期", "競技番号・区分・予定時間・種目所要時間の初期化")), &QPushButton::clicked,
          this, &FrmProjun::Shoki);
  connect(add(Button("cmdInsatu", "印刷", "表示データ印刷")), &QPushButton::clicked, this, &FrmProjun::Insatu);
  connect(add(Button("cmdCansel", "取消")), &QPushButton::clicked, this, [this] {
    screen_.Cansel();
    PushControls();
  });

  auto* jidou = new QGroupBox(QStringLiteral("自動作成"));
  jidou->setObjectName("fraJidou");
  auto* jidouRow = new QHBoxLayout(jidou);
  auto* both = new QRadioButton(QStringLiteral("予選+決勝"));
  both->setObjectName("optJidou_0");
  both->setChecked(true);
  optJidouFinals_ = new QRadioButton(QStringLiteral("決勝のみ"));
  optJidouFinals_->setObjectName("optJidou_1");
  auto* group = new QButtonGroup(jidou);
  group->addButton(both, 0);
  group->addButton(optJidouFinals_, 1);
  jidouRow->addWidget(both);
  jidouRow->addWidget(optJidouFinals_);
  auto* make = Button("cmdJidou", "自動作成", "申込データのエントリーがある種目を競技順の最後に追加します");
  connect(make, &QPushButton::clicked, this, &FrmProjun::Jidou);
  jidouRow->addWidget(make);
  row->addWidget(jidou);

  row->addStretch(1);
  connect(add(Button("Command1", "終")), &QPushButton::clicked, this, &QWidget::close);
  return box;
}

QWidget* FrmProjun::BuildOptionGroup(const QString& frame, const QString& caption, const QString& group,
                                     const char* const* captions, int count) {
  auto* box = new QGroupBox(caption);
  box->setObjectName(frame);
  auto* layout = new QVBoxLayout(box);
  auto* buttons = new QButtonGroup(box);
  for (int i = 0; i < count; ++i) {
    auto* option = new QRadioButton(QString::fromUtf8(captions[i]));
    option->setObjectName(Indexed(group, i));
    if (i == 0) option->setChecked(true);
    buttons->addButton(option, i);
    layout->addWidget(option);
  }
  optionGroups_[S(group)] = buttons;
  return box;
}

QWidget* FrmProjun::BuildCopy() {
  auto* box = new QWidget;
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  auto* copy = Button("cmdCopy", "複写");
  connect(copy, &QPushButton::clicked, this, [this] { Run(&FrmProjunScreen::Copy); });
  row->addWidget(copy, 0, Qt::AlignTop);
  auto* boxes = new QGridLayout;
  int r = 0;
  for (auto [name, caption] : {std::pair{"txtC1", "へ"}, std::pair{"txtC2", "から"}, std::pair{"txtC3", "まで"}}) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setFixedWidth(60);
    edits_[name] = edit;
    boxes->addWidget(edit, r, 0);
    boxes->addWidget(new QLabel(QString::fromUtf8(caption)), r++, 1);
  }
  row->addLayout(boxes);
  row->addWidget(BuildOptionGroup("fraSei", "性別", "optSei", kOptSeiCaptions.data(), 4), 0, Qt::AlignTop);
  row->addWidget(BuildOptionGroup("fraYoketu", "予決", "optYoketu", kOptYoketuCaptions.data(), 5), 0, Qt::AlignTop);
  row->addWidget(BuildOptionGroup("fraShu", "種目", "optShu", kOptShuCaptions.data(), 8), 0, Qt::AlignTop);
  row->addWidget(BuildOptionGroup("fraKyori", "距離", "optKyori", kOptKyoriCaptions.data(), 8), 0, Qt::AlignTop);
  row->addStretch(1);
  return box;
}

// ---------------------------------------------------------------- binding

void FrmProjun::PullControls() {
  ProjunControls& c = screen_.controls();
  auto text = [&](const char* name) { return S(edits_.at(name)->text()); };
  c.txtJun = text("txtJun");
  c.txtKumi = text("txtKumi");
  c.txtAge1 = text("txtAge1");
  c.txtAge2 = text("txtAge2");
  c.txtZikatan = text("txtZikatan");
  c.txtZikan = text("txtZikan");
  c.txtYotei = text("txtYotei");
  c.txtRace = text("txtRace");
  c.txtMa = text("txtMa");
  c.txtHn = text("txtHn");
  screen_.SetTxtSakujo(text("txtSakujo"));
  c.cboSei = cboSei_->currentIndex();
  c.cboShumoku = cboShumoku_->currentIndex();
  c.cboMatch = cboMatch_->currentIndex();
  screen_.txtSohnyu() = text("txtSohnyu");
  CopyControls& copy = screen_.copy();
  copy.txtC1 = text("txtC1");
  copy.txtC2 = text("txtC2");
  copy.txtC3 = text("txtC3");
  auto option = [&](const char* group) { return std::max(optionGroups_.at(group)->checkedId(), 0); };
  copy.optSei = option("optSei");
  copy.optYoketu = option("optYoketu");
  copy.optShu = option("optShu");
  copy.optKyori = option("optKyori");
}

void FrmProjun::PushControls() {
  const ProjunControls& c = screen_.controls();
  auto set = [&](const char* name, const std::string& value) { edits_.at(name)->setText(Q(value)); };
  set("txtJun", c.txtJun);
  set("txtKumi", c.txtKumi);
  set("txtAge1", c.txtAge1);
  set("txtAge2", c.txtAge2);
  set("txtZikatan", c.txtZikatan);
  set("txtZikan", c.txtZikan);
  set("txtYotei", c.txtYotei);
  set("txtRace", c.txtRace);
  set("txtMa", c.txtMa);
  set("txtHn", c.txtHn);
  set("txtSakujo", c.txtSakujo);
  set("txtSohnyu", screen_.txtSohnyu());
  set("txtC1", screen_.copy().txtC1);
  set("txtC2", screen_.copy().txtC2);
  set("txtC3", screen_.copy().txtC3);
  auto fill = [](QComboBox* combo, const std::vector<std::string>& items, int position) {
    if (combo->count() != static_cast<int>(items.size())) {
      combo->clear();
      for (const auto& item : items) combo->addItem(Q(item));
    }
    combo->setCurrentIndex(position < combo->count() ? position : -1);
  };
  fill(cboSei_, screen_.cboSeiItems(), c.cboSei);
  fill(cboShumoku_, screen_.cboShumokuItems(), c.cboShumoku);
  fill(cboMatch_, screen_.cboMatchItems(), c.cboMatch);
  lblR1_->setText(Q(screen_.lblR1()));
}

void FrmProjun::ShowList() {
  refreshing_ = true;
  lstNaiyo_->clear();
  for (const auto& line : screen_.lines()) lstNaiyo_->addItem(Q(line));
  lstNaiyo_->setCurrentRow(screen_.selectedLine());
  refreshing_ = false;
  lblL1_->setText(Q(screen_.lblL1()));
  lblLrec_->setText(Q(screen_.lblLrec()));
  lblR1_->setText(Q(screen_.lblR1()));
  chkJun_->setChecked(screen_.chkJun());
}

void FrmProjun::Report(const Status& status) {
  if (!status && status.error().kind != ErrorKind::Cancelled) platform_.dialogs.Notify(status.error().message);
}

void FrmProjun::Run(Status (FrmProjunScreen::*command)()) {
  PullControls();
  Status done = (screen_.*command)();
  PushControls();
  ShowList();
  Report(done);
}

void FrmProjun::Shoki() {
  PullControls();
  auto start = screen_.ShokiStart();
  if (!start || shoki_) return;
  shoki_ = new FrmProjShoki(screen_.meetFolder(), screen_.settings().classMode, *start, screen_.chkJun(), platform_,
                            this);
  shoki_->setAttribute(Qt::WA_DeleteOnClose);
  shoki_->setWindowModality(Qt::ApplicationModal);
  connect(shoki_, &QDialog::finished, this, [this] {
    shoki_ = nullptr;
    PullControls();
    Status relisted = screen_.AfterShoki();
    PushControls();
    ShowList();
    Report(relisted);
  });
  shoki_->show();
}

void FrmProjun::Insatu() {
  PullControls();
  auto printed = screen_.Insatu();
  if (!printed) Report(std::unexpected(printed.error()));
}

void FrmProjun::Jidou() {
  PullControls();
  auto added = screen_.Jidou(optJidouFinals_->isChecked());
  PushControls();
  ShowList();
  if (!added) Report(std::unexpected(added.error()));
}

void RegisterFrmProjun() {
  RegisterScreen("cmdProjun", [](const HubState& state, Platform& platform) -> QWidget* {
    return new FrmProjun(state.folders.meetFolder, state.settings, platform);
  });
}

}  // namespace meet::ui
