#include "ui/frm_ohda.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "ui/widget_kit.h"

namespace meet::ui {

namespace {

bool NavOf(int key, NavKey& nav) {
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: nav = NavKey::Enter; return true;
    case Qt::Key_Up: nav = NavKey::Up; return true;
    case Qt::Key_Down: nav = NavKey::Down; return true;
    default: return false;
  }
}

}  // namespace

FrmOhda::FrmOhda(const FrmKyogiScreen& kyogi, Platform& platform, QWidget* parent)
    : QDialog(parent), screen_(kyogi), platform_(platform) {
  setObjectName("frmOhda");
  setWindowTitle(Q(kOhdaCaption));
  setModal(true);
  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QStringLiteral("コース")), 0, 0);
  txtKousu_ = new QLineEdit;
  txtKousu_->setObjectName("txtKousu");
  txtKousu_->setFixedWidth(50);
  txtKousu_->installEventFilter(this);
  grid->addWidget(txtKousu_, 0, 1);
  lblShozoku_ = Label("lblShozoku");
  lblShozoku_->setMinimumWidth(160);
  lblShozoku_->setFrameShape(QFrame::Panel);
  grid->addWidget(lblShozoku_, 0, 2);
  for (int leg = 0; leg < kLegs; ++leg) {
    grid->addWidget(new QLabel(QString::number(leg + 1) + QStringLiteral("泳者")), leg + 1, 0);
    auto* box = new QLineEdit;
    box->setObjectName(Indexed("txtBango", leg));
    box->setFixedWidth(70);
    box->installEventFilter(this);
    txtBango_[static_cast<size_t>(leg)] = box;
    grid->addWidget(box, leg + 1, 1);
    QLabel* name = Label(Indexed("lblNamae", leg));
    name->setMinimumWidth(160);
    name->setFrameShape(QFrame::Panel);
    lblNamae_[static_cast<size_t>(leg)] = name;
    grid->addWidget(name, leg + 1, 2);
  }
  lblChui_ = Label("lblChui");
  lblChui_->setStyleSheet("color: #c00000");
  // One warning a line, unwrapped: the dialog grows to show them whole.
  grid->addWidget(lblChui_, kLegs + 1, 0, 1, 3);
  loaded_ = screen_.Form_Load();
  Show();
  txtKousu_->setFocus(Qt::OtherFocusReason);
}

void FrmOhda::Show() {
  txtKousu_->setText(Q(screen_.txtKousu()));
  lblShozoku_->setText(Q(screen_.lblShozoku()));
  for (size_t leg = 0; leg < kLegs; ++leg) {
    txtBango_[leg]->setText(Q(screen_.txtBango()[leg]));
    lblNamae_[leg]->setText(Q(screen_.lblNamae()[leg]));
  }
  ShowWarnings();
}

void FrmOhda::ShowWarnings() {
  std::string text;
  for (const std::string& line : screen_.LaneWarnings()) text += (text.empty() ? "注意: " : "\n注意: ") + line;
  lblChui_->setText(Q(text));
}

void FrmOhda::Focus(const FocusTarget& target) {
  QLineEdit* w = txtKousu_;
  if (target.control == "txtBango" && target.index >= 0 && target.index < kLegs)
    w = txtBango_[static_cast<size_t>(target.index)];
  w->setFocus(Qt::OtherFocusReason);
  w->selectAll();
}

bool FrmOhda::Key(QLineEdit* edit, int leg, int key) {
  NavKey nav;
  if (!NavOf(key, nav)) return false;
  const std::string before = S(edit->text().left(edit->cursorPosition()));
  Result<FocusTarget> focus = FocusTarget{};
  if (leg < 0) {
    focus = screen_.KousuKey(nav, before);
  } else {
    for (int i = 0; i < kLegs; ++i) screen_.SetBango(i, S(txtBango_[static_cast<size_t>(i)]->text()));
    focus = screen_.BangoKey(leg, nav, before);
  }
  if (!focus) {
    platform_.dialogs.Notify(focus.error().message);
    return true;
  }
  // The lane shown may have changed; the member boxes keep what was typed.
  if (leg < 0 && !(nav == NavKey::Enter && before.empty()))
    Show();
  else if (leg >= 0 && nav == NavKey::Enter) {
    lblNamae_[static_cast<size_t>(leg)]->setText(Q(screen_.lblNamae()[static_cast<size_t>(leg)]));
    ShowWarnings();
  }
  Focus(*focus);
  return true;
}

bool FrmOhda::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (watched == txtKousu_) return Key(txtKousu_, -1, key);
    for (int leg = 0; leg < kLegs; ++leg)
      if (watched == txtBango_[static_cast<size_t>(leg)]) return Key(txtBango_[static_cast<size_t>(leg)], leg, key);
  }
  return QDialog::eventFilter(watched, event);
}

void ShowFrmOhda(QWidget* parent, const FrmKyogiScreen& kyogi, Platform& platform) {
  FrmOhda dialog(kyogi, platform, parent);
  if (!dialog.loadStatus()) {
    platform.dialogs.Notify(dialog.loadStatus().error().message);
    return;
  }
  dialog.exec();
}

}  // namespace meet::ui
