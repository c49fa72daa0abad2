#include "ui/frm_proj_shoki.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/widget_kit.h"

namespace meet::ui {

namespace {


constexpr std::array<const char*, 7> kDistances = {"25m", "50m", "100m", "200m", "400m", "800m", "1500m"};

QLineEdit* Edit(const QString& name, const QString& text, int width) {
  auto* e = new QLineEdit(text);
  e->setObjectName(name);
  e->setFixedWidth(width);
  return e;
}

QCheckBox* Check(int index, const QString& caption) {
  auto* c = new QCheckBox(caption);
  c->setObjectName(Indexed("chkKohmoku", index));
  return c;
}

}  // namespace

FrmProjShoki::FrmProjShoki(std::filesystem::path meetFolder, std::string classMode, int startPosition, bool showAll,
                           Platform& platform, QWidget* parent)
    : QDialog(parent),
      screen_(std::move(meetFolder), std::move(classMode), startPosition, showAll),
      platform_(platform) {
  setObjectName("frmProjShoki");
  setWindowTitle(Q(kProjShokiCaption));
  auto* top = new QVBoxLayout(this);

  // 種目＠: the unit times per distance, 予選 and 決勝.
  auto* unitFrame = new QGroupBox(QStringLiteral("種目＠"));
  unitFrame->setObjectName("fraTanka");
  auto* unitGrid = new QGridLayout(unitFrame);
  chkKohmoku_[kItemUnitTime] = Check(kItemUnitTime, QString());
  unitGrid->addWidget(chkKohmoku_[kItemUnitTime], 0, 0);
  unitGrid->addWidget(new QLabel(QStringLiteral("予選")), 0, 1);
  unitGrid->addWidget(new QLabel(QStringLiteral("決勝")), 0, 2);
  for (int row = 0; row < 7; ++row) {
    unitGrid->addWidget(new QLabel(QString::fromUtf8(kDistances[static_cast<size_t>(row)])), row + 1, 0);
    for (int column = 0; column < 2; ++column) {
      int box = row + 7 * column;
      auto* edit = Edit(Indexed("txtTanka", box), Q(screen_.txtTanka[static_cast<size_t>(box)]), 60);
      edit->installEventFilter(this);
      connect(edit, &QLineEdit::returnPressed, this, [this, box] { TankaEnter(box); });
      txtTanka_[static_cast<size_t>(box)] = edit;
      unitGrid->addWidget(edit, row + 1, column + 1);
    }
  }
  top->addWidget(unitFrame);

  // 予定時間: the first start time.
  auto* scheduleFrame = new QGroupBox(QStringLiteral("予定時間"));
  scheduleFrame->setObjectName("fraYotei");
  auto* scheduleRow = new QHBoxLayout(scheduleFrame);
  chkKohmoku_[kItemSchedule] = Check(kItemSchedule, QString());
  txtYotei_ = Edit("txtYotei", Q(screen_.txtYotei), 80);
  scheduleRow->addWidget(chkKohmoku_[kItemSchedule]);
  scheduleRow->addWidget(txtYotei_);
  scheduleRow->addStretch(1);
  top->addWidget(scheduleFrame);

  auto* dayRow = new QHBoxLayout;
  chkKohmoku_[kItemDay] = Check(kItemDay, QStringLiteral("開催日(目)"));
  txtNiti_ = Edit("txtNiti", Q(screen_.txtNiti), 40);
  dayRow->addWidget(chkKohmoku_[kItemDay]);
  dayRow->addWidget(txtNiti_);
  dayRow->addStretch(1);
  top->addLayout(dayRow);

  auto* bandRow = new QHBoxLayout;
  chkKohmoku_[kItemBand] = Check(kItemBand, QStringLiteral("区分"));
  bandRow->addWidget(chkKohmoku_[kItemBand]);
  for (int i = 0; i < 2; ++i) {
    txtKubun_[static_cast<size_t>(i)] = Edit(Indexed("txtKubun", i), Q(screen_.txtKubun[static_cast<size_t>(i)]), 50);
    bandRow->addWidget(txtKubun_[static_cast<size_t>(i)]);
    if (i == 0) bandRow->addWidget(new QLabel(QStringLiteral("～")));
  }
  bandRow->addStretch(1);
  top->addLayout(bandRow);

  chkKohmoku_[kItemRenumber] = Check(kItemRenumber, QStringLiteral("復活(初期化)"));
  top->addWidget(chkKohmoku_[kItemRenumber]);

  auto* run = new QPushButton(QStringLiteral("実行"));
  run->setObjectName("cmdZikko");
  run->setAutoDefault(false);
  connect(run, &QPushButton::clicked, this, &FrmProjShoki::Zikko);
  top->addWidget(run);
}

void FrmProjShoki::FocusTanka(int box) {
  if (box >= 0 && box < kTankaBoxes) txtTanka_[static_cast<size_t>(box)]->setFocus(Qt::OtherFocusReason);
}

void FrmProjShoki::TankaEnter(int box) {
  QLineEdit* edit = txtTanka_[static_cast<size_t>(box)];
  screen_.txtTanka[static_cast<size_t>(box)] = S(edit->text());
  int next = screen_.TankaEnter(box, edit->cursorPosition());
  edit->setText(Q(screen_.txtTanka[static_cast<size_t>(box)]));
  FocusTanka(next);
}

bool FrmProjShoki::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    for (int box = 0; box < kTankaBoxes; ++box) {
      if (watched != txtTanka_[static_cast<size_t>(box)]) continue;
      if (key->key() == Qt::Key_Up) {
        FocusTanka(FrmProjShokiScreen::TankaUp(box));
        return true;
      }
      if (key->key() == Qt::Key_Down) {
        FocusTanka(FrmProjShokiScreen::TankaDown(box));
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void FrmProjShoki::Zikko() {
  for (size_t i = 0; i < chkKohmoku_.size(); ++i) screen_.chkKohmoku[i] = chkKohmoku_[i]->isChecked();
  for (size_t i = 0; i < txtTanka_.size(); ++i) screen_.txtTanka[i] = S(txtTanka_[i]->text());
  screen_.txtYotei = S(txtYotei_->text());
  screen_.txtNiti = S(txtNiti_->text());
  for (size_t i = 0; i < txtKubun_.size(); ++i) screen_.txtKubun[i] = S(txtKubun_[i]->text());
  if (auto ok = screen_.Zikko(); !ok) {
    platform_.dialogs.Notify(ok.error().message);
    return;
  }
  if (screen_.closed()) accept();
}

}  // namespace meet::ui
