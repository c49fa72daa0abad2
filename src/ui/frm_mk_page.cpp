#include "ui/frm_mk_page.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/printer.h"
#include "platform/qt_printer.h"
#include "ui/screen_registry.h"
#include "ui/widget_kit.h"

namespace meet::ui {

namespace {



}  // namespace

FrmMkPage::FrmMkPage(std::filesystem::path meetFolder, Settings settings, Platform& platform, QWidget* parent)
    : QWidget(parent), screen_(std::move(meetFolder), std::move(settings), platform), platform_(platform) {
  setObjectName("frmMkPage");
  setWindowTitle(QString::fromUtf8(kMkPageCaption));
  auto* top = new QHBoxLayout(this);

  lstIchiran_ = new QListWidget;
  lstIchiran_->setObjectName("lstIchiran");
  lstIchiran_->setFont(ListFont());
  lstIchiran_->setMinimumSize(420, 360);
  connect(lstIchiran_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (refreshing_ || row < 0) return;
    Report(screen_.SelectLine(row));
    Show();
  });
  top->addWidget(lstIchiran_, 1);

  auto* side = new QVBoxLayout;
  txtPage_ = new QLineEdit;
  txtPage_->setObjectName("txtPage");
  txtPage_->setReadOnly(true);
  txtPage_->setFixedWidth(120);
  side->addWidget(txtPage_);

  auto* grid = new QGridLayout;
  for (int k = 0; k <= kPageBoxes; ++k) {
    auto* box = new QLineEdit;
    box->setObjectName(QStringLiteral("txtRace_%1").arg(k));
    box->setFixedWidth(70);
    txtRace_[static_cast<size_t>(k)] = box;
    if (k == 0) {
      box->setReadOnly(true);
      grid->addWidget(box, 0, 0);
    } else {
      box->installEventFilter(this);
      grid->addWidget(box, 1 + (k - 1) % 4, (k - 1) / 4);
    }
  }
  side->addLayout(grid);

  auto* sohnyu = Button("cmdSohnyu", "挿入");
  connect(sohnyu, &QPushButton::clicked, this, [this] {
    Report(screen_.Sohnyu());
    Show();
  });
  auto* sakujo = Button("cmdSakujo", "削除");
  connect(sakujo, &QPushButton::clicked, this, [this] {
    Report(screen_.Sakujo());
    Show();
  });
  auto* insatu = Button("cmdInsatu", "印刷");
  connect(insatu, &QPushButton::clicked, this, [this] {
    PullBoxes();
    auto printed = screen_.Insatu();
    if (!printed) Report(std::unexpected(printed.error()));
  });
  side->addWidget(sohnyu);
  side->addWidget(sakujo);
  side->addWidget(insatu);
  side->addStretch(1);
  top->addLayout(side);

  Status opened = screen_.Open();
  Show();
  Report(opened);
}

void FrmMkPage::Show() {
  refreshing_ = true;
  if (lstIchiran_->count() != static_cast<int>(screen_.lines().size())) {
    lstIchiran_->clear();
    for (const auto& line : screen_.lines()) lstIchiran_->addItem(Q(line));
  } else {
    for (int i = 0; i < lstIchiran_->count(); ++i)
      lstIchiran_->item(i)->setText(Q(screen_.lines()[static_cast<size_t>(i)]));
  }
  lstIchiran_->setCurrentRow(screen_.selectedLine());
  refreshing_ = false;
  txtPage_->setText(Q(screen_.txtPage()));
  for (int k = 0; k <= kPageBoxes; ++k)
    txtRace_[static_cast<size_t>(k)]->setText(Q(screen_.txtRace()[static_cast<size_t>(k)]));
}

void FrmMkPage::PullBoxes() {
  for (int k = 1; k <= kPageBoxes; ++k)
    screen_.txtRace()[static_cast<size_t>(k)] = S(txtRace_[static_cast<size_t>(k)]->text());
}

void FrmMkPage::Report(const Status& status) {
  if (!status && status.error().kind != ErrorKind::Cancelled) platform_.dialogs.Notify(status.error().message);
}

void FrmMkPage::Focus(int box) {
  QLineEdit* edit = txtRace_[static_cast<size_t>(box)];
  edit->setFocus();
  edit->selectAll();
}

void FrmMkPage::Enter(int box) {
  PullBoxes();
  QLineEdit* edit = txtRace_[static_cast<size_t>(box)];
  // The caret as a count of characters (the box holds digits, so UTF-16 units and characters agree).
  const int caret = static_cast<int>(edit->text().left(edit->cursorPosition()).toUcs4().size());
  auto next = screen_.RaceEnter(box, caret);
  if (!next) {
    edit->setText(Q(screen_.txtRace()[static_cast<size_t>(box)]));
    Report(std::unexpected(next.error()));
    return;
  }
  Show();
  Focus(*next);
}

bool FrmMkPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  int box = 0;
  for (int k = 1; k <= kPageBoxes; ++k)
    if (watched == txtRace_[static_cast<size_t>(k)]) box = k;
  if (box == 0) return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Enter(box);
      return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right: {
      const BoxKey move = key->key() == Qt::Key_Up     ? BoxKey::Up
                          : key->key() == Qt::Key_Down ? BoxKey::Down
                          : key->key() == Qt::Key_Left ? BoxKey::Left
                                                       : BoxKey::Right;
      const int target = BoxAfterKey(box, move);
      if (target == box) {
        // Left in boxes 1–4 and Right in 5–8 move the caret as usual.
        return move == BoxKey::Up || move == BoxKey::Down;
      }
      Focus(target);
      return true;
    }
    default:
      return QWidget::eventFilter(watched, event);
  }
}

void RegisterFrmMkPage() {
  RegisterScreen("cmdMkPage", [](const HubState& state, Platform& platform) -> QWidget* {
    return new FrmMkPage(state.folders.meetFolder, state.settings, platform);
  });
}

}  // namespace meet::ui
