#include "ui/frm_shikaku.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "core/naming.h"
#include "settings/folders.h"
#include "ui/folder_roots.h"
#include "ui/screen_registry.h"
#include "ui/widget_kit.h"

namespace meet::ui {

namespace {


constexpr std::array<const char*, kKindCount> kKindTips = {"", "", "年齢別", "学年別", "大会区分", ""};
constexpr std::array<const char*, 3> kSexColumns = {"男", "女", "混合"};

}  // namespace

FrmShikaku::FrmShikaku(std::filesystem::path meetFolder, Settings settings, Platform& platform, QWidget* parent)
    : QWidget(parent), screen_(std::move(meetFolder), std::move(settings), platform), platform_(platform) {
  setObjectName("frmShikaku");
  setWindowTitle(Q(kShikakuCaption));

  auto* top = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  left->addWidget(BuildKinds());
  lstGroup_ = new QListWidget;
  lstGroup_->setObjectName("lstGroup");
  lstGroup_->setMinimumWidth(200);
  connect(lstGroup_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (refreshing_ || row < 0) return;
    if (auto ok = screen_.ChooseGroupLine(row); !ok) Report(ok.error());
    ShowAll();
  });
  left->addWidget(lstGroup_, 1);
  left->addWidget(BuildCommands());
  top->addLayout(left);
  top->addWidget(BuildFields(), 1);
  top->addWidget(BuildPreviousMeet());

  if (auto ok = screen_.Open(); !ok) Report(ok.error());
  ShowAll();
  ShowPreviousMeet();
  // The picker starts beside this meet, where earlier meets usually are.
  ShowPreviousPickerFolder(
      Q(std::filesystem::path(WithoutTrailingSeparator(screen_.meetFolder().string())).parent_path().string()));
}

// ---------------------------------------------------------------- building

QWidget* FrmShikaku::BuildKinds() {
  auto* frame = new QGroupBox("区分");
  frame->setObjectName("fraKubun");
  auto* layout = new QGridLayout(frame);
  optKubun_ = new QButtonGroup(this);
  for (int k = 0; k < kKindCount; ++k) {
    auto* option = new QRadioButton(Q(KindCaption(k)));
    option->setObjectName(Indexed("optKubun", k));
    if (*kKindTips[static_cast<size_t>(k)]) option->setToolTip(QString::fromUtf8(kKindTips[static_cast<size_t>(k)]));
    optKubun_->addButton(option, k);
    layout->addWidget(option, k / 3, k % 3);
  }
  connect(optKubun_, &QButtonGroup::idClicked, this, [this](int kind) {
    if (refreshing_) return;
    if (auto ok = screen_.ChooseKind(kind); !ok) Report(ok.error());
    ShowAll();
  });
  return frame;
}

QWidget* FrmShikaku::BuildFields() {
  auto* box = new QWidget;
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* labels = new QHBoxLayout;
  lblNaiyo_ = Label("lblNaiyo");
  lblNaiyo_->setMinimumWidth(160);
  lblRecord_ = Label("lblRecord");
  lblRecord_->setMinimumWidth(50);
  labels->addWidget(lblNaiyo_);
  labels->addWidget(lblRecord_);
  labels->addStretch(1);
  layout->addLayout(labels);

  auto* grid = new QGridLayout;
  grid->setVerticalSpacing(1);
  for (int column = 0; column < 3; ++column)
    grid->addWidget(new QLabel(QString::fromUtf8(kSexColumns[static_cast<size_t>(column)])), 0, column + 1,
                    Qt::AlignHCenter);
  for (int row = 0; row < kTimeFieldRows; ++row) {
    grid->addWidget(new QLabel(Q(EventName(row + 1, screen_.namingContext()))), row + 1, 0);
    for (int column = 0; column < 3; ++column) {
      int k = column * kTimeFieldRows + row;
      auto* edit = new QLineEdit(Q(kTimeFieldInitialText));
      edit->setObjectName(Indexed("txtKiroku", k));
      edit->setFixedWidth(84);
      edit->setAlignment(Qt::AlignRight);
      edit->installEventFilter(this);
      connect(edit, &QLineEdit::textEdited, this, [this, k](const QString& text) { screen_.SetFieldText(k, S(text)); });
      txtKiroku_[static_cast<size_t>(k)] = edit;
      grid->addWidget(edit, row + 1, column + 1);
    }
  }
  layout->addLayout(grid);
  layout->addStretch(1);
  return box;
}

QWidget* FrmShikaku::BuildCommands() {
  auto* box = new QWidget;
  auto* layout = new QGridLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  for (int i = 0; i < 2; ++i) {
    auto* edit = new QLineEdit;
    edit->setObjectName(Indexed("txtGroup", i));
    edit->setFixedWidth(48);
    connect(edit, &QLineEdit::textChanged, this, [this, i](const QString& text) { screen_.SetGroupText(i, S(text)); });
    txtGroup_[static_cast<size_t>(i)] = edit;
  }
  auto* cmdMkGrp = Button("cmdMkGrp", "ｸﾞﾙｰﾌﾟ");
  connect(cmdMkGrp, &QPushButton::clicked, this, [this] { MakeGroup(); });
  layout->addWidget(txtGroup_[0], 0, 0);
  layout->addWidget(new QLabel("-"), 0, 1);
  layout->addWidget(txtGroup_[1], 0, 2);
  layout->addWidget(cmdMkGrp, 0, 3);

  auto* cmdShoki = Button("cmdShoki", "初期化");
  cmdShoki->setToolTip("大会、標準はｸﾞﾙｰﾌﾟも初期化");
  connect(cmdShoki, &QPushButton::clicked, this, [this] { Initialise(); });
  chkShoki_ = new QCheckBox("記録は初期化しない");
  chkShoki_->setObjectName("chkShoki");
  connect(chkShoki_, &QCheckBox::toggled, this, [this](bool on) { screen_.SetKeepTimes(on); });
  layout->addWidget(cmdShoki, 1, 0, 1, 2);
  layout->addWidget(chkShoki_, 1, 2, 1, 2);

  auto* cmdCheck = Button("cmdCheck", "個人記録確認(最高大会)");
  connect(cmdCheck, &QPushButton::clicked, this, [this] { Check(); });
  auto* cmdOwari = Button("cmdOwari", "終");
  connect(cmdOwari, &QPushButton::clicked, this, [this] { close(); });
  layout->addWidget(cmdCheck, 2, 0, 1, 4);
  layout->addWidget(cmdOwari, 3, 0, 1, 4);
  return box;
}

QWidget* FrmShikaku::BuildPreviousMeet() {
  auto* box = new QWidget;
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);

  auto* frame = new QGroupBox("前回大会");
  frame->setObjectName("fraZenkai");
  auto* pickers = new QVBoxLayout(frame);
  drive1_ = new QComboBox;
  drive1_->setObjectName("Drive1");
  drive1_->addItems(PickerRoots());
  dir1_ = MakeFolderTree(this, "Dir1", dir1Model_);
  dir1_->setMinimumWidth(240);
  connect(drive1_, &QComboBox::activated, this, [this](int) {
    dir1Path_ = drive1_->currentText();
    dir1_->setRootIndex(dir1Model_->index(dir1Path_));
    dir1_->clearSelection();
  });
  connect(dir1_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
    if (current.isValid()) dir1Path_ = dir1Model_->filePath(current);
  });
  pickers->addWidget(drive1_);
  pickers->addWidget(dir1_, 1);
  auto* cmdKakutei = Button("cmdKakutei", "↓");
  connect(cmdKakutei, &QPushButton::clicked, this, [this] { TakePreviousMeet(); });
  pickers->addWidget(cmdKakutei);
  auto* found = new QGridLayout;
  const std::array<const char*, 2> foundCaptions = {"記録", "新記録"};
  for (int i = 0; i < 2; ++i) {
    found->addWidget(new QLabel(QString::fromUtf8(foundCaptions[static_cast<size_t>(i)])), i, 0);
    lblTarget_[static_cast<size_t>(i)] = Label(Indexed("lblTarget", i));
    found->addWidget(lblTarget_[static_cast<size_t>(i)], i, 1);
  }
  pickers->addLayout(found);
  layout->addWidget(frame, 1);

  auto* copyFrame = new QGroupBox("前回記録複写");
  copyFrame->setObjectName("fraTarget");
  auto* copyLayout = new QGridLayout(copyFrame);
  auto* targets = new QButtonGroup(this);
  const std::array<const char*, 2> targetCaptions = {"原本", "結果"};
  for (int i = 0; i < 2; ++i) {
    auto* option = new QRadioButton(QString::fromUtf8(targetCaptions[static_cast<size_t>(i)]));
    option->setObjectName(Indexed("optTarget", i));
    option->setEnabled(false);
    targets->addButton(option, i);
    optTarget_[static_cast<size_t>(i)] = option;
    copyLayout->addWidget(option, 0, i);
  }
  connect(targets, &QButtonGroup::idClicked, this, [this](int id) {
    screen_.SetCopyMode(id == 0 ? CopyMode::Original : CopyMode::Results);
  });
  for (int p = 0; p < kCopyPartCount; ++p) {
    auto* check = new QCheckBox(Q(CopyPartCaption(p)));
    check->setObjectName(Indexed("chkKiroku", p));
    connect(check, &QCheckBox::toggled, this, [this, p](bool on) {
      if (!refreshing_) screen_.SetPart(p, on);
    });
    chkKiroku_[static_cast<size_t>(p)] = check;
    copyLayout->addWidget(check, 1 + p / 2, p % 2);
  }
  auto* cmdZikko = Button("cmdZikko", "読み込み");
  connect(cmdZikko, &QPushButton::clicked, this, [this] { Copy(); });
  copyLayout->addWidget(cmdZikko, 7, 0, 1, 2);
  layout->addWidget(copyFrame);
  return box;
}

// ---------------------------------------------------------------- showing

void FrmShikaku::ShowAll() {
  refreshing_ = true;
  if (auto* option = optKubun_->button(screen_.kind())) option->setChecked(true);
  const GroupList& groups = screen_.groups();
  lstGroup_->clear();
  for (const std::string& line : groups.lines) lstGroup_->addItem(Q(line));
  lstGroup_->setCurrentRow(screen_.groupLine());
  lblNaiyo_->setText(Q(screen_.naiyoLabel()));
  lblRecord_->setText(Q(screen_.recordLabel()));
  for (int k = 0; k < kTimeFields; ++k) {
    QLineEdit* edit = txtKiroku_[static_cast<size_t>(k)];
    QString text = Q(screen_.field(k));
    if (edit->text() != text) edit->setText(text);
  }
  chkShoki_->setChecked(screen_.keepTimes());
  refreshing_ = false;
}

void FrmShikaku::ShowPreviousMeet() {
  refreshing_ = true;
  for (int i = 0; i < 2; ++i) {
    lblTarget_[static_cast<size_t>(i)]->setText(Q(screen_.targetLabels()[static_cast<size_t>(i)]));
    optTarget_[static_cast<size_t>(i)]->setEnabled(screen_.targetEnabled()[static_cast<size_t>(i)]);
  }
  int chosen = screen_.copyMode() == CopyMode::Original ? 0 : 1;
  if (screen_.targetEnabled()[static_cast<size_t>(chosen)]) optTarget_[static_cast<size_t>(chosen)]->setChecked(true);
  for (int p = 0; p < kCopyPartCount; ++p)
    chkKiroku_[static_cast<size_t>(p)]->setChecked(screen_.parts()[static_cast<size_t>(p)]);
  refreshing_ = false;
}

void FrmShikaku::ShowPreviousPickerFolder(const QString& folder) {
  if (folder.isEmpty()) return;
  const QStringList roots = PickerRoots();
  int root = RootIndexFor(folder, roots);
  drive1_->setCurrentIndex(root);
  dir1_->setRootIndex(dir1Model_->index(roots[root]));
  ShowInTree(dir1_, dir1Model_, folder);
  dir1Path_ = folder;
}

void FrmShikaku::Report(const Error& error) {
  if (error.kind != ErrorKind::Cancelled) platform_.dialogs.Notify(error.message);
}

// ---------------------------------------------------------------- commands

bool FrmShikaku::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (!edit) return QWidget::eventFilter(watched, event);
  auto it = std::find(txtKiroku_.begin(), txtKiroku_.end(), edit);
  if (it == txtKiroku_.end()) return QWidget::eventFilter(watched, event);
  int k = static_cast<int>(it - txtKiroku_.begin());
  auto* key = static_cast<QKeyEvent*>(event);
  if (IsEnter(key)) {
    EnterField(k);
    return true;
  }
  switch (key->key()) {
    case Qt::Key_Up: FocusField(FrmShikakuScreen::FieldAbove(k)); return true;
    case Qt::Key_Down: FocusField(FrmShikakuScreen::FieldBelow(k)); return true;
    case Qt::Key_Left: FocusField(FrmShikakuScreen::FieldLeft(k)); return true;
    case Qt::Key_Right: FocusField(FrmShikakuScreen::FieldRight(k)); return true;
    default: return QWidget::eventFilter(watched, event);
  }
}

void FrmShikaku::EnterField(int field) {
  QLineEdit* edit = txtKiroku_[static_cast<size_t>(field)];
  screen_.SetFieldText(field, S(edit->text()));
  auto written = screen_.EnterField(field, S(edit->text().left(edit->cursorPosition())));
  if (!written) Report(written.error());
  ShowAll();
}

void FrmShikaku::FocusField(int field) {
  QLineEdit* edit = txtKiroku_[static_cast<size_t>(field)];
  edit->setFocus(Qt::OtherFocusReason);
  edit->selectAll();
}

void FrmShikaku::MakeGroup() {
  screen_.SetGroupText(0, S(txtGroup_[0]->text()));
  screen_.SetGroupText(1, S(txtGroup_[1]->text()));
  if (auto made = screen_.MakeGroupFromFields(); !made) Report(made.error());
  ShowAll();
}

void FrmShikaku::Initialise() {
  screen_.SetKeepTimes(chkShoki_->isChecked());
  if (auto done = screen_.Initialise(); !done) Report(done.error());
  ShowAll();
}

void FrmShikaku::TakePreviousMeet() {
  screen_.ChoosePreviousFolder(WithTrailingSeparator(S(dir1Path_)));
  if (auto ok = screen_.TakePreviousMeet(); !ok) Report(ok.error());
  ShowPreviousMeet();
}

void FrmShikaku::Copy() {
  if (optTarget_[0]->isChecked()) screen_.SetCopyMode(CopyMode::Original);
  else if (optTarget_[1]->isChecked()) screen_.SetCopyMode(CopyMode::Results);
  for (int p = 0; p < kCopyPartCount; ++p) screen_.SetPart(p, chkKiroku_[static_cast<size_t>(p)]->isChecked());
  if (auto copied = screen_.Copy(); !copied) Report(copied.error());
  ShowAll();
}

void FrmShikaku::Check() {
  if (auto found = screen_.Check(); !found) Report(found.error());
}

// ---------------------------------------------------------------- registration

void RegisterFrmShikaku() {
  RegisterScreen("cmdKiroku", [](const HubState& state, Platform& platform) -> QWidget* {
    return new FrmShikaku(state.folders.meetFolder, state.settings, platform);
  });
}

}  // namespace meet::ui
