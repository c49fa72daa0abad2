#include "ui/frm_kyogi.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <string_view>

#include "core/meet_lock.h"
#include "core/printer.h"
#include "platform/qt_printer.h"
#include "race/lane_move.h"
#include "race/next_stage.h"
#include "race/timing_post.h"
#include "ui/frm_mkkyogi.h"
#include "ui/frm_ohda.h"
#include "ui/kyogi_text_dumps.h"
#include "ui/screen_registry.h"
#include "ui/widget_kit.h"

namespace meet::ui {

namespace {


ManualEntryOpener& Opener() {
  static ManualEntryOpener opener;
  return opener;
}


// A control whose command a later part of the system brings.
void NotYet(QWidget* w) {
  w->setEnabled(false);
  w->setToolTip(QString::fromUtf8(kNotAvailableYet));
}

// A lane row's columns, left to right, each under its word of the screen's
// column heading (kKyogiHeading: the lane label's "コース" first; the
// standards flag has none); the lane fields the operator types into are
// editable, the entry's fields are not.
struct LaneColumn {
  const char* name;
  int width;
  bool editable;
  const char* heading;
};
constexpr const char* kLaneLabelHeading = "コース";
constexpr int kLaneLabelWidth = 44;
constexpr LaneColumn kLaneColumns[] = {
    {"txtNamae", 150, false, "名   前"}, {"txtKana", 150, false, "ﾌﾘｶﾅ"}, {"txtKen", 60, false, "県"},
    {"txtSho", 90, false, "所属"},        {"txtTosi", 30, false, "歳"},    {"txtGaku", 50, false, "学年"},
    {"txtJun", 30, true, "順"},           {"txtKiro", 70, true, "記録"},   {"txtMu", 30, true, "無"},
    {"txtNen", 30, true, "年"},           {"txtHoj", 24, true, ""},        {"txtBiko", 44, true, "備考"},
    {"txtQkiro", 70, true, "前記録"},     {"txtQBan", 120, false, "旧 番 号"}, {"txtNo", 50, true, "番号"},
};

// The header labels keep one width whatever they show, so the standards
// panel beside them never moves between races.
struct HeaderLabel {
  const char* name;
  int width;
};
constexpr HeaderLabel kHeaderWidths[] = {
    {"lblRecord", 110}, {"lblPno", 60},     {"lblKumi", 40},    {"lblTKumi", 40},  {"lblSei", 50},    {"lblShubetu", 110},
    {"lblShumoku", 150}, {"lblYoketu", 70}, {"lblYZikan", 80},  {"lblZikan", 80},  {"lblDate", 90},   {"lblSZikan", 80},
};

int HeaderWidth(const char* name) {
  for (const HeaderLabel& h : kHeaderWidths)
    if (std::string_view(h.name) == name) return h.width;
  return 60;
}

NavKey KeyOf(int key, bool& known) {
  known = true;
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return NavKey::Enter;
    case Qt::Key_Home: return NavKey::Home;
    case Qt::Key_Up: return NavKey::Up;
    case Qt::Key_Down: return NavKey::Down;
    case Qt::Key_Left: return NavKey::Left;
    case Qt::Key_Right: return NavKey::Right;
    default: known = false; return NavKey::Enter;
  }
}

}  // namespace

void SetManualEntryOpener(ManualEntryOpener opener) { Opener() = std::move(opener); }

FrmKyogi::FrmKyogi(const HubState& state, Platform& platform, QWidget* parent)
    : QWidget(parent),
      state_(state),
      platform_(platform),
      screen_(state.folders.meetFolder, state.settings, platform) {
  setObjectName("frmKyogi");
  setWindowTitle(QString::fromUtf8(kKyogiCaption));
  auto* top = new QVBoxLayout(this);
  BuildMenus(top);
  auto* upper = new QHBoxLayout;
  upper->addWidget(BuildHeader(), 0, Qt::AlignTop);
  upper->addWidget(BuildStandards(), 0, Qt::AlignTop);
  upper->addStretch(1);
  top->addLayout(upper);
  top->addWidget(BuildLanes());
  top->addWidget(BuildCommands());
  top->addStretch(1);

  Status opened = screen_.Open();
  Show();
  Report(opened);

  // The clock runs while the screen waits for the operator.
  clock_ = new QTimer(this);
  clock_->setInterval(1000);
  connect(clock_, &QTimer::timeout, this, [this] {
    screen_.Tick();
    ShowClock();
    AutoPost();
  });
  clock_->start();
  AttachTextDumps(this, state.folders.meetFolder, platform, [this] { Redraw(); });
  txtToi_->setFocus(Qt::OtherFocusReason);
}

void FrmKyogi::BuildMenus(QVBoxLayout* top) {
  auto* bar = new QMenuBar(this);
  bar->setObjectName("menuBar");
  QAction* owari = bar->addAction(QStringLiteral("終わり"));
  owari->setObjectName("mOwari");
  connect(owari, &QAction::triggered, this, &QWidget::close);

  auto menu = [&](const char* name, const char* caption,
                  std::initializer_list<std::pair<const char*, const char*>> items) {
    QMenu* m = bar->addMenu(QString::fromUtf8(caption));
    m->setObjectName(QString::fromUtf8(name));
    m->setToolTipsVisible(true);
    for (auto [itemName, itemCaption] : items) {
      QAction* a = m->addAction(QString::fromUtf8(itemCaption));
      a->setObjectName(QString::fromUtf8(itemName));
      a->setEnabled(false);
      a->setToolTip(QString::fromUtf8(kNotAvailableYet));
    }
  };
  menu("mInsatu", "印刷", {{"mLpRank", "ランキング"}, {"mLpPage", "プログラム"}, {"mLpRace", "レース"}, {"mLpLap", "ラップ"}});
  WirePrintMenu(bar);
  menu("mM", "ﾒﾝﾃﾅﾝｽ", {{"mMkyogi", "競技ﾀｲﾄﾙ"}, {"mJiRound", "次ラウンド組分け"}});
  if (auto* mkyogi = bar->findChild<QAction*>("mMkyogi")) {
    mkyogi->setEnabled(true);
    mkyogi->setToolTip({});
    connect(mkyogi, &QAction::triggered, this, &FrmKyogi::OpenRaceTitle);
  }
  if (auto* next = bar->findChild<QAction*>("mJiRound")) {
    next->setEnabled(true);
    next->setToolTip(QString::fromUtf8("表示レースの種目の次のラウンドを、前のラウンドの結果から組分けし直します"));
    connect(next, &QAction::triggered, this, &FrmKyogi::SeedNextRound);
  }
  menu("mWork", "旧データ出力",
       {{"mWKyogi", "競技"}, {"mWProjun", "プロ順"}, {"mWHpro", "ﾌﾟﾛﾍﾟｰｼﾞ"}, {"mWRel", "ﾘﾚｰ"}});
  menu("mIn", "旧データ入力", {{"mInKyogi", "競技"}, {"mInShikaku", "記録"}});
  top->setMenuBar(bar);
}

QWidget* FrmKyogi::BuildHeader() {
  auto* box = new QWidget;
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  auto add = [&](const char* name, const char* caption, int row, int column, const QString& initial = {}) {
    if (caption) grid->addWidget(new QLabel(QString::fromUtf8(caption)), row, column);
    QLabel* l = Label(name, initial);
    l->setFrameShape(QFrame::Panel);
    l->setFixedWidth(HeaderWidth(name));
    labels_[name] = l;
    grid->addWidget(l, row, column + 1);
    return l;
  };
  add("lblRecord", kRecordCaption, 0, 0);
  add("lblPno", "競技番号", 1, 0);
  add("lblKumi", "組", 1, 2);
  add("lblTKumi", nullptr, 1, 4);
  add("lblSei", nullptr, 2, 0);
  add("lblShubetu", nullptr, 2, 2);
  add("lblShumoku", nullptr, 2, 4);
  add("lblYoketu", nullptr, 2, 6);
  add("lblYZikan", "予定", 3, 0, QStringLiteral("99:99:99"));
  add("lblZikan", "現在", 3, 2);
  add("lblDate", nullptr, 3, 4, QStringLiteral("yyyy:mm:dd"));
  QLabel* diff = add("lblSZikan", "差", 3, 6);
  diff->setAutoFillBackground(true);
  auto* legend = Label("lblLegend", QString::fromUtf8(kClockLegend));
  grid->addWidget(legend, 4, 0, 1, 8);
  return box;
}

QWidget* FrmKyogi::BuildStandards() {
  auto* box = new QWidget;
  box->setObjectName("hyjSik");
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(2);
  auto* heading = Label("lblSikHeading", QString::fromUtf8(kStandardsHeading));
  grid->addWidget(heading, 0, 0, 1, 12);
  auto makeBox = [&](int item) {
    auto* e = new QLineEdit(QStringLiteral("99:99:99"));
    e->setObjectName(Indexed("txtTKiro", item));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setFixedWidth(70);
    standards_[static_cast<size_t>(item)] = e;
    return e;
  };
  // Six levels side by side, each with its general record over the four
  // school records.
  for (int item = 0; item < 30; ++item) grid->addWidget(makeBox(item), 1 + item % 5, item / 5 * 2, 1, 2);
  struct Standard {
    int item;
    const char* caption;
    const char* tip;
  };
  const Standard standards[] = {{30, "大会", nullptr},
                                {31, "標準１（年齢別）", "年齢別の標準記録"},
                                {32, "標準２（学年別）", "学年別の標準記録"},
                                {33, "標準４（大会別）", "大会区分による標準記録"}};
  int column = 0;
  for (const Standard& s : standards) {
    grid->addWidget(new QLabel(QString::fromUtf8(s.caption)), 6, column, 1, 3);
    QLineEdit* e = makeBox(s.item);
    if (s.tip) e->setToolTip(QString::fromUtf8(s.tip));
    grid->addWidget(e, 7, column, 1, 3);
    column += 3;
  }
  return box;
}

QWidget* FrmKyogi::BuildLanes() {
  auto* box = new QWidget;
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(1);
  grid->setVerticalSpacing(1);
  // The heading: one label over each column, lblHeading_0 over the lane labels.
  auto headingLabel = [&](int column, const char* text, int width) {
    QLabel* l = Label(Indexed("lblHeading", column).toUtf8().constData(), QString::fromUtf8(text));
    l->setFixedWidth(width);
    l->setAlignment(Qt::AlignCenter);
    grid->addWidget(l, 0, column);
  };
  headingLabel(0, kLaneLabelHeading, kLaneLabelWidth);
  // Spare width goes past the last column, so every column keeps its place.
  grid->setColumnStretch(static_cast<int>(std::size(kLaneColumns)) + 1, 1);
  for (size_t k = 0; k < std::size(kLaneColumns); ++k)
    headingLabel(static_cast<int>(k) + 1, kLaneColumns[k].heading, kLaneColumns[k].width);
  for (int row = 0; row < kLaneRows; ++row) {
    QLabel* lane = Label(Indexed("lblKosu", row).toUtf8().constData(), Q(LaneLabel(row)));
    lane->setFixedWidth(kLaneLabelWidth);
    grid->addWidget(lane, row + 1, 0);
    int column = 1;
    for (const LaneColumn& c : kLaneColumns) {
      auto* e = new QLineEdit;
      e->setObjectName(Indexed(c.name, row));
      e->setFixedWidth(c.width);
      if (c.editable) {
        e->installEventFilter(this);
        laneFields_[e] = {*LaneFieldOfName(c.name), row};
      } else {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
      }
      const std::string name = c.name;
      if (name == "txtKiro") e->setToolTip(QString::fromUtf8(kTipKiro));
      if (name == "txtHoj") e->setToolTip(QString::fromUtf8(kTipHoj));
      if (name == "txtBiko") e->setToolTip(QString::fromUtf8(kTipBiko));
      lanes_[name][static_cast<size_t>(row)] = e;
      grid->addWidget(e, row + 1, column++);
    }
  }
  return box;
}

QWidget* FrmKyogi::BuildCommands() {
  auto* box = new QWidget;
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  txtToi_ = new QLineEdit;
  txtToi_->setObjectName("txtToi");
  txtToi_->setToolTip(QString::fromUtf8(kTipToi));
  txtToi_->setFixedWidth(90);
  txtToi_->installEventFilter(this);
  row->addWidget(txtToi_);

  cmdKeiji_ = Button("cmdKeiji", "確定", "記録読込  印刷");
  connect(cmdKeiji_, &QPushButton::clicked, this, &FrmKyogi::Keiji);
  cmdShudo_ = Button("cmdShudo", "手動", "表示ﾚｰｽの記録・ﾘﾚｰ1泳者・1500m途中時間入力");
  if (!Opener()) NotYet(cmdShudo_);
  connect(cmdShudo_, &QPushButton::clicked, this, &FrmKyogi::OpenManualEntry);
  cmdOhda_ = Button("cmdOhda", "オーダ", "");
  cmdOhda_->setEnabled(false);  // while a relay race is shown
  connect(cmdOhda_, &QPushButton::clicked, this, &FrmKyogi::OpenRelayOrder);
  for (QPushButton* b : {cmdKeiji_, cmdShudo_, cmdOhda_}) {
    b->installEventFilter(this);
    row->addWidget(b);
  }
  auto* ido = Button("cmdIdo", Q(kIdoCaption), Q(kIdoTip));
  connect(ido, &QPushButton::clicked, this, &FrmKyogi::MoveLanes);
  row->addWidget(ido);
  txtIdo_ = new QLineEdit;
  txtIdo_->setObjectName("txtIdo");
  txtIdo_->setFixedWidth(60);
  row->addWidget(txtIdo_);
  chkInsatu_ = new QCheckBox(QStringLiteral("印刷しない"));
  chkInsatu_->setObjectName("chkInsatu");
  row->addWidget(chkInsatu_);
  chkJidou_ = new QCheckBox(QStringLiteral("自動確定"));
  chkJidou_->setObjectName("chkJidou");
  row->addWidget(chkJidou_);
  row->addStretch(1);
  row->addWidget(Label("Label7", QStringLiteral("旧ﾃﾞｰﾀﾄﾞﾗｲﾌﾞ")));
  auto* drT = new QLineEdit;
  drT->setObjectName("txtDrT");
  drT->setFixedWidth(120);
  NotYet(drT);
  row->addWidget(drT);
  return box;
}

// ---------------------------------------------------------------- binding

void FrmKyogi::Show() {
  const KyogiHeader& h = screen_.header();
  labels_.at("lblRecord")->setText(Q(h.lblRecord));
  labels_.at("lblPno")->setText(Q(h.lblPno));
  labels_.at("lblKumi")->setText(Q(h.lblKumi));
  labels_.at("lblTKumi")->setText(Q(h.lblTKumi));
  labels_.at("lblSei")->setText(Q(h.lblSei));
  labels_.at("lblShubetu")->setText(Q(h.lblShubetu));
  labels_.at("lblShumoku")->setText(Q(h.lblShumoku));
  labels_.at("lblYoketu")->setText(Q(h.lblYoketu));
  labels_.at("lblYZikan")->setText(Q(h.lblYZikan));
  ShowClock();
  for (int item = 0; item < kStandardBoxes; ++item)
    standards_[static_cast<size_t>(item)]->setText(Q(screen_.txtTKiro()[static_cast<size_t>(item)]));

  const QColor face = QApplication::palette().color(QPalette::Button);
  const QColor normal = QApplication::palette().color(QPalette::Base);
  for (int r = 0; r < kLaneRows; ++r) {
    const LaneRow& row = screen_.rows()[static_cast<size_t>(r)];
    const std::pair<const char*, const std::string*> texts[] = {
        {"txtNo", &row.txtNo},     {"txtQBan", &row.txtQBan}, {"txtNamae", &row.txtNamae}, {"txtKana", &row.txtKana},
        {"txtKen", &row.txtKen},   {"txtSho", &row.txtSho},   {"txtTosi", &row.txtTosi},   {"txtGaku", &row.txtGaku},
        {"txtJun", &row.txtJun},   {"txtKiro", &row.txtKiro}, {"txtMu", &row.txtMu},       {"txtNen", &row.txtNen},
        {"txtHoj", &row.txtHoj},   {"txtBiko", &row.txtBiko}, {"txtQkiro", &row.txtQkiro}};
    for (auto [name, text] : texts) lanes_.at(name)[static_cast<size_t>(r)]->setText(Q(*text));
    QLineEdit* qkiro = lanes_.at("txtQkiro")[static_cast<size_t>(r)];
    QPalette palette = qkiro->palette();
    palette.setColor(QPalette::Base, row.qkiroGrey ? face : normal);
    qkiro->setPalette(palette);
  }
  cmdOhda_->setEnabled(screen_.cmdOhdaEnabled());
}

void FrmKyogi::ShowClock() {
  const KyogiHeader& h = screen_.header();
  labels_.at("lblZikan")->setText(Q(h.lblZikan));
  labels_.at("lblDate")->setText(Q(h.lblDate));
  QLabel* diff = labels_.at("lblSZikan");
  diff->setText(Q(h.lblSZikan));
  if (h.lblSZikanColour) {
    QPalette palette = diff->palette();
    const QColor colour(h.lblSZikanColour->red, h.lblSZikanColour->green, h.lblSZikanColour->blue);
    if (palette.color(QPalette::Window) != colour) {
      palette.setColor(QPalette::Window, colour);
      diff->setPalette(palette);
    }
  }
}

void FrmKyogi::Redraw() {
  Report(screen_.Reload());
  Show();
}

void FrmKyogi::Report(const Status& status) {
  if (!status && status.error().kind != ErrorKind::Cancelled) platform_.dialogs.Notify(status.error().message);
}

void FrmKyogi::Focus(const FocusTarget& target) {
  QWidget* w = nullptr;
  if (target.control == "txtToi") w = txtToi_;
  else if (target.control == "cmdKeiji") w = cmdKeiji_;
  else if (target.control == "cmdShudo") w = cmdShudo_;
  else if (target.control == "cmdOhda") w = cmdOhda_;
  else if (auto it = lanes_.find(target.control);
           it != lanes_.end() && target.index >= 0 && target.index < kLaneRows)
    w = it->second[static_cast<size_t>(target.index)];
  if (w) w->setFocus(Qt::OtherFocusReason);
}

bool FrmKyogi::LaneKey(QLineEdit* edit, LaneField field, int row, int key, Qt::KeyboardModifiers) {
  bool known = false;
  const NavKey nav = KeyOf(key, known);
  if (!known) return false;
  if (nav == NavKey::Enter) {
    const std::string before = S(edit->text().left(edit->cursorPosition()));
    auto focus = screen_.EnterLaneField(field, row, before);
    Show();
    if (!focus) {
      Report(std::unexpected(focus.error()));
      return true;
    }
    Focus(*focus);
    return true;
  }
  if (auto target = LaneFieldMove(field, row, nav)) Focus(*target);
  return true;
}

bool FrmKyogi::ToiKeyPressed(int key, Qt::KeyboardModifiers modifiers) {
  bool known = false;
  const NavKey nav = KeyOf(key, known);
  if (!known || nav == NavKey::Home) return false;
  if (nav == NavKey::Enter) {
    const std::string before = S(txtToi_->text().left(txtToi_->cursorPosition()));
    Status jumped = screen_.EnterToi(before);
    txtToi_->clear();
    Show();
    Report(jumped);
    return true;
  }
  auto target = screen_.ToiKey(nav, modifiers.testFlag(Qt::ShiftModifier));
  Show();
  if (!target) {
    Report(std::unexpected(target.error()));
    return true;
  }
  if (*target) Focus(**target);
  return true;
}

bool FrmKyogi::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (watched == txtToi_) return ToiKeyPressed(key->key(), key->modifiers());
  if (auto it = laneFields_.find(watched); it != laneFields_.end())
    return LaneKey(static_cast<QLineEdit*>(watched), it->second.first, it->second.second, key->key(),
                   key->modifiers());
  if (watched == cmdKeiji_ || watched == cmdShudo_ || watched == cmdOhda_) {
    bool known = false;
    const NavKey nav = KeyOf(key->key(), known);
    if (known)
      if (auto target = ButtonKeyMove(S(watched->objectName()), nav)) {
        Focus(*target);
        return true;
      }
  }
  return QWidget::eventFilter(watched, event);
}

void FrmKyogi::OpenManualEntry() {
  if (!Opener()) return;
  clock_->stop();
  Opener()(this, state_, screen_.currentRace(), platform_);
  clock_->start();
  Redraw();
  Focus(ToiFocus());
}

void FrmKyogi::OpenRelayOrder() {
  clock_->stop();
  ShowFrmOhda(this, screen_, platform_);
  clock_->start();
  Redraw();
}

void FrmKyogi::MoveLanes() {
  auto moved = cmdIdo(screen_, S(txtIdo_->text()), platform_.dialogs);
  if (moved && *moved == LaneMoveOutcome::Cancelled) return;
  txtIdo_->clear();
  Show();
  if (!moved) Report(std::unexpected(moved.error()));
  Focus(ToiFocus());
}

void FrmKyogi::OpenRaceTitle() {
  clock_->stop();
  const std::string summary = ShowFrmmKkyogi(this, state_.folders.meetFolder, screen_.currentRace(), platform_);
  clock_->start();
  Redraw();
  if (!summary.empty()) platform_.dialogs.Notify(summary);
}

void FrmKyogi::SeedNextRound() {
  clock_->stop();
  auto seeded = screen_.SeedNextRound();
  clock_->start();
  Show();
  if (!seeded) {
    Report(std::unexpected(seeded.error()));
  } else if (!seeded->printFailures.empty()) {
    std::string text;
    for (const std::string& failure : seeded->printFailures) text += (text.empty() ? "" : "\n") + failure;
    platform_.dialogs.Notify(text);
  }
  Focus(ToiFocus());
}

void FrmKyogi::Keiji() {
  if (screen_.posting()) return;
  auto report = screen_.cmdKeiji(chkInsatu_->isChecked());
  Show();
  if (!report) Report(std::unexpected(report.error()));
  Focus(ToiFocus());
}

void FrmKyogi::AutoPost() {
  if (!chkJidou_->isChecked() || screen_.posting() || QApplication::activeModalWidget()) return;
  if (LaneTextPending() || !screen_.autoPostDue()) return;
  // Another writer at work: the next tick tries again.
  auto lock = MeetLock::Acquire(screen_.meetFolder(), "meetdesk 自動確定", std::chrono::milliseconds(0));
  if (!lock) return;
  QWidget* focused = QApplication::focusWidget();
  Keiji();
  // The operator's place on the screen stays where it was.
  if (focused && focused != txtToi_ && isAncestorOf(focused)) focused->setFocus(Qt::OtherFocusReason);
}

bool FrmKyogi::LaneTextPending() const {
  for (LaneField field : kLaneFieldOrder) {
    const auto& edits = lanes_.at(LaneFieldName(field));
    for (int r = 0; r < kLaneRows; ++r)
      if (S(edits[static_cast<size_t>(r)]->text()) != FieldText(screen_.rows()[static_cast<size_t>(r)], field))
        return true;
  }
  return false;
}

void RegisterFrmKyogi() {
  RegisterScreen("cmdZikko", [](const HubState& state, Platform& platform) -> QWidget* {
    return new FrmKyogi(state, platform);
  });
}

}  // namespace meet::ui
