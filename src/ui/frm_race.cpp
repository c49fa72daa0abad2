#include "ui/frm_race.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/frm_kyogi.h"
#include "ui/widget_kit.h"

namespace meet::ui {

namespace {


void SetBackground(QLineEdit* edit, Rgb rgb) {
  QPalette p = edit->palette();
  p.setColor(QPalette::Base, QColor(rgb.red, rgb.green, rgb.blue));
  edit->setPalette(p);
}

}  // namespace

FrmRace::FrmRace(const HubState& state, int currentRace, Platform& platform, QWidget* parent)
    : QDialog(parent),
      screen_(state.folders.meetFolder, state.settings, currentRace, platform),
      platform_(platform) {
  setObjectName("frmRace");
  setWindowTitle(Q(kFrmRaceCaption));
  setModal(true);
  auto* top = new QVBoxLayout(this);

  auto* heading = new QGridLayout;
  int column = 0;
  auto addHeading = [&](const char* caption, QLabel*& label, const char* name) {
    heading->addWidget(new QLabel(QString::fromUtf8(caption)), 0, column);
    label = Label(name);
    label->setMinimumWidth(40);
    heading->addWidget(label, 1, column++);
  };
  addHeading("ﾚｰｽNo.", lblRace_, "lblRace");
  addHeading("競技番号", lblPno_, "lblPno");
  addHeading("組", lblKumi_, "lblKumi");
  addHeading("性別", lblSei_, "lblSei");
  addHeading("種目", lblShu_, "lblShu");
  addHeading("予決", lblYoketu_, "lblYoketu");
  addHeading("人数", lblNin_, "lblNin");
  top->addLayout(heading);

  auto* body = new QHBoxLayout;
  auto* rows = new QGridLayout;
  rows->addWidget(Label("lblNyuF", Q(kNyuFCaption)), 0, 0, 1, 3);
  for (int row = 0; row < kFinishRows; ++row) {
    rows->addWidget(new QLabel(QString::number(row + 1)), row + 1, 0);
    auto* jun = new QLineEdit;
    jun->setObjectName(Indexed("txtJun", row));
    jun->setFixedWidth(40);
    jun->installEventFilter(this);
    auto* kiro = new QLineEdit;
    kiro->setObjectName(Indexed("txtKiro", row));
    kiro->setFixedWidth(90);
    kiro->installEventFilter(this);
    txtJun_[static_cast<size_t>(row)] = jun;
    txtKiro_[static_cast<size_t>(row)] = kiro;
    rows->addWidget(jun, row + 1, 1);
    rows->addWidget(kiro, row + 1, 2);
  }
  body->addLayout(rows);

  auto* legend = new QVBoxLayout;
  for (int i = 0; i < 8; ++i) {
    auto* number = new QLabel(QString::number(i + 1));
    auto* caption = Label("", Q(screen_.lblShikkaku[static_cast<size_t>(i)]));
    caption->setObjectName(Indexed("lblShikkaku", i));
    lblShikkaku_[static_cast<size_t>(i)] = caption;
    auto* line = new QHBoxLayout;
    line->addWidget(number);
    line->addWidget(caption);
    legend->addLayout(line);
  }
  legend->addStretch(1);
  chkRel_ = new QCheckBox(Q(kRelCaption));
  chkRel_->setObjectName("chkRel");
  legend->addWidget(chkRel_);
  cmdKakutei_ = new QPushButton(Q(kKakuteiCaption));
  cmdKakutei_->setObjectName("cmdKakutei");
  cmdKakutei_->setAutoDefault(false);
  connect(cmdKakutei_, &QPushButton::clicked, this, &FrmRace::Kakutei);
  legend->addWidget(cmdKakutei_);
  cmdShoki_ = new QPushButton(Q(kShokiCaption));
  cmdShoki_->setObjectName("cmdShoki");
  cmdShoki_->setAutoDefault(false);
  connect(cmdShoki_, &QPushButton::clicked, this, &FrmRace::Shoki);
  legend->addWidget(cmdShoki_);
  body->addLayout(legend);
  top->addLayout(body);

  loaded_ = screen_.Load();
  Push();
}

void FrmRace::Pull() {
  for (size_t i = 0; i < txtJun_.size(); ++i) {
    screen_.txtJun[i] = S(txtJun_[i]->text());
    screen_.txtKiro[i] = S(txtKiro_[i]->text());
  }
  screen_.chkRel = chkRel_->isChecked();
}

void FrmRace::Push() {
  lblRace_->setText(Q(screen_.lblRace));
  lblPno_->setText(Q(screen_.lblPno));
  lblKumi_->setText(Q(screen_.lblKumi));
  lblSei_->setText(Q(screen_.lblSei));
  lblShu_->setText(Q(screen_.lblShu));
  lblYoketu_->setText(Q(screen_.lblYoketu));
  lblNin_->setText(Q(screen_.lblNin));
  for (size_t i = 0; i < txtJun_.size(); ++i) {
    txtJun_[i]->setText(Q(screen_.txtJun[i]));
    txtKiro_[i]->setText(Q(screen_.txtKiro[i]));
    Rgb background = screen_.rowBackground(static_cast<int>(i));
    SetBackground(txtJun_[i], background);
    SetBackground(txtKiro_[i], background);
  }
  chkRel_->setChecked(screen_.chkRel);
  const RaceFocus& f = screen_.focus();
  auto row = static_cast<size_t>(f.row < 0 ? 0 : f.row >= kFinishRows ? kFinishRows - 1 : f.row);
  switch (f.control) {
    case RaceControl::TxtJun: txtJun_[row]->setFocus(Qt::OtherFocusReason); break;
    case RaceControl::TxtKiro: txtKiro_[row]->setFocus(Qt::OtherFocusReason); break;
    case RaceControl::CmdKakutei: cmdKakutei_->setFocus(Qt::OtherFocusReason); break;
    case RaceControl::None: break;
  }
}

bool FrmRace::JunKey(int row, int key, Qt::KeyboardModifiers modifiers) {
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Pull();
      screen_.JunEnter(row);
      break;
    case Qt::Key_Right: Pull(); screen_.JunRight(row); break;
    case Qt::Key_Up: Pull(); screen_.RowUp(RaceControl::TxtJun, row); break;
    case Qt::Key_Down: Pull(); screen_.RowDown(RaceControl::TxtJun, row); break;
    case Qt::Key_Period:
    case Qt::Key_Comma:
      if (!(modifiers & Qt::KeypadModifier)) return false;
      Pull();
      screen_.JunKeypadPoint();
      break;
    default: return false;
  }
  Push();
  return true;
}

bool FrmRace::KiroKey(int row, int key) {
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      int caret = txtKiro_[static_cast<size_t>(row)]->cursorPosition();
      Pull();
      if (!screen_.KiroEnter(row, caret) && !screen_.kiroRefusal().empty()) {
        Push();
        platform_.dialogs.Notify(screen_.kiroRefusal());
        return true;
      }
      break;
    }
    case Qt::Key_Left: Pull(); screen_.KiroLeft(row); break;
    case Qt::Key_Up: Pull(); screen_.RowUp(RaceControl::TxtKiro, row); break;
    case Qt::Key_Down: Pull(); screen_.RowDown(RaceControl::TxtKiro, row); break;
    default: return false;
  }
  Push();
  return true;
}

bool FrmRace::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    for (int row = 0; row < kFinishRows; ++row) {
      if (watched == txtJun_[static_cast<size_t>(row)]) return JunKey(row, key->key(), key->modifiers());
      if (watched == txtKiro_[static_cast<size_t>(row)]) return KiroKey(row, key->key());
    }
  }
  return QDialog::eventFilter(watched, event);
}

void FrmRace::Kakutei() {
  Pull();
  auto done = screen_.Kakutei();
  if (!done) {
    platform_.dialogs.Notify(done.error().message);
    return;
  }
  if (*done == Confirmation::Confirmed) {
    if (const auto& failures = screen_.printFailures(); !failures.empty()) {
      std::string text = "結果は保存しました。";
      for (const std::string& failure : failures) text += "\n" + failure;
      platform_.dialogs.Notify(text);
    }
    accept();
    return;
  }
  Push();
}

void FrmRace::Shoki() {
  Pull();
  if (auto ok = screen_.Shoki(); !ok && ok.error().kind != ErrorKind::Cancelled)
    platform_.dialogs.Notify(ok.error().message);
  Push();
}

void ShowFrmRace(QWidget* parent, const HubState& state, int currentRace, Platform& platform) {
  FrmRace dialog(state, currentRace, platform, parent);
  if (!dialog.loadStatus()) {
    platform.dialogs.Notify(dialog.loadStatus().error().message);
    return;
  }
  dialog.exec();
}

void RegisterFrmRace() { SetManualEntryOpener(&ShowFrmRace); }

}  // namespace meet::ui
