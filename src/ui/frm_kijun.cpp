#include "ui/frm_kijun.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTreeView>
#include <QVBoxLayout>

#include "core/file_names.h"
#include "data/entry_file.h"
#include "settings/folders.h"
#include "ui/folder_roots.h"
#include "ui/frm_lenex.h"
#include "ui/frm_live.h"
#include "ui/frm_tenken.h"
#include "ui/screen_registry.h"
#include "ui/widget_kit.h"

namespace meet::ui {

namespace {


// "txtInsatu_3" → ("txtInsatu", 3); "txtSeiritu" → ("txtSeiritu", 0).
std::pair<std::string, int> SplitControlName(const QString& objectName) {
  int underscore = objectName.lastIndexOf('_');
  if (underscore < 0) return {S(objectName), 0};
  bool ok = false;
  int index = objectName.mid(underscore + 1).toInt(&ok);
  if (!ok) return {S(objectName), 0};
  return {S(objectName.left(underscore)), index};
}


// A key that types into the field (the keys a date field empties itself on).
bool TypesIntoField(const QKeyEvent* key) {
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
      return false;
    default:
      return !key->text().isEmpty();
  }
}

QLabel* Caption(const QString& text) {
  auto* label = new QLabel(text);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

// Brings up a fresh hub when the screen it watches ends. The hub is shown
// while the screen is being hidden by its close, before the program checks
// whether its last window has closed, so the program goes on. A screen
// deleted without being closed brings the hub back too.
class HubReturn : public QObject {
 public:
  HubReturn(QWidget* screen, std::filesystem::path folderConfigFile, Platform& platform)
      : QObject(screen), folderConfigFile_(std::move(folderConfigFile)), platform_(platform) {
    screen->installEventFilter(this);
  }
  ~HubReturn() override { Return(); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Close:
        closing_ = true;  // an ignored close is followed by no hide
        break;
      case QEvent::Show:
        closing_ = false;
        break;
      case QEvent::Hide:
        if (closing_) Return();
        break;
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void Return() {
    if (returned_ || QCoreApplication::closingDown()) return;
    returned_ = true;
    FrmKijun::OpenHub(folderConfigFile_, platform_);
  }
  std::filesystem::path folderConfigFile_;
  Platform& platform_;
  bool closing_ = false;
  bool returned_ = false;
};

// The fields that take effect on Enter with the text before the cursor.
constexpr const char* kNumberFields[] = {"txtSeiritu", "txtInsatu", "txtIten", "txtRten", "txtmLap"};

}  // namespace

FrmKijun::FrmKijun(std::filesystem::path folderConfigFile, Platform& platform, QWidget* parent)
    : QWidget(parent), screen_(std::move(folderConfigFile), platform), platform_(platform) {
  setObjectName("frmKijun");
  setWindowTitle("基準");

  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(8, 8, 8, 8);
  top->setSpacing(6);
  top->addWidget(BuildFolders());

  auto* settingsRow = new QHBoxLayout;
  settingsRow->setSpacing(8);
  auto* left = new QVBoxLayout;
  left->addWidget(BuildIdentity());
  left->addWidget(BuildSeeding());
  left->addStretch(1);
  settingsRow->addLayout(left);
  settingsRow->addWidget(BuildOptions());
  settingsRow->addWidget(BuildCopies(), 0, Qt::AlignTop);
  settingsRow->addWidget(BuildPoints(), 0, Qt::AlignTop);
  settingsRow->addStretch(1);
  top->addLayout(settingsRow);
  top->addWidget(BuildButtons());

  screen_.StartUp();
  ShowSettings();
  ShowMeetPickerFolder(Q(WithoutTrailingSeparator(screen_.folders().meetFolder)));
  ShowEntryPickerFolder(Q(WithoutTrailingSeparator(screen_.folders().entryFolder)));
  RefreshScreenButtons();
}

FrmKijun* FrmKijun::OpenHub(const std::filesystem::path& folderConfigFile, Platform& platform) {
  auto* hub = new FrmKijun(folderConfigFile, platform);
  hub->setAttribute(Qt::WA_DeleteOnClose);
  hub->show();
  return hub;
}

// ---------------------------------------------------------------- building

QLineEdit* FrmKijun::MakeEdit(const QString& name, int width) {
  auto* edit = new QLineEdit;
  edit->setObjectName(name);
  if (width > 0) edit->setFixedWidth(width);
  edit->installEventFilter(this);
  edits_[S(name)] = edit;
  return edit;
}

QTreeView* FrmKijun::MakeFolderPicker(const QString& name, QComboBox* drive, QFileSystemModel*& model) {
  QTreeView* tree = MakeFolderTree(this, name, model);
  drive->addItems(PickerRoots());
  // Changing the root moves the folder picker to it.
  connect(drive, &QComboBox::activated, this, [this, tree, drive, model](int) {
    QString root = drive->currentText();
    tree->setRootIndex(model->index(root));
    if (tree == dir1_) {
      dir1Path_ = root;
    } else {
      dir2Path_ = root;
      RefreshEntryFiles();
    }
    tree->clearSelection();
  });
  return tree;
}

QWidget* FrmKijun::BuildFolders() {
  auto* box = new QWidget;
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);

  auto* meetFrame = new QGroupBox("大会ファイル");
  meetFrame->setObjectName("fraTaikai");
  auto* meetLayout = new QVBoxLayout(meetFrame);
  drive1_ = new QComboBox;
  drive1_->setObjectName("Drive1");
  dir1_ = MakeFolderPicker("Dir1", drive1_, dir1Model_);
  dir1_->setMinimumWidth(300);
  meetLayout->addWidget(drive1_);
  meetLayout->addWidget(dir1_, 1);
  auto* cmdHenko = new QPushButton("￣ 変更 ￣↓");
  cmdHenko->setObjectName("cmdHenko");
  connect(cmdHenko, &QPushButton::clicked, this, [this] { ChangeMeetFolder(); });
  meetLayout->addWidget(cmdHenko);
  connect(dir1_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (current.isValid()) dir1Path_ = dir1Model_->filePath(current);
          });

  cmdYomi_ = new QPushButton("←");
  cmdYomi_->setObjectName("cmdYomi");
  cmdYomi_->setToolTip("競技フォルダー（大会ファイル表示フォルダーの下へ）新規作成");
  cmdYomi_->setFixedWidth(44);
  cmdYomi_->setEnabled(false);
  connect(cmdYomi_, &QPushButton::clicked, this, [this] { TakeInEntryFile(); });

  auto* entryFrame = new QGroupBox("申込データ");
  entryFrame->setObjectName("fraMosi");
  auto* entryLayout = new QGridLayout(entryFrame);
  drive2_ = new QComboBox;
  drive2_->setObjectName("Drive2");
  dir2_ = MakeFolderPicker("Dir2", drive2_, dir2Model_);
  dir2_->setMinimumWidth(260);
  filMosi_ = new QListWidget;
  filMosi_->setObjectName("filMosi");
  filMosi_->setMinimumWidth(170);
  entryLayout->addWidget(drive2_, 0, 0);
  entryLayout->addWidget(dir2_, 1, 0);
  entryLayout->addWidget(filMosi_, 0, 1, 2, 1);
  connect(dir2_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (!current.isValid()) return;
            dir2Path_ = dir2Model_->filePath(current);
            RefreshEntryFiles();
          });
  connect(filMosi_, &QListWidget::currentRowChanged, this, [this](int row) { cmdYomi_->setEnabled(row >= 0); });

  auto* inUse = new QGroupBox("使用申込データ");
  inUse->setObjectName("fraSiyo");
  auto* inUseLayout = new QVBoxLayout(inUse);
  lblDrM_ = new QLabel;
  lblDrM_->setObjectName("lblDr_m");
  lblDrM_->setWordWrap(true);
  lblDrM_->setMinimumWidth(200);
  lblDrM_->setMaximumWidth(240);
  lblDrM_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* txtMosiFile = MakeEdit("txtMosiFile", 0);
  txtMosiFile->setReadOnly(true);
  inUseLayout->addWidget(lblDrM_);
  inUseLayout->addWidget(txtMosiFile);
  inUseLayout->addStretch(1);
  auto* lblVersion = new QLabel("Ver 2.84\n2008/06/10\nmeetdesk");
  lblVersion->setObjectName("lblVersion");
  lblVersion->setAlignment(Qt::AlignCenter);
  inUseLayout->addWidget(lblVersion);

  row->addWidget(meetFrame, 3);
  row->addWidget(cmdYomi_, 0, Qt::AlignVCenter);
  row->addWidget(entryFrame, 4);
  row->addWidget(inUse, 0);
  box->setFixedHeight(250);
  return box;
}

QWidget* FrmKijun::BuildIdentity() {
  auto* frame = new QWidget;
  auto* grid = new QGridLayout(frame);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(Caption("コ ー ド"), 0, 0);
  grid->addWidget(MakeEdit("txtCod", 90), 0, 1, Qt::AlignLeft);
  grid->addWidget(Caption("大会名"), 1, 0);
  grid->addWidget(MakeEdit("txtNamae", 230), 1, 1);
  grid->addWidget(Caption("大会略"), 2, 0);
  grid->addWidget(MakeEdit("txtRyaku", 130), 2, 1, Qt::AlignLeft);
  grid->addWidget(Caption("期   日"), 3, 0);
  auto* dates = new QHBoxLayout;
  dates->addWidget(MakeEdit("txtKizitu1", 90));
  dates->addWidget(new QLabel("～"));
  dates->addWidget(MakeEdit("txtKizitu2", 90));
  dates->addStretch(1);
  grid->addLayout(dates, 3, 1);
  grid->addWidget(Caption("場   所"), 4, 0);
  grid->addWidget(MakeEdit("txtBasho", 230), 4, 1);
  return frame;
}

QWidget* FrmKijun::MakeOptionGroup(const QString& caption, const QString& group, const QStringList& captions,
                                   bool vertical) {
  auto* frame = new QGroupBox(caption);
  frame->setObjectName("fra" + group.mid(3));
  QBoxLayout* layout = vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(frame))
                                : static_cast<QBoxLayout*>(new QHBoxLayout(frame));
  layout->setContentsMargins(6, 2, 6, 2);
  auto* buttons = new QButtonGroup(frame);
  buttons->setExclusive(true);
  for (int i = 0; i < captions.size(); ++i) {
    auto* button = new QRadioButton(captions[i]);
    button->setObjectName(Indexed(group, i));
    buttons->addButton(button, i);
    layout->addWidget(button);
    connect(button, &QRadioButton::clicked, this, [this, group, i] {
      if (auto ok = screen_.Form().ClickOption(S(group), i); !ok) Report(ok.error());
      ShowSettings();
    });
  }
  if (!vertical) layout->addStretch(1);
  optionGroups_[S(group)] = buttons;
  return frame;
}

QWidget* FrmKijun::BuildOptions() {
  auto* column = new QWidget;
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(MakeOptionGroup("水路", "optSuiro", {"長水", "短水"}, false));
  layout->addWidget(MakeOptionGroup("参加母体", "optBotai", {"クラブ", "県", "地域", "国"}, false));
  layout->addWidget(MakeOptionGroup("区分", "optKubun", {"無別", "年齢", "学年"}, false));
  layout->addWidget(MakeOptionGroup("方式", "optJketu", {"なし", "準決", "コン"}, false));
  layout->addWidget(MakeOptionGroup("プール区分", "optPool", {"屋内", "屋外"}, false));
  layout->addWidget(MakeOptionGroup("計時サイド", "optSide", {"両側", "片側"}, false));
  layout->addWidget(MakeOptionGroup("計時システム", "optKeizi", {"手動", "自動"}, false));
  layout->addStretch(1);
  return column;
}

QWidget* FrmKijun::BuildSeeding() {
  auto* box = new QWidget;
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);

  auto* narabiColumn = new QVBoxLayout;
  narabiColumn->addWidget(
      MakeOptionGroup("コース分け", "optNarabi", {"単純", "平均", "混合", "混合2", "合同(ﾃﾞｷｼｰﾘﾝｸﾞ)"}, true));
  narabiColumn->addWidget(MakeScreenButton(*FindScreenLink("cmdGodo")));
  narabiColumn->addStretch(1);
  row->addLayout(narabiColumn);

  auto* rest = new QVBoxLayout;
  auto* numbers = new QGridLayout;
  numbers->addWidget(Caption("コース数"), 0, 0);
  cboKousu_ = new QComboBox;
  cboKousu_->setObjectName("cboKousu");
  for (int lanes = 4; lanes <= 10; ++lanes) cboKousu_->addItem(QString::number(lanes));
  connect(cboKousu_, &QComboBox::activated, this, [this](int position) { screen_.Form().ChooseLaneCount(position); });
  numbers->addWidget(cboKousu_, 0, 1);
  auto* txtKousu = MakeEdit("txtKousu", 40);
  connect(txtKousu, &QLineEdit::textChanged, this, [this, txtKousu](const QString& text) {
    auto shown = screen_.Form().ChangeLaneCountUsed(S(text));
    if (!shown) {
      Report(shown.error());
      return;
    }
    if (Q(*shown) != text) {
      QSignalBlocker block(txtKousu);
      txtKousu->setText(Q(*shown));
    }
  });
  numbers->addWidget(txtKousu, 0, 2);
  numbers->addWidget(Caption("成立人数"), 1, 0);
  numbers->addWidget(MakeEdit("txtSeiritu", 40), 1, 1);
  numbers->addWidget(Caption("ラップ"), 2, 0);
  numbers->addWidget(MakeEdit("txtmLap", 50), 2, 1);
  numbers->addWidget(new QLabel("(決勝)"), 2, 2);
  rest->addLayout(numbers);

  auto* optional = new QGroupBox("種目区分(ｵﾌﾟｼｮﾝ)");
  optional->setObjectName("fraOptKubun");
  auto* optionalLayout = new QHBoxLayout(optional);
  auto* chkOptKubun = new QCheckBox("する");
  chkOptKubun->setObjectName("chkOptKubun");
  connect(chkOptKubun, &QCheckBox::clicked, this, [this](bool ticked) {
    if (auto ok = screen_.Form().SetOptionalCategories(ticked); !ok) Report(ok.error());
    ShowSettings();
  });
  optionalLayout->addWidget(chkOptKubun);
  optionalLayout->addWidget(MakeScreenButton(*FindScreenLink("cmdOptKubun")));
  rest->addWidget(optional);

  auto* prefecture = new QGroupBox;
  prefecture->setObjectName("fraLpP");
  auto* prefectureLayout = new QHBoxLayout(prefecture);
  auto* chkLpP = new QCheckBox("県名印刷");
  chkLpP->setObjectName("chkLpP");
  connect(chkLpP, &QCheckBox::clicked, this, [this](bool ticked) {
    if (auto ok = screen_.Form().SetPrefecturePrint(ticked); !ok) Report(ok.error());
    ShowSettings();
  });
  prefectureLayout->addWidget(chkLpP);
  auto* lpButtons = new QButtonGroup(prefecture);
  const QStringList lpCaptions{"年齢", "学年"};
  for (int i = 0; i < 2; ++i) {
    auto* button = new QRadioButton(lpCaptions[i]);
    button->setObjectName(Indexed("optLpP", i));
    lpButtons->addButton(button, i);
    prefectureLayout->addWidget(button);
    connect(button, &QRadioButton::clicked, this, [this, i] {
      if (auto ok = screen_.Form().ClickOption("optLpP", i); !ok) Report(ok.error());
      ShowSettings();
    });
  }
  optionGroups_["optLpP"] = lpButtons;
  rest->addWidget(prefecture);
  rest->addStretch(1);
  row->addLayout(rest);
  return box;
}

QWidget* FrmKijun::BuildCopies() {
  auto* frame = new QGroupBox("印刷枚数");
  frame->setObjectName("fraInsatu");
  auto* grid = new QGridLayout(frame);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(3);
  const QStringList stages{"予選", "決勝", "準決コン"};
  const QStringList kinds{"ランキング", "プログラム", "組み合わせ", "組合せプロ", "備　　　　考", "ラップ"};
  for (int stage = 0; stage < 3; ++stage) {
    auto* heading = new QLabel(stages[stage]);
    heading->setAlignment(Qt::AlignCenter);
    grid->addWidget(heading, 0, stage + 1);
  }
  for (int kind = 0; kind < kinds.size(); ++kind) {
    grid->addWidget(Caption(kinds[kind]), kind + 1, 0);
    for (int stage = 0; stage < 3; ++stage) {
      int index = kind < 5 ? stage * 5 + kind : 15 + stage;
      grid->addWidget(MakeEdit(Indexed("txtInsatu", index), 40), kind + 1, stage + 1);
    }
  }
  return frame;
}

QWidget* FrmKijun::BuildPoints() {
  auto* frame = new QGroupBox("得点");
  frame->setObjectName("fraTokuten");
  auto* grid = new QGridLayout(frame);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(3);
  for (int block = 0; block < 2; ++block) {
    int column = block * 3;
    auto* individual = new QLabel("個      人");
    auto* relay = new QLabel("リ レ ー");
    individual->setAlignment(Qt::AlignCenter);
    relay->setAlignment(Qt::AlignCenter);
    grid->addWidget(individual, 0, column + 1);
    grid->addWidget(relay, 0, column + 2);
    for (int row = 0; row < 10; ++row) {
      int place = block * 10 + row;  // index 0 = place 1
      grid->addWidget(Caption(QString::number(place + 1)), row + 1, column);
      grid->addWidget(MakeEdit(Indexed("txtIten", place), 44), row + 1, column + 1);
      grid->addWidget(MakeEdit(Indexed("txtRten", place), 44), row + 1, column + 2);
    }
  }
  return frame;
}

QPushButton* FrmKijun::MakeScreenButton(const ScreenLink& link) {
  auto* button = new QPushButton(Q(link.caption));
  button->setObjectName(Q(link.button));
  const ScreenLink* row = &link;
  connect(button, &QPushButton::clicked, this, [this, row] { OpenScreen(*row); });
  screenButtons_[link.button] = button;
  return button;
}

QWidget* FrmKijun::BuildButtons() {
  auto* box = new QWidget;
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 4, 0, 0);
  for (const ScreenLink& link : ScreenMap()) {
    std::string_view name = link.button;
    if (name == "cmdGodo" || name == "cmdOptKubun") continue;  // in their frames
    auto* button = MakeScreenButton(link);
    button->setMinimumHeight(name == "cmdZikko" ? 44 : 36);
    if (name == "cmdZikko") {
      QFont bold = button->font();
      bold.setBold(true);
      button->setFont(bold);
      button->setMinimumWidth(150);
    }
    row->addWidget(button);
  }
  // "速報": the live results server over the meet folder in use. A stopped
  // one is made again so that it follows a change of meet folder.
  auto* live = new QPushButton("速報");
  live->setObjectName("cmdSokuho");
  live->setMinimumHeight(36);
  connect(live, &QPushButton::clicked, this, [this] {
    if (frmLive_ && !frmLive_->running()) {
      delete frmLive_;
      frmLive_ = nullptr;
    }
    if (!frmLive_)
      frmLive_ = new FrmLive(screen_.folders().meetFolder, screen_.folders().entryFolder, screen_.folders().entryFileName, this);
    frmLive_->show();
    frmLive_->raise();
  });
  row->addWidget(live);
  // "点検": what does not fit in the meet folder in use and its entry file.
  auto* check = new QPushButton("点検");
  check->setObjectName("cmdTenken");
  check->setMinimumHeight(36);
  connect(check, &QPushButton::clicked, this, [this] {
    auto* window = new FrmTenken(screen_.folders().meetFolder,
                                 EntryFilePath(screen_.folders().entryFolder, screen_.folders().entryFileName), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
  });
  row->addWidget(check);
  // "Lenex": the meet written as a Lenex file, for other meet programs.
  auto* lenex = new QPushButton("Lenex");
  lenex->setObjectName("cmdLenex");
  lenex->setMinimumHeight(36);
  // As wide as its word: the row of buttons fills a small desktop screen.
  lenex->setFixedWidth(lenex->fontMetrics().horizontalAdvance(lenex->text()) + 24);
  connect(lenex, &QPushButton::clicked, this, [this] {
    MeetFiles meet{screen_.folders().meetFolder, screen_.settings()};
    meet.settings.entryFolder = screen_.folders().entryFolder;
    meet.settings.entryFileName = screen_.folders().entryFileName;
    auto* window = new FrmLenex(std::move(meet), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
  });
  row->addWidget(lenex);
  return box;
}

// ---------------------------------------------------------------- showing

void FrmKijun::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The trees know their height only once laid out.
  QMetaObject::invokeMethod(
      this,
      [this] {
        for (QTreeView* tree : {dir1_, dir2_})
          if (tree->currentIndex().isValid()) tree->scrollTo(tree->currentIndex(), QAbstractItemView::PositionAtCenter);
      },
      Qt::QueuedConnection);
}

void FrmKijun::ShowSettings() {
  const SettingsView view = screen_.Form().View();
  for (const auto& [name, text] : view.texts) {
    if (auto it = edits_.find(name); it != edits_.end()) {
      QSignalBlocker block(it->second);
      it->second->setText(Q(text));
    }
  }
  lblDrM_->setText(Q(screen_.folders().entryFolder));
  for (const auto& [group, selected] : view.options) {
    auto it = optionGroups_.find(group);
    if (it == optionGroups_.end()) continue;
    QButtonGroup* buttons = it->second;
    if (selected >= 0 && buttons->button(selected)) {
      buttons->button(selected)->setChecked(true);
    } else {
      // No digit stored: no button of the group is selected.
      buttons->setExclusive(false);
      for (QAbstractButton* b : buttons->buttons()) b->setChecked(false);
      buttons->setExclusive(true);
    }
  }
  for (const auto& [name, on] : view.enabled)
    if (auto* w = findChild<QWidget*>(Q(name))) w->setEnabled(on);
  for (const auto& [name, on] : view.checked)
    if (auto* box = findChild<QCheckBox*>(Q(name))) box->setChecked(on);
  QSignalBlocker block(cboKousu_);
  cboKousu_->setCurrentIndex(view.laneCountChoice);
}

void FrmKijun::RefreshScreenButtons() {
  for (const auto& [name, button] : screenButtons_) {
    bool built = name == "cmdMoshikomi" || FindScreen(name) != nullptr;
    // The optional category buttons follow their settings; the others are
    // usable once their screen is built.
    if (name != "cmdGodo" && name != "cmdOptKubun") button->setEnabled(built);
    button->setToolTip(built ? QString() : Q(kScreenNotAvailable));
  }
}

void FrmKijun::ShowMeetPickerFolder(const QString& folder) {
  if (folder.isEmpty()) return;
  const QStringList roots = PickerRoots();
  int root = RootIndexFor(folder, roots);
  drive1_->setCurrentIndex(root);
  dir1_->setRootIndex(dir1Model_->index(roots[root]));
  dir1Path_ = folder;
  ShowInTree(dir1_, dir1Model_, folder);
}

void FrmKijun::ShowEntryPickerFolder(const QString& folder) {
  if (folder.isEmpty()) return;
  const QStringList roots = PickerRoots();
  int root = RootIndexFor(folder, roots);
  drive2_->setCurrentIndex(root);
  dir2_->setRootIndex(dir2Model_->index(roots[root]));
  dir2Path_ = folder;
  ShowInTree(dir2_, dir2Model_, folder);
  RefreshEntryFiles();
}

void FrmKijun::RefreshEntryFiles() {
  filMosi_->clear();
  if (!dir2Path_.isEmpty())
    for (const auto& file : ListFilesWithExtension(S(dir2Path_), ".Mos"))
      filMosi_->addItem(Q(file.filename().string()));
  cmdYomi_->setEnabled(filMosi_->currentRow() >= 0);
}

void FrmKijun::Report(const Error& error) { platform_.dialogs.Notify(error.message); }

// ---------------------------------------------------------------- commands

void FrmKijun::ChangeMeetFolder() {
  if (auto ok = screen_.ChangeMeetFolder(S(dir1Path_)); !ok) Report(ok.error());
  ShowSettings();
  ShowEntryPickerFolder(Q(WithoutTrailingSeparator(screen_.folders().entryFolder)));
}

void FrmKijun::TakeInEntryFile() {
  QListWidgetItem* item = filMosi_->currentItem();
  if (!item || dir2Path_.isEmpty()) return;  // nothing to take in
  std::string entryFile = (std::filesystem::path(S(dir2Path_)) / S(item->text())).string();
  auto taken = screen_.TakeInEntryFile(entryFile, S(dir1Path_));
  if (!taken) {
    Report(taken.error());
    return;
  }
  ShowMeetPickerFolder(Q(WithoutTrailingSeparator(taken->meetFolder)));
  ShowSettings();
}

void FrmKijun::OpenScreen(const ScreenLink& link) {
  if (std::string_view(link.button) == "cmdMoshikomi") {
    screen_.StartEntryProgram();  // tells the operator of any failure itself
    return;
  }
  const ScreenFactory* factory = FindScreen(link.button);
  if (!factory) {
    platform_.dialogs.Notify(kScreenNotAvailable);
    return;
  }
  if (link.savesFirst) {
    if (auto ok = screen_.SaveBeforeOpening(); !ok) {
      Report(ok.error());
      return;
    }
  }
  QWidget* opened = (*factory)(screen_.state(), platform_);
  if (!opened) return;
  opened->setAttribute(Qt::WA_DeleteOnClose);
  if (link.closesHub) new HubReturn(opened, screen_.folderConfigFile(), platform_);
  opened->show();
  if (link.closesHub) close();
}

// ---------------------------------------------------------------- fields

void FrmKijun::MoveFocusTo(const std::string& control) {
  if (auto it = edits_.find(control); it != edits_.end()) it->second->setFocus(Qt::OtherFocusReason);
}

bool FrmKijun::CommitField(QLineEdit* edit) {
  const auto [control, index] = SplitControlName(edit->objectName());
  SettingsForm form = screen_.Form();
  if (control == "txtKizitu1" || control == "txtKizitu2") {
    auto commit = form.EnterDate(control == "txtKizitu1" ? 1 : 2, S(edit->text()));
    if (!commit) {
      Report(commit.error());
      return true;
    }
    if (!*commit) return true;  // not eight characters: nothing happens
    ShowSettings();
    if ((*commit)->focusTo) MoveFocusTo(*(*commit)->focusTo);
    return true;
  }
  if (control == "txtCod" || control == "txtNamae" || control == "txtRyaku" || control == "txtBasho") {
    auto commit = form.EnterText(control, S(edit->text()));
    if (!commit) Report(commit.error());
    return true;
  }
  for (const char* numberField : kNumberFields) {
    if (control != numberField) continue;
    auto commit = form.EnterNumber(control, index, S(edit->text().left(edit->cursorPosition())));
    if (!commit) {
      Report(commit.error());
      return true;
    }
    {
      QSignalBlocker block(edit);
      edit->setText(Q(commit->shownText));
    }
    if (commit->focusTo) MoveFocusTo(*commit->focusTo);
    return true;
  }
  return false;
}

bool FrmKijun::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (!edit || edit->isReadOnly()) return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  const QString name = edit->objectName();
  if ((name == "txtKizitu1" || name == "txtKizitu2") && TypesIntoField(key) &&
      SettingsForm::KeyPressClearsDate(S(edit->text())))
    edit->clear();  // the shown yyyy/mm/dd is replaced by what is typed
  if (IsEnter(key)) return CommitField(edit);
  return QWidget::eventFilter(watched, event);
}

}  // namespace meet::ui
